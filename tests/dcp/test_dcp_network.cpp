// The command line against the gateway simulator on a veth pair in this
// test's own network namespace: discover, set-name, set-ip and flash as a
// user runs them, with their exit codes, and what the devices then hold.

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

SW_NAMESPACE_TEST_MAIN(Test_Dcp_Network, QCoreApplication)
#include "test_dcp_network.moc"
