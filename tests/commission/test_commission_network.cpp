// Commissioning a plant of forty simulated gateways and two devices of
// another maker on a veth pair in this test's own network namespace: through
// the program as the engineer runs it, and in process where a run is stopped
// part way or the updater is stood in for.

#include "commission/Commission_Run.h"
#include "commission/Plant_List.h"
#include "commission/Plant_Fixture.h"
#include <QRegularExpression>
#include "dcp/Namespace_Wire.h"
#include "dcp/Simulated_Devices.h"
#include "platform/Raw_Ethernet.h"
#include "support/Test_Files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

using namespace Plant_Fixture;

namespace {

constexpr int Gateways = 40;

struct Run_Result {
    int Code = -1;
    QString Out;
    QString Err;
};

Run_Result Sw(const QStringList& Arguments)
{
    QProcess P;
    P.start(QStringLiteral(SW_PROGRAM), Arguments);
    P.waitForFinished(180000);
    return {P.exitStatus() == QProcess::NormalExit ? P.exitCode() : -1, QString::fromUtf8(P.readAllStandardOutput()),
            QString::fromUtf8(P.readAllStandardError())};
}

QStringList Commission_Command(const QString& List, const QStringList& More = {})
{
    return QStringList{"commission", List, "--interface", Namespace_Wire::Host_Interface, "--timeout", "500"} + More;
}

QJsonArray Gateways_Of(const Run_Result& R)
{
    return QJsonDocument::fromJson(R.Out.toUtf8()).object()[QStringLiteral("gateways")].toArray();
}

QMap<QString, QString> States_By_Name(const QJsonArray& Gateways)
{
    QMap<QString, QString> States;
    for (const QJsonValue& G : Gateways)
        States[G[QStringLiteral("name")].toString()] = G[QStringLiteral("state")].toString();
    return States;
}

Commission::Plant_List Read_List(const QString& Path, const Commission::Configuration_Lookup& Lookup = {})
{
    const auto List = Commission::Read_Plant_List_File(Path, QFileInfo(Path).absolutePath(), Lookup ? Lookup : [](const QString&) {
        return std::expected<Commission::Configuration_Facts, QString>(std::unexpect, QStringLiteral("none here"));
    });
    return List ? *List : Commission::Plant_List{};
}

std::unique_ptr<Raw_Ethernet_Port> Open_Wire()
{
    Pcap_Raw_Ethernet Ethernet;
    auto Port = Ethernet.Open(QString::fromLatin1(Namespace_Wire::Host_Interface));
    return Port ? std::move(*Port) : nullptr;
}

Commission::Run_Settings Settings_For(const QString& List_Path)
{
    Commission::Run_Settings S;
    S.Interface = QString::fromLatin1(Namespace_Wire::Host_Interface);
    S.Identify_Window = std::chrono::milliseconds(500);
    S.State_File = Commission::State_File_Of(List_Path);
    return S;
}

} // namespace

class Test_Commission_Network : public QObject {
    Q_OBJECT
private slots:
    void Fresh_Plant_Then_Nothing_To_Send();
    void Stopped_After_Ten_And_Resumed();
    void Ctrl_C_Stops_After_The_Current_Gateway();
    void Failures_Do_Not_Stop_The_Others();
    void Dry_Run_Sends_No_Set();
    void Configurations_Go_To_The_Updater();
    void Reset_To_Factory();
    void No_Device_Answers();
    void Refused_Before_Sending_data();
    void Refused_Before_Sending();
};

