// The command line against the gateway simulator on a veth pair in this
// test's own network namespace: discover, set-name, set-ip and flash as a
// user runs them, with their exit codes, and what the devices then hold.

#include "dcp/Hostile_Responder.h"
#include "dcp/Namespace_Wire.h"
#include "dcp/Simulated_Devices.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString Gateway_1 = QStringLiteral("02:06:10:00:00:00");
const QString Gateway_2 = QStringLiteral("02:06:10:00:00:01");

struct Run_Result {
    int Code = -1;
    QString Out;
    QString Err;
};

Run_Result Run(const QStringList& Arguments, const QString& Program = QStringLiteral(SW_PROGRAM))
{
    QProcess P;
    P.start(Program, Arguments);
    P.waitForFinished(60000);
    return {P.exitStatus() == QProcess::NormalExit ? P.exitCode() : -1, QString::fromUtf8(P.readAllStandardOutput()),
            QString::fromUtf8(P.readAllStandardError())};
}

Run_Result Sw(QStringList Arguments) { return Run(Arguments); }


QJsonArray Discover(int Timeout_Ms = 300)
{
    const Run_Result R = Sw({"discover", "--interface", Namespace_Wire::Host_Interface, "--timeout",
                             QString::number(Timeout_Ms), "--json"});
    if (R.Code != 0)
        qWarning().noquote() << R.Err;
    return QJsonDocument::fromJson(R.Out.toUtf8()).object()[QStringLiteral("devices")].toArray();
}

QJsonObject Device(const QJsonArray& Devices, const QString& Mac)
{
    for (const QJsonValue& D : Devices)
        if (D[QStringLiteral("mac")].toString() == Mac)
            return D.toObject();
    return {};
}

QStringList Set(const QString& Command, const QString& Mac, const QStringList& Values = {})
{
    return QStringList{Command, "--interface", Namespace_Wire::Host_Interface, "--mac", Mac} + Values;
}

} // namespace

class Test_Dcp_Network : public QObject {
    Q_OBJECT
private slots:
    void Discover_data();
    void Discover();
    void Discover_Every_Interface();
    void Permanent_Name_Survives_Restart();
    void Temporary_Address_Is_Lost_On_Restart();
    void Flash();
    void Device_Answers_With_Error();
    void Device_Does_Not_Answer();
    void Invalid_Name_Refused_Before_Sending_data();
    void Invalid_Name_Refused_Before_Sending();
    void Missing_Rights_Are_Explained();
    void Flood_Is_Bounded_data();
    void Flood_Is_Bounded();
    void Hostile_Answers_In_Text_And_Json();
    void Set_Needs_The_Exact_Answer_data();
    void Set_Needs_The_Exact_Answer();
    void No_Device_Mac_Is_A_Target_data();
    void No_Device_Mac_Is_A_Target();
    void Address_No_Device_May_Hold_data();
    void Address_No_Device_May_Hold();

private:
    QTemporaryDir Dir;
};

void Test_Dcp_Network::Discover_data()
{
    QTest::addColumn<int>("Gateways");
    QTest::addColumn<int>("Foreign");
    QTest::newRow("one gateway") << 1 << 0;
    QTest::newRow("200 gateways and foreign devices") << 200 << 7;
    QTest::newRow("no device") << 0 << 0;
}

void Test_Dcp_Network::Discover()
{
    QFETCH(int, Gateways);
    QFETCH(int, Foreign);
    QTemporaryDir Here;
    Simulator Devices(Here.path(), {"--devices", QString::number(Gateways), "--foreign", QString::number(Foreign)});
    QVERIFY(Devices.Ready());
    const QJsonArray Found = ::Discover(1000);
    QCOMPARE(Found.size(), Gateways + Foreign);
    QSet<QString> Macs;
    for (int I = 0; I < Found.size(); ++I) {
        const QJsonObject D = Found[I].toObject();
        Macs.insert(D[QStringLiteral("mac")].toString());
        // Gateways of this type come first, marked, with their identity.
        QCOMPARE(D[QStringLiteral("gw40610")].toBool(), I < Gateways);
        QCOMPARE(D[QStringLiteral("vendor_id")].toInt(), I < Gateways ? 0x1111 : 0x002A);
        if (I < Gateways)
            QCOMPARE(D[QStringLiteral("device_id")].toInt(), 0x0221);
        QVERIFY(D[QStringLiteral("ip")].isString());
    }
    QCOMPARE(Macs.size(), Gateways + Foreign);

    const Run_Result Text = Sw({"discover", "--interface", "dcp0", "--timeout", "300"});
    QCOMPARE(Text.Code, 0);
    QVERIFY2(Text.Out.endsWith(QStringLiteral("dcp0: %1 device(s) answered\n").arg(Gateways + Foreign)), qPrintable(Text.Out));
}

