// The road of an update on loopback: the update dialog checks 127.0.0.1,
// writes the parameter file and runs the stand-in updater, which sends the
// banks and the firmware to the gateway simulator. Nothing leaves 127.0.0.1.

#include "image/Image_Fixtures.h"
#include "platform/Clock.h"
#include "platform/Echo_Client.h"
#include "platform/Process_Runner.h"
#include "platform/Xml_File.h"
#include "protocol/Update_Protocol.h"
#include "foundation/Workspace.h"
#include "support/Scripted_Prompter.h"
#include "support/Test_Support.h"
#include "shell/TFTavorixFirmWare.h"
#include "update/TFBoot.h"
#include "update/Update_Parameter_File.h"

#include <QDir>
#include <QFileInfo>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using Test_Support::Find;
using Test_Support::Random_Bytes;
using Test_Support::Read_File;
using Test_Support::When_Modal;
using Test_Support::Write_File;

namespace {

// The updater's file beside the program, as a Windows or a Linux program is named.
#ifdef Q_OS_WIN
const QString Updater_File = QStringLiteral("Ethernet_Update.exe");
#else
const QString Updater_File = QStringLiteral("Ethernet_Update");
#endif

constexpr int Firmware_Start = 0x8000;
constexpr int Bank1_Start = 0x07000;
constexpr int Bank2_Start = 0x80000;

// A parameter block as the compiler closes it: the byte sum of the first 2044
// bytes in the last four, little-endian.
QByteArray Parameter_Block()
{
    QByteArray Block = Random_Bytes(2048, 11);
    const quint32 Sum = Update_Protocol::Parameter_Block_Sum(Block);
    for (int I = 0; I < 4; ++I)
        Block[2044 + I] = static_cast<char>((Sum >> (8 * I)) & 0xFF);
    return Block;
}

// Answers every echo at once; stands in for ICMP where this process may open
// no ICMP socket.
class Loopback_Echo : public Echo_Client {
public:
    std::expected<int, QString> Echo(const QString& Host, const QByteArray& Data, int) override
    {
        if (Host != QStringLiteral("127.0.0.1"))
            return std::unexpected(QStringLiteral("only loopback here"));
        return 8 + static_cast<int>(Data.size());
    }
};

// The real ICMP client where this process may open an ICMP socket.
std::unique_ptr<Echo_Client> Loopback_Echo_Client()
{
    if (Icmp_Echo_Client::Available_Socket() != Icmp_Echo_Client::Socket_Kind::None)
        return std::make_unique<Icmp_Echo_Client>();
    qInfo("no ICMP socket may be opened here: the reachability check answers from a loopback stand-in");
    return std::make_unique<Loopback_Echo>();
}

// The real clock, process runner and echo client the update runs over, with
// scripted message boxes.
struct Real_Services {
    Scripted_Prompter Prompts;
    System_Clock Time;
    Qt_Process_Runner Runner;
    std::unique_ptr<Echo_Client> Echo = Loopback_Echo_Client();

    Platform_Services Services()
    {
        Platform_Services S;
        S.Prompts = &Prompts;
        S.Time = &Time;
        S.Processes = &Runner;
        S.Echo = Echo.get();
        return S;
    }
};

struct Fixture {
    QTemporaryDir Dir;
    QString Exe_Dir = Dir.filePath("prog");
    QString Store_Dir = Dir.filePath("gateway");
    QString Project_Dir = Exe_Dir + "/PROJECTS/Plant";
    QByteArray Firmware = Random_Bytes(20001, 7);
    QByteArray Bank1 = Parameter_Block();
    QByteArray Bank2 = Random_Bytes(5000, 13);
    QProcess Simulator;