void Test_Commission_Network::Fresh_Plant_Then_Nothing_To_Send()
{
    QTemporaryDir Here;
    Simulator Devices(Here.path(), {"--macs", Write_Macs(Here.path(), Gateways), "--foreign", "2"});
    QVERIFY(Devices.Ready());
    const QString List = Write_List(Here.path(), Gateways);
    const QString Record = Here.filePath(QStringLiteral("record.pdf"));

    const Run_Result First = Sw(Commission_Command(List, {"--record", Record}));
    QVERIFY2(First.Code == 0, qPrintable(First.Out + First.Err));
    QCOMPARE(First.Out.count(QStringLiteral(" done: ")), Gateways);
    QCOMPARE(First.Out.count(QStringLiteral("not-listed")), 2);
    // Name and address, each once and permanently, to every listed gateway and to nothing else.
    const QByteArray Log = Devices.Log();
    QCOMPARE(Count_Lines(Log, "SET NAME 02:aa:"), Gateways);
    QCOMPARE(Count_Lines(Log, "SET IP 02:aa:"), Gateways);
    QCOMPARE(Count_Lines(Log, "SET "), 2 * Gateways);
    QVERIFY(Log.contains("SET NAME " + Mac(17).toLatin1() + " " + Name(17).toLatin1() + " permanent"));
    QVERIFY(Log.contains("SET IP " + Mac(17).toLatin1() + " " + Address(17).toLatin1() + " 255.255.255.0 10.1.0.1 permanent"));

    // The state beside the list, every gateway done.
    const QJsonObject State = QJsonDocument::fromJson(Test_Support::Read_File(List + QStringLiteral(".state.json"))).object();
    QCOMPARE(State[QStringLiteral("gateways")].toArray().size(), Gateways);
    for (const QJsonValue& G : State[QStringLiteral("gateways")].toArray())
        QCOMPARE(G[QStringLiteral("state")].toString(), QStringLiteral("done"));

    // The record lists every gateway with its state, and the lines to sign.
    QProcess Text;
    Text.start(QStringLiteral("pdftotext"), {"-layout", Record, "-"});
    QVERIFY(Text.waitForFinished(30000));
    const QString Pdf = QString::fromUtf8(Text.readAllStandardOutput());
    QVERIFY2(Pdf.contains(QStringLiteral("Commissioning record")), qPrintable(Pdf.left(400)));
    QVERIFY(Pdf.contains(QStringLiteral("plant.csv")));
    QVERIFY(Pdf.contains(QStringLiteral("dcp0")));
    for (int I = 0; I < Gateways; ++I) {
        QVERIFY2(Pdf.contains(Mac(I)), qPrintable(Mac(I)));
        QVERIFY2(Pdf.contains(Name(I)), qPrintable(Name(I)));
    }
    QVERIFY(Pdf.contains(QStringLiteral("Engineer")));
    QVERIFY(Pdf.contains(QStringLiteral("Customer")));

    // A second run finds everything right and sends nothing but its one search.
    const Run_Result Second = Sw(Commission_Command(List, {"--json"}));
    QVERIFY2(Second.Code == 0, qPrintable(Second.Err));
    const QJsonObject Document = QJsonDocument::fromJson(Second.Out.toUtf8()).object();
    QCOMPARE(Document[QStringLiteral("frames_sent")].toInt(), 1);
    for (const QString& S : States_By_Name(Gateways_Of(Second)))
        QCOMPARE(S, QStringLiteral("already-right"));
    QCOMPARE(Document[QStringLiteral("not_listed")].toArray().size(), 2);
    QCOMPARE(Count_Lines(Devices.Log(), "SET "), 2 * Gateways);

    // What was set permanently holds through a power cycle.
    QVERIFY(Devices.Restart());
    const Run_Result After_Restart = Sw(Commission_Command(List));
    QCOMPARE(After_Restart.Code, 0);
    QCOMPARE(After_Restart.Out.count(QStringLiteral("already-right")), Gateways);
}