void Test_Dcp_Network::Discover_Every_Interface()
{
    QTemporaryDir Here;
    Simulator Devices(Here.path(), {"--devices", "2"});
    QVERIFY(Devices.Ready());
    // Without --interface every Ethernet interface that is up is asked: here dcp0 and dcp1.
    const Run_Result R = Sw({"discover", "--timeout", "300", "--json"});
    QCOMPARE(R.Code, 0);
    const QJsonArray Documents = QJsonDocument::fromJson(R.Out.toUtf8()).array();
    QCOMPARE(Documents.size(), 2);
    for (const QJsonValue& D : Documents) {
        const bool Host_Side = D[QStringLiteral("interface")].toString() == QLatin1String("dcp0");
        QCOMPARE(D[QStringLiteral("devices")].toArray().size(), Host_Side ? 2 : 0);
    }
}

void Test_Dcp_Network::Permanent_Name_Survives_Restart()
{
    QTemporaryDir Here;
    Simulator Devices(Here.path(), {"--devices", "2"});
    QVERIFY(Devices.Ready());
    const Run_Result R = Sw(Set("set-name", Gateway_2, {"gw-hall-3"}));
    QCOMPARE(R.Code, 0);
    QCOMPARE(R.Out, QStringLiteral("%1: station name set to \"gw-hall-3\" (permanent)\n").arg(Gateway_2));
    QCOMPARE(Device(::Discover(), Gateway_2)[QStringLiteral("name")].toString(), QStringLiteral("gw-hall-3"));
    QCOMPARE(Device(::Discover(), Gateway_1)[QStringLiteral("name")].toString(), QString());

    QVERIFY(Devices.Restart());
    QCOMPARE(Device(::Discover(), Gateway_2)[QStringLiteral("name")].toString(), QStringLiteral("gw-hall-3"));
}

void Test_Dcp_Network::Temporary_Address_Is_Lost_On_Restart()
{
    QTemporaryDir Here;
    Simulator Devices(Here.path());
    QVERIFY(Devices.Ready());
    const Run_Result R = Sw(Set("set-ip", Gateway_1, {"10.20.30.40", "255.255.0.0", "10.20.0.1", "--temporary"}));
    QCOMPARE(R.Code, 0);
    const QJsonObject Now = Device(::Discover(), Gateway_1);
    QCOMPARE(Now[QStringLiteral("ip")].toString(), QStringLiteral("10.20.30.40"));
    QCOMPARE(Now[QStringLiteral("mask")].toString(), QStringLiteral("255.255.0.0"));
    QCOMPARE(Now[QStringLiteral("gateway")].toString(), QStringLiteral("10.20.0.1"));

    QVERIFY(Devices.Restart());
    QCOMPARE(Device(::Discover(), Gateway_1)[QStringLiteral("ip")].toString(), QStringLiteral("0.0.0.0"));

    // A permanent address stays.
    QCOMPARE(Sw(Set("set-ip", Gateway_1, {"10.20.30.41", "255.255.0.0", "0.0.0.0"})).Code, 0);
    QVERIFY(Devices.Restart());
    QCOMPARE(Device(::Discover(), Gateway_1)[QStringLiteral("ip")].toString(), QStringLiteral("10.20.30.41"));
}

void Test_Dcp_Network::Flash()
{
    QTemporaryDir Here;
    Simulator Devices(Here.path(), {"--devices", "3"});
    QVERIFY(Devices.Ready());
    const Run_Result R = Sw(Set("flash", Gateway_2));
    QCOMPARE(R.Code, 0);
    QTRY_VERIFY(Devices.Log().contains("SIGNAL " + Gateway_2.toLatin1()));
    QVERIFY(!Devices.Log().contains("SIGNAL " + Gateway_1.toLatin1()));
}

void Test_Dcp_Network::Device_Answers_With_Error()
{
    QTemporaryDir Here;
    Simulator Devices(Here.path(), {"--dcp-error", "6"});
    QVERIFY(Devices.Ready());
    const Run_Result R = Sw(Set("set-name", Gateway_1, {"gw-1"}));
    QCOMPARE(R.Code, 1);
    QVERIFY2(R.Err.contains(QStringLiteral("refused: not possible in operation")), qPrintable(R.Err));
    QCOMPARE(Device(::Discover(), Gateway_1)[QStringLiteral("name")].toString(), QString());
}