    Fixture()
    {
        QDir().mkpath(Store_Dir);
        Write_File(Exe_Dir + "/MASTER/Sim40610.sim", Firmware);
        Write_File(Project_Dir + "/bin/bank1.bin", Bank1);
        Write_File(Project_Dir + "/bin/bank2.bin", Bank2);
        // The updater reads its parameter file from its own folder.
        if (!QFile::copy(SW_ETHERNET_UPDATE, Exe_Dir + "/" + Updater_File))
            qFatal("cannot copy the stand-in updater");
#ifdef Q_OS_WIN
        // A Windows program folder carries Qt's platform plugins beside its programs.
        QDir().mkpath(Exe_Dir + "/platforms");
        for (const QString Plugin : {"qoffscreen.dll", "qwindows.dll"})
            if (!QFile::copy(QFileInfo(SW_ETHERNET_UPDATE).dir().filePath("platforms/" + Plugin),
                             Exe_Dir + "/platforms/" + Plugin))
                qFatal("cannot copy the platform plugins");
#endif
    }
    ~Fixture()
    {
        if (Simulator.state() != QProcess::NotRunning) {
            Simulator.kill();
            Simulator.waitForFinished(5000);
        }
    }
    bool Start_Simulator(const QStringList& Options)
    {
        Simulator.setProgram(SW_GATEWAY_SIMULATOR);
        Simulator.setArguments(QStringList{"--store-dir", Store_Dir, "--idle-ms", "3000", "--max-ms", "60000"} + Options);
        Simulator.start();
        QElapsedTimer Took;
        Took.start();
        while (!Simulator.canReadLine() && Took.elapsed() < 10000 && Simulator.state() != QProcess::NotRunning)
            Simulator.waitForReadyRead(100);
        const QByteArray Line = Simulator.readLine();
        if (!Line.startsWith("READY")) {
            qWarning("gateway simulator did not start: %s %s", Line.constData(),
                     Simulator.readAllStandardError().constData());
            return false;
        }
        return true;
    }
    QString Stored(quint32 Start) const
    {
        return QDir(Store_Dir).filePath(QStringLiteral("0x%1.bin").arg(Start, 8, 16, QChar('0')));
    }
    void Write_Parameters(int Option, bool Read_Back)
    {
        Xml_File Doc;
        Write_Update_Parameters(Doc, {"127.0.0.1", Option, Read_Back},
                                {Exe_Dir + "/MASTER", Project_Dir}, Exe_Dir);
    }
};

} // namespace

class Test_End_To_End : public QObject {
    Q_OBJECT
private slots:
    void Update_Dialog_To_Gateway();
    void Step_6_Compiles_And_Updates_Gateway();
    void Updater_Against_Simulator_data();
    void Updater_Against_Simulator();
};

void Test_End_To_End::Update_Dialog_To_Gateway()
{
    Fixture F;
    QVERIFY(F.Start_Simulator({}));

    Workspace Space(F.Exe_Dir);
    Space.Set_Identity();
    Space.Lang_Strings.Create_Default_Strings();
    Space.Activate_Project("Plant");
    Space.Last_IP_Address = QStringLiteral("127.0.0.1");
    Real_Services Real;
    Scripted_Prompter& Prompts = Real.Prompts;
    Qt_Process_Runner& Runner = Real.Runner;
    const Platform_Services Services = Real.Services();
    TFBoot Dialog(Space, Services);
    Dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&Dialog));
    for (int I = 1; I <= 4; ++I) // loopback before any check runs
        QCOMPARE(Find<QLineEdit>(&Dialog, QStringLiteral("E_IP%1").arg(I))->text(),
                 QStringList({"127", "0", "0", "1"})[I - 1]);

    QTest::mouseClick(Find<QPushButton>(&Dialog, "Btn_Update"), Qt::LeftButton);

    QVERIFY2(Prompts.Messages.isEmpty(), qPrintable(Prompts.Last_Text()));
    QCOMPARE(Dialog.ping_res, 1);
    QCOMPARE(Dialog.Last_Start, Start_Program_Outcome::Ended);
    QCOMPARE(Runner.Exit_Code(), qint64(0));
    // The device went back to its application after the last operation.
    // The dialog lets window messages run after the updater, so the simulator may be seen ended already.
    QVERIFY(F.Simulator.state() == QProcess::NotRunning || F.Simulator.waitForFinished(10000));
    const QByteArray Log = F.Simulator.readAllStandardOutput();
    QVERIFY(!Log.contains("DROP"));
    QVERIFY2(Log.contains("END application started"), Log.constData());
    QCOMPARE(Read_File(F.Stored(Firmware_Start)), F.Firmware);
    QCOMPARE(Read_File(F.Stored(Bank1_Start)), F.Bank1);
    QCOMPARE(Read_File(F.Stored(Bank2_Start)), F.Bank2);
}