void Test_Commission_Network::Stopped_After_Ten_And_Resumed()
{
    QTemporaryDir Here;
    Simulator Devices(Here.path(), {"--macs", Write_Macs(Here.path(), Gateways), "--foreign", "2"});
    QVERIFY(Devices.Ready());
    const QString Path = Write_List(Here.path(), Gateways);
    const Commission::Plant_List List = Read_List(Path);
    QCOMPARE(List.Rows.size(), Gateways);
    auto Port = Open_Wire();
    QVERIFY(Port);

    std::atomic_bool Stop{false};
    Commission::Run First(List, *Port, Settings_For(Path), {});
    First.Gateway_Finished = [&](int Row, const Commission::Gateway_Outcome&) {
        if (Row == 9)
            Stop = true;
    };
    const Commission::Run_Report Stopped = First.Execute(Stop);
    QVERIFY(Stopped.Stopped);
    for (int I = 0; I < Gateways; ++I)
        QCOMPARE(Stopped.Outcomes[I].State, I < 10 ? Commission::Gateway_State::Done : Commission::Gateway_State::Pending);
    QCOMPARE(Stopped.Set_Frames_Sent, 2 * 10);
    QCOMPARE(Count_Lines(Devices.Log(), "SET "), 2 * 10);
    // The state file holds the ten done, the rest still to do.
    const QJsonArray Kept = QJsonDocument::fromJson(Test_Support::Read_File(Path + QStringLiteral(".state.json")))
                                .object()[QStringLiteral("gateways")].toArray();
    QCOMPARE(Kept.size(), Gateways);
    QCOMPARE(Kept[9][QStringLiteral("state")].toString(), QStringLiteral("done"));
    QCOMPARE(Kept[10][QStringLiteral("state")].toString(), QStringLiteral("pending"));

    // Resumed by a new run: the first ten are found right and left alone.
    Stop = false;
    Commission::Run Second(List, *Port, Settings_For(Path), {});
    const Commission::Run_Report Resumed = Second.Execute(Stop);
    QVERIFY(!Resumed.Stopped);
    for (int I = 0; I < Gateways; ++I)
        QCOMPARE(Resumed.Outcomes[I].State, I < 10 ? Commission::Gateway_State::Already_Right : Commission::Gateway_State::Done);
    QCOMPARE(Resumed.Set_Frames_Sent, 2 * 30);
    QCOMPARE(Count_Lines(Devices.Log(), "SET "), 2 * Gateways);
    for (int I = 0; I < 10; ++I)
        QCOMPARE(Count_Lines(Devices.Log(), "SET NAME " + Mac(I).toLatin1()), 1);
}

void Test_Commission_Network::Ctrl_C_Stops_After_The_Current_Gateway()
{
    QTemporaryDir Here;
    // Slow devices, so that Ctrl+C comes while the run is in the middle of the list.
    Simulator Devices(Here.path(), {"--macs", Write_Macs(Here.path(), Gateways), "--dcp-set-delay", "40"});
    QVERIFY(Devices.Ready());
    const QString List = Write_List(Here.path(), Gateways);
    QProcess P;
    P.start(QStringLiteral(SW_PROGRAM), Commission_Command(List));
    QByteArray Out;
    while (Out.count(" done: ") < 10 && P.waitForReadyRead(20000))
        Out += P.readAllStandardOutput();
    QVERIFY(Out.count(" done: ") >= 10);
    ::kill(static_cast<pid_t>(P.processId()), SIGINT);
    QVERIFY(P.waitForFinished(60000));
    Out += P.readAllStandardOutput();
    QCOMPARE(P.exitStatus(), QProcess::NormalExit);
    QCOMPARE(P.exitCode(), 1);
    QVERIFY(Out.contains("stopped:"));
    const int Done = static_cast<int>(Out.count(" done: "));
    QVERIFY2(Done >= 10 && Done < Gateways, qPrintable(QString::number(Done)));
    // Each gateway begun was finished: its name and its address set, and kept in the state.
    const QByteArray Log = Devices.Log();
    QCOMPARE(Count_Lines(Log, "SET NAME "), Done);
    QCOMPARE(Count_Lines(Log, "SET IP "), Done);
    const QJsonArray Kept = QJsonDocument::fromJson(Test_Support::Read_File(List + QStringLiteral(".state.json")))
                                .object()[QStringLiteral("gateways")].toArray();
    QCOMPARE(Kept[Done - 1][QStringLiteral("state")].toString(), QStringLiteral("done"));
    QCOMPARE(Kept[Done][QStringLiteral("state")].toString(), QStringLiteral("pending"));

    // Run again: the rest is done, the first ones are left alone.
    const Run_Result Again = Sw(Commission_Command(List));
    QCOMPARE(Again.Code, 0);
    QCOMPARE(Again.Out.count(QStringLiteral("already-right")), Done);
    QCOMPARE(Count_Lines(Devices.Log(), "SET NAME "), Gateways);
}