void Test_Dcp_Network::Device_Does_Not_Answer()
{
    QTemporaryDir Here;
    Simulator Devices(Here.path(), {"--silent"});
    QVERIFY(Devices.Ready());
    for (const QStringList& Arguments : {Set("flash", Gateway_1), Set("set-name", Gateway_1, {"gw-1"}),
                                         Set("set-ip", Gateway_1, {"10.0.0.1", "255.0.0.0", "0.0.0.0"})}) {
        const Run_Result R = Sw(Arguments);
        QCOMPARE(R.Code, 4);
        QVERIFY2(R.Err.contains(QStringLiteral("no device %1 answered on dcp0").arg(Gateway_1)), qPrintable(R.Err));
    }
    // A device that answers, but not the one asked for.
    Simulator Others(Dir.path(), {"--devices", "2"});
    QVERIFY(Others.Ready());
    QCOMPARE(Sw(Set("flash", QStringLiteral("02:06:10:00:00:09"))).Code, 4);
}

void Test_Dcp_Network::Invalid_Name_Refused_Before_Sending_data()
{
    QTest::addColumn<QString>("Name");
    QTest::addColumn<QString>("Rule");
    QTest::newRow("upper case") << "Gateway-1" << "only the letters a-z";
    QTest::newRow("port name") << "port-001" << "port-xyz";
    QTest::newRow("address form") << "192.168.2.205" << "IPv4 address";
    QTest::newRow("empty") << "" << "1 to 240 characters";
}

void Test_Dcp_Network::Invalid_Name_Refused_Before_Sending()
{
    QFETCH(QString, Name);
    QFETCH(QString, Rule);
    QTemporaryDir Here;
    Simulator Devices(Here.path());
    QVERIFY(Devices.Ready());
    const Run_Result R = Sw(Set("set-name", Gateway_1, {Name}));
    QCOMPARE(R.Code, 1);
    QVERIFY2(R.Err.contains(Rule), qPrintable(R.Err));
    // Refused before the interface was opened: on an interface that is not there it is the same refusal.
    QCOMPARE(Sw({"set-name", "--interface", "no-such-interface", "--mac", Gateway_1, Name}).Code, 1);
    QVERIFY(!Devices.Log().contains("SET NAME"));
}

void Test_Dcp_Network::Missing_Rights_Are_Explained()
{
    const QString Setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
    if (Setpriv.isEmpty())
        QSKIP("setpriv is not installed");
    // The program without the capabilities for raw frames, as a user who was never granted them.
    const QStringList Drop{"--bounding-set", "-net_raw,-net_admin", SW_PROGRAM};
    for (const QStringList& Arguments : {QStringList{"discover", "--timeout", "100"},
                                         QStringList{"discover", "--interface", "dcp0", "--json"}, Set("flash", Gateway_1)}) {
        const Run_Result R = Run(Drop + Arguments, Setpriv);
        QCOMPARE(R.Code, 3);
        QVERIFY2(R.Err.contains(QStringLiteral("setcap cap_net_raw,cap_net_admin+eip")), qPrintable(R.Err));
        QVERIFY2(!R.Out.contains(QStringLiteral("0 device(s)")), qPrintable(R.Out));
        QVERIFY(R.Out.isEmpty());
    }
}

void Test_Dcp_Network::Flood_Is_Bounded_data()
{
    QTest::addColumn<int>("Answers");
    QTest::addColumn<int>("Name_Bytes");
    QTest::newRow("3000 devices, past the bound") << 3000 << 20;
    QTest::newRow("400 names of 1400 bytes") << 400 << 1400;
}