// The whole road from the main window: step 6 compiles the project files into
// the banks, the update dialog checks 127.0.0.1 and the stand-in sends the
// freshly written banks and the firmware to the simulator.
void Test_End_To_End::Step_6_Compiles_And_Updates_Gateway()
{
    Fixture F;
    QVERIFY(QFile::remove(F.Project_Dir + "/bin/bank1.bin"));
    QVERIFY(QFile::remove(F.Project_Dir + "/bin/bank2.bin"));
    Image_Fixtures::Write_Project(Image_Fixtures::Largest_Project(), F.Project_Dir + "/ParGen.xml",
                                  F.Project_Dir + "/IEC61850_Variables.xml", F.Project_Dir + "/TLS_Known_Cert.xml");
    Write_File(F.Exe_Dir + "/Tavorix.xml", "<Conf_Settings><lastproj><projectname>Plant</projectname></lastproj>"
                                           "<lastipadd><ipaddress>127.0.0.1</ipaddress></lastipadd></Conf_Settings>");
    QVERIFY(F.Start_Simulator({}));

    Workspace Space(F.Exe_Dir);
    Real_Services Real;
    Scripted_Prompter& Prompts = Real.Prompts;
    Qt_Process_Runner& Runner = Real.Runner;
    const Platform_Services Services = Real.Services();
    TFTavorixFirmWare Window(Space, Services);
    Window.show();
    QVERIFY(Space.Is_Project_Active());

    QString Opened;
    QPointer<QTimer> Waiting = When_Modal([&](QWidget* Modal) {
        Opened = Modal->objectName();
        QCOMPARE(Find<QLineEdit>(Modal, "E_IP1")->text(), QString("127"));
        QCOMPARE(Find<QLineEdit>(Modal, "E_IP4")->text(), QString("1"));
        QTest::mouseClick(Find<QPushButton>(Modal, "Btn_Update"), Qt::LeftButton);
        Modal->close();
    });
    QTest::mouseClick(Find<QPushButton>(&Window, "Btn_CreateBin"), Qt::LeftButton);
    delete Waiting;

    QCOMPARE(Opened, QString("TFBoot"));
    QVERIFY2(Prompts.Messages.isEmpty(), qPrintable(Prompts.Last_Text()));
    QCOMPARE(Runner.Exit_Code(), qint64(0));
    const QByteArray Bank1 = Read_File(F.Project_Dir + "/bin/bank1.bin");
    const QByteArray Bank2 = Read_File(F.Project_Dir + "/bin/bank2.bin");
    QCOMPARE(Bank1.size(), 2048);
    QVERIFY(Bank2.size() > 30000);
    // The dialog lets window messages run after the updater, so the simulator may be seen ended already.
    QVERIFY(F.Simulator.state() == QProcess::NotRunning || F.Simulator.waitForFinished(10000));
    const QByteArray Log = F.Simulator.readAllStandardOutput();
    QVERIFY2(Log.contains("END application started"), Log.constData());
    QCOMPARE(Read_File(F.Stored(Firmware_Start)), F.Firmware);
    QCOMPARE(Read_File(F.Stored(Bank1_Start)), Bank1);
    QCOMPARE(Read_File(F.Stored(Bank2_Start)), Bank2);
}