void Test_Commission_Network::Failures_Do_Not_Stop_The_Others()
{
    QTemporaryDir Here;
    // Gateway 5 refuses every Set; one more device, on no list, already holds gateway 7's name.
    Simulator Devices(Here.path(), {"--macs", Write_Macs(Here.path(), Gateways, 4), "--foreign", "2", "--dcp-conflict", Name(6)});
    QVERIFY(Devices.Ready());
    const QString List = Write_List(Here.path(), Gateways, {"02:aa:00:00:00:ff,plant-gw-missing,10.1.0.200,255.255.255.0,10.1.0.1,"});

    const Run_Result R = Sw(Commission_Command(List, {"--json"}));
    QCOMPARE(R.Code, 1);
    const QJsonArray All = Gateways_Of(R);
    QCOMPARE(All.size(), Gateways + 1);
    const QMap<QString, QString> States = States_By_Name(All);
    QCOMPARE(States[Name(4)], QStringLiteral("refused"));
    QVERIFY2(All[4][QStringLiteral("text")].toString().contains(QStringLiteral("not possible in operation")),
             qPrintable(All[4][QStringLiteral("text")].toString()));
    QCOMPARE(States[Name(6)], QStringLiteral("conflict"));
    QVERIFY(All[6][QStringLiteral("text")].toString().contains(QStringLiteral("02:06:c0:00:00:00")));
    QCOMPARE(States[QStringLiteral("plant-gw-missing")], QStringLiteral("not-found"));
    int Done = 0;
    for (const QString& S : States)
        Done += S == QLatin1String("done") ? 1 : 0;
    QCOMPARE(Done, Gateways - 2);
    // Nothing reached the gateway in conflict nor the device holding its name: no duplicate was made.
    const QByteArray Log = Devices.Log();
    QCOMPARE(Count_Lines(Log, "SET NAME " + Mac(6).toLatin1()), 0);
    QCOMPARE(Count_Lines(Log, "SET IP " + Mac(6).toLatin1()), 0);
    QVERIFY(!Log.contains("02:06:c0:00:00:00 "));
    QVERIFY(!Log.contains("02:06:f0:"));
    // The device not listed is reported, its name unchanged.
    bool Reported = false;
    for (const QJsonValue& D : QJsonDocument::fromJson(R.Out.toUtf8()).object()[QStringLiteral("not_listed")].toArray())
        Reported |= D[QStringLiteral("name")].toString() == Name(6);
    QVERIFY(Reported);
}

void Test_Commission_Network::Dry_Run_Sends_No_Set()
{
    QTemporaryDir Here;
    Simulator Devices(Here.path(), {"--macs", Write_Macs(Here.path(), 3)});
    QVERIFY(Devices.Ready());
    const QString List = Write_List(Here.path(), 3);
    const Run_Result R = Sw(Commission_Command(List, {"--dry-run"}));
    QVERIFY2(R.Code == 0, qPrintable(R.Err));
    QCOMPARE(R.Out.count(QStringLiteral("would-change")), 3);
    QVERIFY(R.Out.contains(QStringLiteral("would set the name \"plant-gw-02\"")));
    QVERIFY(!Devices.Log().contains("SET "));
    QVERIFY(!QFile::exists(List + QStringLiteral(".state.json")));
}