void Test_Dcp_Network::Flood_Is_Bounded()
{
    QFETCH(int, Answers);
    QFETCH(int, Name_Bytes);
    constexpr int Bound = 2048;
    Responder Flood({"--flood", QString::number(Answers), "--name-bytes", QString::number(Name_Bytes)});
    QVERIFY(Flood.Ready());
    const Run_Result Json = Sw({"discover", "--interface", "dcp0", "--timeout", "1500", "--json"});
    QCOMPARE(Json.Code, 0);
    const QJsonObject Document = QJsonDocument::fromJson(Json.Out.toUtf8()).object();
    const int Kept = int(Document[QStringLiteral("devices")].toArray().size());
    const int Dropped = Document[QStringLiteral("dropped")].toInt(-1);
    const int Malformed = Document[QStringLiteral("malformed")].toInt(-1);
    if (Name_Bytes <= 240) {
        // The bound is reached; what came past it is counted (a frame the kernel lost is neither).
        QCOMPARE(Kept, Bound);
        QVERIFY2(Dropped > 0 && Kept + Dropped <= Answers, qPrintable(QString::number(Dropped)));
        QCOMPARE(Malformed, 0);
    } else {
        // Names longer than a station name may be: refused and counted, said on standard error.
        QCOMPARE(Kept, 0);
        QCOMPARE(Dropped, 0);
        QVERIFY2(Malformed > Answers / 2 && Malformed <= Answers, qPrintable(QString::number(Malformed)));
        QVERIFY2(Json.Err.contains(QStringLiteral("dcp0: %1 malformed answer(s) ignored").arg(Malformed)), qPrintable(Json.Err));
        QVERIFY2(Json.Err.contains(QStringLiteral("at most 240 are allowed")), qPrintable(Json.Err));
    }
    const Run_Result Text = Sw({"discover", "--interface", "dcp0", "--timeout", "1500"});
    QCOMPARE(Text.Code, 0);
    const QString Last = Text.Out.section(QLatin1Char('\n'), -2, -2);
    if (Name_Bytes <= 240)
        QVERIFY2(Last.startsWith(QStringLiteral("dcp0: %1 device(s) answered; ").arg(Bound)) &&
                     Last.endsWith(QStringLiteral("answer(s) of further devices dropped (at most %1 devices are kept)").arg(Bound)),
                 qPrintable(Last));
    else
        QCOMPARE(Last, QStringLiteral("dcp0: 0 device(s) answered"));
}

void Test_Dcp_Network::Hostile_Answers_In_Text_And_Json()
{
    Responder Hostile({"--hostile"});
    QVERIFY(Hostile.Ready());
    // A device whose texts hold control characters is listed with them
    // escaped; answers from group, broadcast, all-zero and our own MAC and
    // a lying block are counted on standard error, not listed.
    const Run_Result Text = Sw({"discover", "--interface", "dcp0", "--timeout", "300"});
    QCOMPARE(Text.Code, 0);
    const QStringList Lines = Text.Out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(Lines.size(), 2);
    for (const QChar C : Text.Out)
        QVERIFY2(C == QLatin1Char('\n') || (C.unicode() >= 0x20 && C.unicode() != 0x7F && C.category() != QChar::Other_Format),
                 qPrintable(QString::number(C.unicode(), 16)));
    QVERIFY2(Lines[0].startsWith(QStringLiteral("dcp0  02:66:00:00:00:01  name=\"gw\\x1b[2J\\nforged  line\\x7f\"")), qPrintable(Lines[0]));
    QVERIFY2(Lines[0].contains(QStringLiteral("vendor=\"Vendor\\r\\x07\\x00end\\u{202e}\"")), qPrintable(Lines[0]));
    QCOMPARE(Lines[1], QStringLiteral("dcp0: 1 device(s) answered"));
    QVERIFY2(Text.Err.contains(QStringLiteral("dcp0: 5 malformed answer(s) ignored, the first from ")), qPrintable(Text.Err));

    const Run_Result Json = Sw({"discover", "--interface", "dcp0", "--timeout", "300", "--json"});
    QCOMPARE(Json.Code, 0);
    const QJsonObject Document = QJsonDocument::fromJson(Json.Out.toUtf8()).object();
    const QJsonArray Devices = Document[QStringLiteral("devices")].toArray();
    QCOMPARE(Devices.size(), 1);
    QCOMPARE(Devices[0][QStringLiteral("name")].toString(), QStringLiteral("gw\x1b[2J\nforged  line\x7f"));
    QCOMPARE(Devices[0][QStringLiteral("vendor")].toString(),
             QString::fromUtf8(QByteArray("Vendor\r\x07\0end\xe2\x80\xae", 15)));
    QCOMPARE(Document[QStringLiteral("malformed")].toInt(), 5);
    QCOMPARE(Document[QStringLiteral("dropped")].toInt(), 0);
}

void Test_Dcp_Network::Set_Needs_The_Exact_Answer_data()
{
    QTest::addColumn<QString>("Answer");
    QTest::addColumn<int>("Code");
    QTest::addColumn<QString>("Said");
    QTest::newRow("the result for the block sent") << "exact" << 0 << "station name set to \"gw-1\" (permanent)";
    QTest::newRow("a result for the IP parameter")
        << "wrong-option" << 4 << "no valid answer from device 02:06:10:00:00:00 on dcp0: a result for 1/2 (done), not for 2/2 as sent";
    QTest::newRow("from another device") << "other-source" << 4 << "an answer from 02:66:00:00:00:03, not from the device addressed";
    QTest::newRow("from a group MAC") << "group-source" << 4 << "sent from a group address 01:0e:cf:00:00:00";
}