void Test_End_To_End::Updater_Against_Simulator_data()
{
    QTest::addColumn<QStringList>("Simulator_Options");
    QTest::addColumn<int>("Option");
    QTest::addColumn<bool>("Read_Back");
    QTest::addColumn<QString>("Break");
    QTest::addColumn<int>("Exit_Code");
    QTest::addColumn<QString>("Reason");
    QTest::addColumn<QList<int>>("Stored");

    const QList<int> All{Firmware_Start, Bank1_Start, Bank2_Start};
    QTest::newRow("dropped blocks are retried") << QStringList{"--drop-every", "5"} << 0 << true << QString() << 0
                                                << QString() << All;
    QTest::newRow("firmware only, no read back") << QStringList{} << 1 << false << QString() << 0 << QString()
                                                 << QList<int>{Firmware_Start};
    QTest::newRow("silent simulator") << QStringList{"--silent"} << 2 << true << QString() << 1
                                      << QStringLiteral("no answer from the device 127.0.0.1") << QList<int>{};
    QTest::newRow("missing firmware image") << QStringList{} << 0 << true << QStringLiteral("no firmware") << 2
                                            << QStringLiteral("file not found") << QList<int>{};
    QTest::newRow("parameter block with a wrong checksum")
        << QStringList{} << 2 << true << QStringLiteral("bad checksum") << 1 << QStringLiteral("wrong checksum")
        << QList<int>{};
    QTest::newRow("malformed parameter file") << QStringList{} << 2 << true << QStringLiteral("bad parameters") << 2
                                              << QStringLiteral("not well-formed") << QList<int>{};
}

void Test_End_To_End::Updater_Against_Simulator()
{
    QFETCH(QStringList, Simulator_Options);
    QFETCH(int, Option);
    QFETCH(bool, Read_Back);
    QFETCH(QString, Break);
    QFETCH(int, Exit_Code);
    QFETCH(QString, Reason);
    QFETCH(QList<int>, Stored);
    Fixture F;
    F.Write_Parameters(Option, Read_Back);
    if (Break == "no firmware")
        QVERIFY(QFile::remove(F.Exe_Dir + "/MASTER/Sim40610.sim"));
    if (Break == "bad checksum") {
        F.Bank1[100] = static_cast<char>(F.Bank1[100] + 1);
        Write_File(F.Project_Dir + "/bin/bank1.bin", F.Bank1);
    }
    if (Break == "bad parameters")
        Write_File(F.Exe_Dir + "/Ethernet_Update.xml", Read_File(F.Exe_Dir + "/Ethernet_Update.xml").chopped(5));
    QVERIFY(F.Start_Simulator(Simulator_Options));

    QProcess Updater;
    QElapsedTimer Took;
    Took.start();
    Updater.start(F.Exe_Dir + "/" + Updater_File, {"--linger-ms", "0", "--reply-timeout-ms", "100"});
    // It ends on its own; the bound here only keeps a broken build from hanging.
    QVERIFY(Updater.waitForFinished(60000));
    const QString Errors = QString::fromLocal8Bit(Updater.readAllStandardError());
    QCOMPARE(Updater.exitStatus(), QProcess::NormalExit);
    QVERIFY2(Updater.exitCode() == Exit_Code, qPrintable(QString::number(Updater.exitCode()) + " " + Errors));
    if (!Reason.isEmpty())
        QVERIFY2(Errors.contains(Reason), qPrintable(Errors));
    qInfo("updater ran %lld ms", Took.elapsed());

    const QList<int> Starts{Firmware_Start, Bank1_Start, Bank2_Start};
    const QList<QByteArray> Files{F.Firmware, F.Bank1, F.Bank2};
    for (int I = 0; I < 3; ++I) {
        if (Stored.contains(Starts[I]))
            QCOMPARE(Read_File(F.Stored(Starts[I])), Files[I]);
        else
            QVERIFY2(!QFile::exists(F.Stored(Starts[I])), qPrintable(F.Stored(Starts[I])));
    }
    if (Exit_Code == 0) {
        QVERIFY(F.Simulator.waitForFinished(10000));
        const QByteArray Log = F.Simulator.readAllStandardOutput();
        QVERIFY(Log.contains("END application started"));
        // Blocks were really dropped, so the bytes above came through retries.
        QCOMPARE(Log.contains("DROP"), Simulator_Options.contains("--drop-every"));
    }
}

QTEST_MAIN(Test_End_To_End)
#include "test_end_to_end.moc"