void Test_Commission_Network::Configurations_Go_To_The_Updater()
{
    QTemporaryDir Here;
    Simulator Devices(Here.path(), {"--macs", Write_Macs(Here.path(), 3)});
    QVERIFY(Devices.Ready());
    for (int I = 0; I < 3; ++I)
        QVERIFY(QDir().mkpath(Here.filePath(QStringLiteral("cfg-%1").arg(I))));
    QByteArray Text = "mac,station_name,ip,mask,gateway,configuration\n";
    for (int I = 0; I < 3; ++I)
        Text += QStringLiteral("%1,,,,,cfg-%2\n").arg(Mac(I)).arg(I).toLatin1();
    const QString Path = Here.filePath(QStringLiteral("plant.csv"));
    Test_Support::Write_File(Path, Text);
    // Each configuration names its gateway; the list leaves it to them.
    const Commission::Plant_List List = Read_List(Path, [](const QString& Dir) {
        const int I = Dir.back().digitValue();
        Commission::Configuration_Facts Facts;
        Facts.Station_Name = Name(I);
        Facts.Ip = {*Parse_Ipv4(Address(I)), *Parse_Ipv4(QStringLiteral("255.255.255.0")), Ipv4_Address{}};
        return std::expected<Commission::Configuration_Facts, QString>(Facts);
    });
    QVERIFY(List.Problems.isEmpty());

    // The compiler and the updater stood in for: the second configuration's update fails once.
    QStringList Updates;
    bool Fail_Second = true;
    Commission::Configuration_Steps Steps;
    Steps.Compile = [&](const QString& Dir) -> std::expected<Commission::Compiled_Banks, QString> {
        Test_Support::Write_File(Dir + QStringLiteral("/bin/bank1.bin"), Dir.toUtf8());
        Test_Support::Write_File(Dir + QStringLiteral("/bin/bank2.bin"), "two");
        return Commission::Compiled_Banks{Dir + QStringLiteral("/bin/bank1.bin"), Dir + QStringLiteral("/bin/bank2.bin")};
    };
    Steps.Update = [&](const QString& Dir, const Ipv4_Address& Address) -> std::expected<void, QString> {
        Updates.append(QDir(Dir).dirName() + QLatin1Char('>') + Address.Text());
        if (Fail_Second && Dir.endsWith(QLatin1String("cfg-1")))
            return std::unexpected(QStringLiteral("the updater ended with code 1"));
        return {};
    };
    auto Port = Open_Wire();
    QVERIFY(Port);
    Commission::Run_Settings Settings = Settings_For(Path);
    Settings.Update = true;
    std::atomic_bool Stop{false};
    const Commission::Run_Report First = Commission::Run(List, *Port, Settings, Steps).Execute(Stop);
    // One after the other, each to its gateway's new address, after it was named and addressed.
    QCOMPARE(Updates, (QStringList{"cfg-0>10.1.0.11", "cfg-1>10.1.0.12", "cfg-2>10.1.0.13"}));
    QCOMPARE(First.Outcomes[0].State, Commission::Gateway_State::Done);
    QCOMPARE(First.Outcomes[1].State, Commission::Gateway_State::Update_Failed);
    QCOMPARE(First.Outcomes[2].State, Commission::Gateway_State::Done);
    QVERIFY(First.Outcomes[0].Updated);
    QCOMPARE(First.Outcomes[2].Bank2_Sha256,
             QStringLiteral("3fc4ccfe745870e2c0d99f71f30ff0656c8dedd41cc1d7d3d376b0dbe685e2f3")); // SHA-256 of "two"
    QCOMPARE(Count_Lines(Devices.Log(), "SET "), 6);

    // Again: only the failed update is repeated, nothing else is sent.
    Fail_Second = false;
    Updates.clear();
    const Commission::Run_Report Second = Commission::Run(List, *Port, Settings, Steps).Execute(Stop);
    QCOMPARE(Updates, QStringList{"cfg-1>10.1.0.12"});
    QCOMPARE(Second.Outcomes[0].State, Commission::Gateway_State::Already_Right);
    QCOMPARE(Second.Outcomes[1].State, Commission::Gateway_State::Done);
    QCOMPARE(Second.Set_Frames_Sent, 0);

    // A configuration the compiler refuses stops its gateway only.
    Steps.Compile = [](const QString&) -> std::expected<Commission::Compiled_Banks, QString> {
        return std::unexpected(QStringLiteral("the data area does not fit"));
    };
    const Commission::Run_Report Refused = Commission::Run(List, *Port, Settings, Steps).Execute(Stop);
    for (const Commission::Gateway_Outcome& O : Refused.Outcomes) {
        QCOMPARE(O.State, Commission::Gateway_State::Configuration_Refused);
        QVERIFY(O.Text.contains(QStringLiteral("does not fit")));
    }
}

