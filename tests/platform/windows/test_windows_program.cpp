// The Windows program as a user starts it: the window program sw40610.exe
// opens no console, its console twin sw40610.com is what cmd runs for
// "sw40610" and prints there with the command's exit code, and the modules
// are taken from the program's folder only, never from the current folder.
#include "image/Image_Fixtures.h"
#include "support/Test_Certificates.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#ifndef SW_PROGRAM_DIR
#error "the build names the folder of the program"
#endif

namespace {

// The build's program folder with its drive letter (the build names it
// without one: the drive the test starts on), so that a program started in
// another folder, on another drive, finds it too.
QString Program_Dir()
{
    static const QString Dir = QFileInfo(QStringLiteral(SW_PROGRAM_DIR)).canonicalFilePath();
    return Dir;
}

// The subsystem field of a PE image's optional header: 2 for a window
// program, 3 for a console program; -1 when it cannot be read.
int Pe_Subsystem(const QString& Path)
{
    QFile File(Path);
    if (!File.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray Head = File.read(4096);
    if (Head.size() < 0x40 || !Head.startsWith("MZ"))
        return -1;
    const auto U32 = [&](qsizetype At) { return qFromLittleEndian<quint32>(Head.constData() + At); };
    const qsizetype Pe = U32(0x3C);
    // "PE\0\0", the 20-byte file header, then the optional header with the
    // subsystem 68 bytes in.
    if (Pe + 24 + 70 > Head.size() || Head.mid(Pe, 4) != QByteArray("PE\0\0", 4))
        return -1;
    return qFromLittleEndian<quint16>(Head.constData() + Pe + 24 + 68);
}

const Test_Pki::Set& Pki()
{
    static const Test_Pki::Set Made(QDateTime::currentDateTimeUtc());
    return Made;
}

struct Run_Result {
    int Exit_Code = -1;
    QString Out;
    QString Err;
};

// The PATH a started program needs to find Qt's DLLs when it is copied out
// of the program folder (a module is never looked for there).
QProcessEnvironment With_Runtime_Path()
{
    QProcessEnvironment Env = QProcessEnvironment::systemEnvironment();
    Env.insert(QStringLiteral("PATH"), QDir::toNativeSeparators(Program_Dir()) + u';' + Env.value(QStringLiteral("PATH")));
    Env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return Env;
}

Run_Result Run(const QString& Program, const QStringList& Arguments, const QString& Working_Dir = {},
               const QProcessEnvironment& Env = QProcessEnvironment::systemEnvironment())
{
    QProcess Process;
    Process.setProcessEnvironment(Env);
    if (!Working_Dir.isEmpty())
        Process.setWorkingDirectory(Working_Dir);
    Process.start(Program, Arguments);
    Run_Result Result;
    if (!Process.waitForFinished(60000)) {
        Process.kill();
        Process.waitForFinished(5000);
        Result.Err = QStringLiteral("did not end within 60 s");
        return Result;
    }
    Result.Exit_Code = Process.exitStatus() == QProcess::NormalExit ? Process.exitCode() : -1;
    Result.Out = QString::fromLocal8Bit(Process.readAllStandardOutput());
    Result.Err = QString::fromLocal8Bit(Process.readAllStandardError());
    return Result;
}

void Write_Config(const QString& Dir, const Image_Fixtures::Project& P)
{
    if (!QDir().mkpath(Dir))
        qFatal("cannot make %s", qPrintable(Dir));
    Image_Fixtures::Write_Project(P, Dir + QStringLiteral("/ParGen.xml"), Dir + QStringLiteral("/IEC61850_Variables.xml"),
                                  Dir + QStringLiteral("/TLS_Known_Cert.xml"));
}

} // namespace

class Test_Windows_Program : public QObject {
    Q_OBJECT