void Test_Dcp_Network::Set_Needs_The_Exact_Answer()
{
    QFETCH(QString, Answer);
    QFETCH(int, Code);
    QFETCH(QString, Said);
    Responder Device({"--set-answer", Answer});
    QVERIFY(Device.Ready());
    const Run_Result R = Sw(Set("set-name", Gateway_1, {"gw-1"}));
    QCOMPARE(R.Code, Code);
    QVERIFY2((Code == 0 ? R.Out : R.Err).contains(Said), qPrintable(R.Out + R.Err));
    if (Code != 0)
        QVERIFY2(R.Out.isEmpty(), qPrintable(R.Out));
}

void Test_Dcp_Network::No_Device_Mac_Is_A_Target_data()
{
    QTest::addColumn<QString>("Mac");
    QTest::addColumn<QString>("Said");
    QTest::newRow("broadcast") << "ff:ff:ff:ff:ff:ff" << "the broadcast address";
    QTest::newRow("identify multicast") << "01:0e:cf:00:00:00" << "a group address";
    QTest::newRow("all zeros") << "00-00-00-00-00-00" << "the all-zero address";
    QTest::newRow("the interface's own") << "own" << "this station's own address";
}

void Test_Dcp_Network::No_Device_Mac_Is_A_Target()
{
    QFETCH(QString, Mac);
    QFETCH(QString, Said);
    if (Mac == QLatin1String("own")) {
        // "... link/ether aa:bb:cc:dd:ee:ff brd ...", as this namespace's ip says.
        const Run_Result Link = Run({"-o", "link", "show", "dev", "dcp0"}, QStringLiteral("ip"));
        Mac = Link.Out.section(QStringLiteral("link/ether "), 1).left(17);
        QVERIFY2(Mac.size() == 17, qPrintable(Link.Out));
    }
    Responder Device({"--set-answer", "exact"});
    QVERIFY(Device.Ready());
    for (const QStringList& Arguments : {Set("set-name", Mac, {"gw-1"}), Set("flash", Mac),
                                         Set("set-ip", Mac, {"10.0.0.5", "255.0.0.0", "0.0.0.0"})}) {
        const Run_Result R = Sw(Arguments);
        QCOMPARE(R.Code, 2);
        QVERIFY2(R.Err.contains(Said) && R.Err.contains(QStringLiteral("not a device")), qPrintable(R.Err));
        QVERIFY(R.Out.isEmpty());
    }
    QTest::qWait(100);
    QVERIFY2(!Device.Log().contains("SET "), Device.Log().constData());
}

void Test_Dcp_Network::Address_No_Device_May_Hold_data()
{
    QTest::addColumn<QStringList>("Values");
    QTest::addColumn<QString>("Rule");
    QTest::newRow("multicast") << QStringList{"224.0.0.1", "255.255.255.0", "0.0.0.0"} << "a multicast address";
    QTest::newRow("loopback") << QStringList{"127.0.0.1", "255.0.0.0", "0.0.0.0"} << "a loopback address";
    QTest::newRow("limited broadcast") << QStringList{"255.255.255.255", "255.255.255.0", "0.0.0.0"} << "the broadcast address 255.255.255.255";
    QTest::newRow("network address") << QStringList{"10.0.0.0", "255.255.255.0", "0.0.0.0"} << "the address is the network address of its subnet";
    QTest::newRow("subnet broadcast") << QStringList{"10.0.0.255", "255.255.255.0", "0.0.0.0"} << "the address is the broadcast address of its subnet";
    QTest::newRow("gateway outside") << QStringList{"10.0.0.5", "255.255.255.0", "10.0.1.1"} << "the gateway is outside the device's subnet";
    QTest::newRow("mask with a hole") << QStringList{"10.0.0.5", "255.0.255.0", "0.0.0.0"} << "a subnet mask is ones from the top";
}

void Test_Dcp_Network::Address_No_Device_May_Hold()
{
    QFETCH(QStringList, Values);
    QFETCH(QString, Rule);
    Responder Device({"--set-answer", "exact"});
    QVERIFY(Device.Ready());
    const Run_Result R = Sw(Set("set-ip", Gateway_1, Values));
    QCOMPARE(R.Code, 2);
    QVERIFY2(R.Err.contains(QStringLiteral("cannot be given to a device: ") + Rule), qPrintable(R.Err));
    QTest::qWait(100);
    QVERIFY2(!Device.Log().contains("SET "), Device.Log().constData());
}

SW_NAMESPACE_TEST_MAIN(Test_Dcp_Network, QCoreApplication)
#include "test_dcp_network.moc"