void Test_Commission_Network::Reset_To_Factory()
{
    QTemporaryDir Here;
    Simulator Devices(Here.path(), {"--macs", Write_Macs(Here.path(), 2)});
    QVERIFY(Devices.Ready());
    const QString List = Write_List(Here.path(), 2);
    QCOMPARE(Sw(Commission_Command(List)).Code, 0);

    const Run_Result Reset = Sw({"reset-to-factory", "--interface", Namespace_Wire::Host_Interface, "--mac", Mac(1)});
    QVERIFY2(Reset.Code == 0, qPrintable(Reset.Err));
    QVERIFY(Devices.Log().contains("RESET " + Mac(1).toLatin1()));
    // Forgotten for good: after a power cycle the run has that one to do again.
    QVERIFY(Devices.Restart());
    const Run_Result Again = Sw(Commission_Command(List, {"--json"}));
    const QMap<QString, QString> States = States_By_Name(Gateways_Of(Again));
    QCOMPARE(States[Name(0)], QStringLiteral("already-right"));
    QCOMPARE(States[Name(1)], QStringLiteral("done"));

    const Run_Result Nobody = Sw({"reset-to-factory", "--interface", Namespace_Wire::Host_Interface, "--mac", "02:aa:00:00:00:99"});
    QCOMPARE(Nobody.Code, 4);
}

void Test_Commission_Network::No_Device_Answers()
{
    QTemporaryDir Here;
    const QString List = Write_List(Here.path(), 2);
    const Run_Result R = Sw(Commission_Command(List));
    QCOMPARE(R.Code, 4);
    QVERIFY(R.Err.contains(QStringLiteral("no device answered")));
}

void Test_Commission_Network::Refused_Before_Sending_data()
{
    QTest::addColumn<QStringList>("Arguments"); // PLANT stands for a good list, BAD for one with a problem
    QTest::addColumn<int>("Code");
    QTest::addColumn<QString>("Said");
    QTest::newRow("no interface") << QStringList{"commission", "PLANT"} << 2 << "--interface IF is required";
    QTest::newRow("no list") << QStringList{"commission", "--interface", "dcp0"} << 2 << "plant list";
    QTest::newRow("reset without MAC") << QStringList{"reset-to-factory", "--interface", "dcp0"} << 2 << "--mac MAC";
    QTest::newRow("reset with a bad MAC") << QStringList{"reset-to-factory", "--interface", "dcp0", "--mac", "02:aa"} << 2
                                          << "not a MAC address";
    QTest::newRow("list missing") << QStringList{"commission", "MISSING", "--interface", "dcp0"} << 3 << "missing.csv";
    QTest::newRow("list with problems") << QStringList{"commission", "BAD", "--interface", "dcp0"} << 1 << "bad.csv:3:2: error:";
    QTest::newRow("interface unknown") << QStringList{"commission", "PLANT", "--interface", "nosuch0"} << 3 << "nosuch0";
}

void Test_Commission_Network::Refused_Before_Sending()
{
    QFETCH(QStringList, Arguments);
    QFETCH(int, Code);
    QFETCH(QString, Said);
    QTemporaryDir Here;
    Simulator Devices(Here.path(), {"--macs", Write_Macs(Here.path(), 2)});
    QVERIFY(Devices.Ready());
    const QString Good = Write_List(Here.path(), 2);
    const QString Bad = Here.filePath(QStringLiteral("bad.csv"));
    Test_Support::Write_File(Bad, "mac,station_name,ip,mask,gateway,configuration\n"
                                  "02:aa:00:00:00:01,gw-1,10.1.0.11,255.255.255.0,10.1.0.1,\n"
                                  "02:aa:00:00:00:02,GW 2,10.1.0.12,255.255.255.0,10.1.0.1,\n");
    Arguments.replaceInStrings(QRegularExpression(QStringLiteral("^PLANT$")), Good);
    Arguments.replaceInStrings(QRegularExpression(QStringLiteral("^BAD$")), Bad);
    Arguments.replaceInStrings(QRegularExpression(QStringLiteral("^MISSING$")), Here.filePath(QStringLiteral("missing.csv")));
    const Run_Result R = Sw(Arguments);
    QCOMPARE(R.Code, Code);
    QVERIFY2(R.Err.contains(Said), qPrintable(R.Err));
    QVERIFY(!Devices.Log().contains("SET "));
}

SW_NAMESPACE_TEST_MAIN(Test_Commission_Network, QCoreApplication)
#include "test_commission_network.moc"