    QTemporaryDir Dir;
    QString Good;   // a configuration without findings
    QString Bad;    // one with an error
    QString Secured; // TLS on: checking it reads the key and certificates
    QString Empty;  // no configuration at all

private slots:
    void initTestCase();
    void Window_Program_Opens_No_Console_data();
    void Window_Program_Opens_No_Console();
    void Commands_Print_And_Return_Their_Code_data();
    void Commands_Print_And_Return_Their_Code();
    void Cmd_Runs_The_Console_Twin();
    void Modules_Come_From_The_Program_Folder_Only_data();
    void Modules_Come_From_The_Program_Folder_Only();
};

void Test_Windows_Program::initTestCase()
{
    QVERIFY(Dir.isValid());
    Image_Fixtures::Var_Row Temp;
    Temp.Name = QStringLiteral("Temp");
    Temp.Length = QStringLiteral("4");
    Temp.StartBit.clear();

    Image_Fixtures::Project Plain;
    Plain.Has_ParGen = true;
    Plain.Has_Variables = true;
    Plain.Variables = {Temp};
    Good = Dir.filePath(QStringLiteral("Good"));
    Write_Config(Good, Plain);

    Image_Fixtures::Project Broken = Plain;
    Broken.Variables.front().Type = QStringLiteral("Quaternion");
    Bad = Dir.filePath(QStringLiteral("Bad"));
    Write_Config(Bad, Broken);

    Image_Fixtures::Project Tls = Plain;
    Tls.ParGen["TLS_Server_Enable"] = QStringLiteral("1");
    Tls.ParGen["TLS_Server_Key"] = Pki().Server_Key.Pem();
    Tls.ParGen["TLS_Server_Server_Certificate"] = Pki().Server.Pem();
    Tls.ParGen["TLS_Server_Root_Certificate"] = Pki().Root.Pem();
    Secured = Dir.filePath(QStringLiteral("Secured"));
    Write_Config(Secured, Tls);

    Empty = Dir.filePath(QStringLiteral("Empty"));
    QVERIFY(QDir().mkpath(Empty));
}

void Test_Windows_Program::Window_Program_Opens_No_Console_data()
{
    QTest::addColumn<QString>("File");
    QTest::addColumn<int>("Subsystem");
    QTest::newRow("sw40610.exe: window") << QStringLiteral("sw40610.exe") << 2;
    QTest::newRow("sw40610.com: console") << QStringLiteral("sw40610.com") << 3;
}

void Test_Windows_Program::Window_Program_Opens_No_Console()
{
    QFETCH(QString, File);
    QFETCH(int, Subsystem);
    QCOMPARE(Pe_Subsystem(QDir(Program_Dir()).filePath(File)), Subsystem);
}

// The twin and the window program run the same commands alike: a script
// that captures the window program's output gets it too.
void Test_Windows_Program::Commands_Print_And_Return_Their_Code_data()
{
    QTest::addColumn<QString>("File");
    QTest::addColumn<QStringList>("Arguments");  // "GOOD", "BAD", "EMPTY" stand for the folders
    QTest::addColumn<int>("Exit_Code");
    QTest::addColumn<QString>("Out");  // a pattern standard output matches
    QTest::addColumn<QString>("Err");  // a pattern standard error matches

    for (const QString File : {QStringLiteral("sw40610.com"), QStringLiteral("sw40610.exe")}) {
        const QByteArray Tag = File.toLatin1() + ": ";
        QTest::newRow(Tag + "--version") << File << QStringList{QStringLiteral("--version")} << 0
                                         << QStringLiteral("^SW40610 1\\.\\d+ - ") << QStringLiteral("^$");
        QTest::newRow(Tag + "check, no findings") << File << QStringList{QStringLiteral("check"), QStringLiteral("GOOD")} << 0
                                                  << QStringLiteral("^0 errors, 0 warnings\\r?\\n$") << QStringLiteral("^$");
        QTest::newRow(Tag + "check, an error") << File << QStringList{QStringLiteral("check"), QStringLiteral("BAD")} << 1
                                               << QStringLiteral("IEC61850_Variables\\.xml:\\d+:\\d+: error: .*\\n1 error, ")
                                               << QStringLiteral("^$");
        QTest::newRow(Tag + "check, no configuration") << File << QStringList{QStringLiteral("check"), QStringLiteral("EMPTY")}
                                                       << 2 << QStringLiteral("^$")
                                                       << QStringLiteral("not a configuration folder: ");
        QTest::newRow(Tag + "compile") << File << QStringList{QStringLiteral("compile"), QStringLiteral("GOOD")} << 0
                                       << QStringLiteral("^wrote .*bank1\\.bin \\(\\d+ bytes\\)\\r?\\nwrote .*bank2\\.bin")
                                       << QStringLiteral("^$");
        QTest::newRow(Tag + "wrong usage") << File << QStringList{QStringLiteral("check")} << 2 << QStringLiteral("^$")
                                           << QStringLiteral(".+");
    }
}

void Test_Windows_Program::Commands_Print_And_Return_Their_Code()
{
    QFETCH(QString, File);
    QFETCH(QStringList, Arguments);
    QFETCH(int, Exit_Code);
    QFETCH(QString, Out);
    QFETCH(QString, Err);
    Arguments.replaceInStrings(QRegularExpression(QStringLiteral("^GOOD$")), QDir::toNativeSeparators(Good));
    Arguments.replaceInStrings(QRegularExpression(QStringLiteral("^BAD$")), QDir::toNativeSeparators(Bad));
    Arguments.replaceInStrings(QRegularExpression(QStringLiteral("^EMPTY$")), QDir::toNativeSeparators(Empty));
    const Run_Result Result = Run(QDir(Program_Dir()).filePath(File), Arguments);
    const QByteArray Shown = ("exit " + QString::number(Result.Exit_Code) + "\nout: " + Result.Out + "\nerr: " + Result.Err).toLocal8Bit();
    QVERIFY2(Result.Exit_Code == Exit_Code, Shown.constData());
    QVERIFY2(QRegularExpression(Out).match(Result.Out).hasMatch(), Shown.constData());
    QVERIFY2(QRegularExpression(Err).match(Result.Err).hasMatch(), Shown.constData());
}

// Typed in cmd without an extension, "sw40610" runs the console twin (.COM
// comes before .EXE), and cmd hands on its output and exit code.
void Test_Windows_Program::Cmd_Runs_The_Console_Twin()
{
    for (const auto& [Folder, Code] : {std::pair{Good, 0}, std::pair{Bad, 1}}) {
        QProcess Cmd;
        Cmd.setWorkingDirectory(Program_Dir());
        Cmd.setProgram(QStringLiteral("cmd.exe"));
        // As typed at the prompt: cmd's own quoting, not a program's.
        Cmd.setNativeArguments(QStringLiteral("/c sw40610 check \"%1\"").arg(QDir::toNativeSeparators(Folder)));
        Cmd.start();
        QVERIFY(Cmd.waitForFinished(60000));
        const QString Out = QString::fromLocal8Bit(Cmd.readAllStandardOutput());
        const QString Err = QString::fromLocal8Bit(Cmd.readAllStandardError());
        QVERIFY2(Cmd.exitCode() == Code, qPrintable(Out + Err));
        QVERIFY2(Out.contains(QRegularExpression(QStringLiteral("\\d+ errors?, \\d+ warnings?"))), qPrintable(Out + Err));
    }
}

// A program folder without a module, started from a folder that holds one
// of the same name: the program must not take it. With the module in its
// own folder, the same start works (the control row).
void Test_Windows_Program::Modules_Come_From_The_Program_Folder_Only_data()
{
    QTest::addColumn<QString>("Module");     // the module's file
    QTest::addColumn<bool>("In_Program");     // beside the program (else only planted in the current folder)
    QTest::addColumn<QStringList>("Arguments");  // "SECURED" stands for the folder
    QTest::addColumn<int>("Exit_Code");
    QTest::addColumn<QString>("Err");

    QTest::newRow("crypto module planted") << QStringLiteral("sw40610_crypto.dll") << false
                                           << QStringList{QStringLiteral("check"), QStringLiteral("SECURED")} << 3
                                           << QStringLiteral("keys and certificates cannot be read: .*program\\\\sw40610_crypto\\.dll");
    QTest::newRow("crypto module beside") << QStringLiteral("sw40610_crypto.dll") << true
                                          << QStringList{QStringLiteral("check"), QStringLiteral("SECURED")} << 0
                                          << QStringLiteral("^$");
    QTest::newRow("window module planted") << QStringLiteral("sw40610_window.dll") << false << QStringList{} << 1
                                           << QStringLiteral("^sw40610: the window cannot be started: .*program\\\\sw40610_window\\.dll");
}

void Test_Windows_Program::Modules_Come_From_The_Program_Folder_Only()
{
    QFETCH(QString, Module);
    QFETCH(bool, In_Program);
    QFETCH(QStringList, Arguments);
    QFETCH(int, Exit_Code);
    QFETCH(QString, Err);
    QTemporaryDir Row(Dir.filePath(QStringLiteral("row-XXXXXX")));
    const QString Program = Row.filePath(QStringLiteral("program"));
    const QString Planted = Row.filePath(QStringLiteral("planted"));
    QVERIFY(QDir().mkpath(Program) && QDir().mkpath(Planted));
    QVERIFY(QFile::copy(QDir(Program_Dir()).filePath(QStringLiteral("sw40610.com")), Program + QStringLiteral("/sw40610.com")));
    const QString Built_Module = QDir(Program_Dir()).filePath(Module);
    QVERIFY(QFile::copy(Built_Module, (In_Program ? Program : Planted) + u'/' + Module));
    // The other module and OpenSSL's library, which a module finds only in
    // its own folder, stay beside the program; Qt's DLLs come from PATH.
    for (const QString Other : {QStringLiteral("sw40610_crypto.dll"), QStringLiteral("sw40610_window.dll"),
                                QStringLiteral("libcrypto-3-x64.dll")})
        if (Other != Module)
            QVERIFY(QFile::copy(QDir(Program_Dir()).filePath(Other), Program + u'/' + Other));
    Arguments.replaceInStrings(QRegularExpression(QStringLiteral("^SECURED$")), QDir::toNativeSeparators(Secured));
    const Run_Result Result = Run(Program + QStringLiteral("/sw40610.com"), Arguments, Planted, With_Runtime_Path());
    const QByteArray Shown = ("exit " + QString::number(Result.Exit_Code) + "\nout: " + Result.Out + "\nerr: " + Result.Err).toLocal8Bit();
    QVERIFY2(Result.Exit_Code == Exit_Code, Shown.constData());
    QVERIFY2(QRegularExpression(Err).match(Result.Err).hasMatch(), Shown.constData());
}

QTEST_GUILESS_MAIN(Test_Windows_Program)
#include "test_windows_program.moc"
