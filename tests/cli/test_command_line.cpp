// The command line through the real executable, started without a display:
// every command on fixture configurations, its files compared byte for byte
// with what the window's own code writes for the same configuration, every
// finding of the checks with the window's texts, and every exit code with its
// message.
#include "certificates/Certificate_Checks.h"
#include "checks/Variable_Placement.h"
#include "foundation/Lang_Strings.h"
#include "gsdml/Profinet_File_Name.h"
#include "gsdml/Profinet_XML.h"
#include "image/Configuration_Image.h"
#include "image/Image_Fixtures.h"
#include "platform/Save_File_Dialog.h"
#include "platform/Xml_File.h"
#include "project/Known_Cert_File.h"
#include "project/Par_Gen_File.h"
#include "project/Variables_File.h"
#include "foundation/Workspace.h"
#include "support/Built_Program.h"
#include "support/Fixed_Separator.h"
#include "support/Scripted_Prompter.h"
#include "support/Test_Certificates.h"
#include "support/Test_Files.h"
#include "update/Update_Parameter_File.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

#include <cerrno>
#include <memory>

using Test_Support::Read_File;
using Test_Support::Write_File;

namespace {

class Unused_Save_Dialog : public Save_File_Dialog {
public:
    std::optional<QString> Ask_Save_Path(const Save_File_Request&) override { return std::nullopt; }
};

// "FILE:LINE:COLUMN" of a list file's row (from 1), or of a general parameter's element.
QString Row_At(const QString& File, int Row)
{
    const List_File::Stored Stored = List_File::Read(File, {});
    const Xml_Place Place = Stored.Rows.value(Row - 1).Place;
    return QStringLiteral("%1:%2:%3").arg(File).arg(Place.Line).arg(Place.Column);
}
QString Element_At(const QString& File, int Element)
{
    const Xml_Place Place = Par_Gen::Stored::Read(File).Place(Element);
    return QStringLiteral("%1:%2:%3").arg(File).arg(Place.Line).arg(Place.Column);
}

struct Run_Result {
    int Exit_Code = -1;
    QString Out;
    QString Err;
};

// Keys and certificates made once for the whole run.
const Test_Pki::Set& Pki()
{
    static const Test_Pki::Set Made(QDateTime::currentDateTimeUtc());
    return Made;
}

Lang_Table English()
{
    Lang_Table Lang;
    Lang.Create_Default_Strings();
    return Lang;
}

Image_Fixtures::Project Small_Project()
{
    // One enabled variable named Temp, TLS off.
    Image_Fixtures::Project P;
    P.Has_ParGen = true;
    P.Has_Variables = true;
    Image_Fixtures::Var_Row Temp;
    Temp.Name = QStringLiteral("Temp");
    Temp.Length = QStringLiteral("4");
    Temp.StartBit.clear();
    P.Variables = {Temp};
    return P;
}

// TLS on with a key, the server certificate the root signs and a list of
// known certificates: nothing for the checks to find.
Image_Fixtures::Project Tls_Project()
{
    Image_Fixtures::Project P = Small_Project();
    P.ParGen["TLS_Server_Enable"] = QStringLiteral("1");
    P.ParGen["TLS_Server_Enable_Known_Cert"] = QStringLiteral("1");
    P.ParGen["TLS_Server_Key"] = Pki().Server_Key.Pem();
    P.ParGen["TLS_Server_Server_Certificate"] = Pki().Server.Pem();
    P.ParGen["TLS_Server_Root_Certificate"] = Pki().Root.Pem();
    // Markup characters in a value the device takes as it stands.
    P.ParGen["IEC61850_Server_Password"] = QStringLiteral("se<&\">cret");
    P.ParGen["PROFINET_NAME_STA"] = QStringLiteral("plant-7.hall-2");
    P.ParGen["PROFINET_NB_IN"] = QStringLiteral("100");
    P.ParGen["PROFINET_NB_OUT"] = QStringLiteral("20");
    P.Has_Known_Cert = true;
    P.Known_Cert = {{QStringLiteral("Y"), Pki().Unrelated.Pem(), QStringLiteral("one")},
                    {QStringLiteral("N"), Pki().Expired.Pem(), QStringLiteral("off")},
                    {QStringLiteral("Y"), Pki().Root.Pem(), QStringLiteral("three")}};
    Image_Fixtures::Var_Row Factor;
    Factor.Name = QStringLiteral("Half");
    Factor.Type = QStringLiteral("Float");
    Factor.Length = QStringLiteral("4");
    Factor.Position = QStringLiteral("8");
    Factor.StartBit.clear();
    Factor.MultiplicationFactor = QStringLiteral("0,5");
    P.Variables.append(Factor);
    return P;
}

// The largest configuration with real material of the same kind in place of
// its placeholder texts (an encrypted key, ten different known certificates)
// and no Start Bit on a variable that is not digital.
Image_Fixtures::Project Largest_Clean_Project()
{
    Image_Fixtures::Project P = Image_Fixtures::Largest_Project();
    const QString Password = P.ParGen.value(QStringLiteral("TLS_Server_Key_Password"));
    P.ParGen["TLS_Server_Key"] = Pki().Server_Key.Encrypted_Pem(Password);
    P.ParGen["TLS_Server_Server_Certificate"] = Pki().Server.Pem();
    P.ParGen["TLS_Server_Root_Certificate"] = Pki().Root.Pem();
    for (int I = 0; I < P.Known_Cert.size(); ++I)
        P.Known_Cert[I].Certificate =
            Test_Pki::Make_Certificate({QStringLiteral("client-%1").arg(I), QStringLiteral("Test Plant"), &Pki().Other_Key,
                                        &Pki().Root, &Pki().Root_Key, Pki().Now.addDays(-1), Pki().Now.addYears(1),
                                        false, 100 + I})
                .Pem();
    for (Image_Fixtures::Var_Row& Row : P.Variables)
        if (Row.Type != QLatin1String("Digital (Bit)"))
            Row.StartBit.clear();
    return P;
}

} // namespace

class Test_Command_Line : public QObject {
    Q_OBJECT

    QTemporaryDir Dir;
    // A program folder of its own: the executable, its settings and language files.
    QString Exe_Dir;
    QString Program;

    // Set for one test: a shell command run before the program (a limit), and
    // how long the program may take before it is killed.
    QString Shell_Before;
    int Time_Out_Ms = 60000;

    Run_Result Run(const QStringList& Arguments, const QString& Platform = QStringLiteral("xcb"))
    {
        QProcess Process;
        QProcessEnvironment Env = QProcessEnvironment::systemEnvironment();
        // No display of any kind: a windowing plugin would fail to start.
        Env.remove(QStringLiteral("DISPLAY"));
        Env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        if (Platform.isEmpty())
            Env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        else
            Env.insert(QStringLiteral("QT_QPA_PLATFORM"), Platform);
        Env.insert(QStringLiteral("QT_DEBUG_PLUGINS"), QStringLiteral("1"));
        Process.setProcessEnvironment(Env);
        Process.setWorkingDirectory(Dir.path());
        if (Shell_Before.isEmpty())
            Process.start(Program, Arguments);
        else
            Process.start(QStringLiteral("/bin/sh"),
                          QStringList{"-c", Shell_Before + QStringLiteral(" && exec \"$0\" \"$@\""), Program} + Arguments);
        Run_Result Result;
        if (!Process.waitForFinished(Time_Out_Ms)) {
            // Killed, so that a hanging command fails its test instead of the run.
            Process.kill();
            Process.waitForFinished();
            Result.Err = QStringLiteral("(killed after %1 ms)").arg(Time_Out_Ms);
            return Result;
        }
        Result.Exit_Code = Process.exitStatus() == QProcess::NormalExit ? Process.exitCode() : -1;
        Result.Out = QString::fromUtf8(Process.readAllStandardOutput());
        Result.Err = QString::fromUtf8(Process.readAllStandardError());
#ifdef Q_OS_WIN
        // A console program's lines end in CR LF on Windows, and it shows
        // paths with the system's separators; the expectations here are
        // written with '/' (nothing else in this output has a backslash; in
        // JSON a backslash is written doubled).
        Result.Out.replace(QStringLiteral("\\\\"), QStringLiteral("/"));
        Result.Out = QDir::fromNativeSeparators(Result.Out.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        Result.Err = QDir::fromNativeSeparators(Result.Err.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
#endif
        // Plugin diagnostics are not the program's messages; they only prove
        // that no windowing plugin was looked for. Nor are those of the crypto
        // module's loading.
        QStringList Own;
        for (const QString& Line : Result.Err.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            if (!Line.contains(QLatin1String("qt.core.plugin")) && !Line.contains(QLatin1String("QFactoryLoader"))
                && !Line.startsWith(QLatin1String("Got keys")) && !Line.startsWith(QLatin1String("Checking "))
                && !Line.contains(QLatin1String("qt.core.library")) && !Line.endsWith(QLatin1String("unloaded library (faked)")))
                Own.append(Line);
        if (Result.Err.contains(QLatin1String("platforms")))
            qFatal("a windowing plugin was looked for:\n%s", qPrintable(Result.Err));
        Result.Err = Own.isEmpty() ? QString() : Own.join(QLatin1Char('\n')) + QLatin1Char('\n');
        return Result;
    }

    // A configuration folder (with its bin folder) holding the project's files.
    QString Make_Configuration(const QString& Name, const Image_Fixtures::Project& P)
    {
        const QString Path = Dir.path() + "/configs/" + Name;
        if (QFileInfo(Path).isDir())
            QDir(Path).removeRecursively();
        else
            QFile::remove(Path);
        if (!QDir().mkpath(Path + "/bin"))
            qFatal("cannot make %s", qPrintable(Path));
        Image_Fixtures::Write_Project(P, Path + "/ParGen.xml", Path + "/IEC61850_Variables.xml",
                                      Path + "/TLS_Known_Cert.xml");
        return Path;
    }

    // The workspace the window would have with this configuration open.
    std::unique_ptr<Workspace> Window_Space(const QString& Config)
    {
        auto Space = std::make_unique<Workspace>(Exe_Dir);
        Space->Set_Identity();
        Space->Init_Language();
        Space->Project_Dir = Config;
        Space->Project_Name = QFileInfo(Config).fileName();
        Space->Set_Files();
        return Space;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(Dir.isValid());
        Exe_Dir = Dir.path() + "/prog";
        // Keys and certificates are read by the module beside the program.
        Program = Test_Support::Copy_Built_Program(Exe_Dir, true);
        QVERIFY(!Program.isEmpty());
    }

    void compile_writes_the_banks_the_window_writes_data()
    {
        QTest::addColumn<Image_Fixtures::Project>("Project");
        QTest::addColumn<QStringList>("Extra");
        QTest::addColumn<QString>("Platform");
        Image_Fixtures::Project Only_General;
        Only_General.Has_ParGen = true;
        QTest::newRow("only the general parameters") << Only_General << QStringList() << QString();
        QTest::newRow("one variable") << Small_Project() << QStringList() << QStringLiteral("xcb");
        QTest::newRow("tls and known certificates")
            << Tls_Project() << QStringList{"--decimal-separator", "."} << QStringLiteral("xcb");
        QTest::newRow("largest") << Largest_Clean_Project() << QStringList{"--decimal-separator", ","}
                                 << QStringLiteral("offscreen");
    }

    void compile_writes_the_banks_the_window_writes()
    {
        QFETCH(Image_Fixtures::Project, Project);
        QFETCH(QStringList, Extra);
        QFETCH(QString, Platform);
        const QString Config = Make_Configuration(QStringLiteral("Compiled"), Project);

        const Run_Result R = Run(QStringList{"compile", Config} + Extra, Platform);
        QCOMPARE(R.Err, QString());
        QCOMPARE(R.Exit_Code, 0);
        const QByteArray Bank1 = Read_File(Config + "/bin/bank1.bin");
        const QByteArray Bank2 = Read_File(Config + "/bin/bank2.bin");
        QCOMPARE(R.Out, QStringLiteral("wrote %1/bin/bank1.bin (2048 bytes)\nwrote %1/bin/bank2.bin (%2 bytes)\n")
                            .arg(Config)
                            .arg(Bank2.size()));

        // The window's step: compile and save through the same core code.
        const auto Space = Window_Space(Config);
        Fixed_Separator Separator(Extra.isEmpty() ? QStringLiteral(",") : Extra.last());
        Configuration_Image Image(*Space, &Separator);
        QVERIFY(Compile_And_Save_Banks(Image, *Space));
        QCOMPARE(Bank1, Read_File(Config + "/bin/bank1.bin"));
        QCOMPARE(Bank2, Read_File(Config + "/bin/bank2.bin"));
        QCOMPARE(Bank1.size(), 2048);
    }

    void compile_is_quiet_with_q()
    {
        const QString Config = Make_Configuration(QStringLiteral("Quiet"), Small_Project());
        const Run_Result R = Run({"-q", "compile", Config});
        QCOMPARE(R.Exit_Code, 0);
        QCOMPARE(R.Out, QString());
        QCOMPARE(R.Err, QString());
        QCOMPARE(QFileInfo(Config + "/bin/bank1.bin").size(), 2048);
    }

    void gsdml_writes_the_description_the_window_writes()
    {
        const QString Config = Make_Configuration(QStringLiteral("Described"), Tls_Project());
        const QDate Before = QDate::currentDate();
        const Run_Result R = Run({"gsdml", Config});
        QCOMPARE(R.Err, QString());
        QCOMPARE(R.Exit_Code, 0);
        // The default name has an empty user part and today's date.
        QString Name = Compose_Profinet_File_Name(Profinet_File_Name_Fix1, {}, Profinet_File_Name_Fix2(Before));
        if (!QFileInfo::exists(Config + "/" + Name))
            Name = Compose_Profinet_File_Name(Profinet_File_Name_Fix1, {},
                                              Profinet_File_Name_Fix2(QDate::currentDate()));
        const QByteArray Written = Read_File(Config + "/" + Name);
        QCOMPARE(R.Out, QStringLiteral("wrote %1/%2 (%3 bytes)\n").arg(Config, Name).arg(Written.size()));

        const auto Space = Window_Space(Config);
        Profinet_XML Generator(*Space);
        QVERIFY(Generator.Create_Profinet_XML(Dir.path() + "/window.xml").has_value());
        QCOMPARE(Written, Read_File(Dir.path() + "/window.xml"));
        QVERIFY(Written.contains("Length=\"20\" TextId=\"IDT_Input_1\""));

        // -o names the file; a relative name is taken from the working folder.
        const Run_Result Named = Run({"gsdml", Config, "-o", "named.xml", "-q"});
        QCOMPARE(Named.Exit_Code, 0);
        QCOMPARE(Named.Out, QString());
        QCOMPARE(Read_File(Dir.path() + "/named.xml"), Written);
    }

    void update_file_writes_the_window_s_parameter_file_data()
    {
        QTest::addColumn<QStringList>("Options");
        QTest::addColumn<int>("Option_Index");
        QTest::addColumn<bool>("Read_Back");
        QTest::newRow("default") << QStringList() << 0 << true;
        QTest::newRow("firmware") << QStringList{"--option", "firmware"} << 1 << true;
        QTest::newRow("configuration, no read-back")
            << QStringList{"--option", "configuration", "--no-read-back"} << 2 << false;
        QTest::newRow("firmware+configuration")
            << QStringList{"--option=firmware+configuration", "--no-read-back"} << 0 << false;
    }

    void update_file_writes_the_window_s_parameter_file()
    {
        QFETCH(QStringList, Options);
        QFETCH(int, Option_Index);
        QFETCH(bool, Read_Back);
        const QString Config = Make_Configuration(QStringLiteral("Updated"), Small_Project());
        const QString Beside_Program = Exe_Dir + "/Ethernet_Update.xml";
        QFile::remove(Beside_Program);

        // Leading zeros and blanks around the argument are dropped: the file gets the plain form.
        const Run_Result R = Run(QStringList{"update-file", Config, "--device", " 127.000.0.01"} + Options);
        QCOMPARE(R.Err, QString());
        QCOMPARE(R.Exit_Code, 0);
        const QByteArray Written = Read_File(Beside_Program);
        QCOMPARE(R.Out, QStringLiteral("wrote %1 (%2 bytes)\n").arg(Beside_Program).arg(Written.size()));

        // What the update dialog writes for the same choice.
        Xml_File Expected;
        Build_Update_Parameters(Expected, {QStringLiteral("127.0.0.1"), Option_Index, Read_Back},
                                {Exe_Dir + "/MASTER", Config});
        QCOMPARE(Written, Expected.To_Bytes());

        const Run_Result Named =
            Run(QStringList{"update-file", Config, "--device", "127.0.0.1", "-o", Dir.path() + "/u.xml"} + Options);
        QCOMPARE(Named.Exit_Code, 0);
        QCOMPARE(Read_File(Dir.path() + "/u.xml"), Written);
    }

    void wrong_usage_ends_with_2_data()
    {
        QTest::addColumn<QStringList>("Arguments");
        QTest::addColumn<QString>("Message");
        QTest::newRow("unknown command") << QStringList{"build", "x"} << "unknown command 'build'";
        QTest::newRow("no folder") << QStringList{"compile"} << "compile: no configuration folder given";
        QTest::newRow("no command") << QStringList{"-q"} << "no command given";
        QTest::newRow("two folders") << QStringList{"check", "a", "b"} << "check: unexpected argument 'b'";
        QTest::newRow("unknown option") << QStringList{"compile", "x", "--fast"} << "Unknown option 'fast'.";
        QTest::newRow("json for compile") << QStringList{"compile", "x", "--json"}
                                          << "compile: option --json does not apply";
        QTest::newRow("device for gsdml") << QStringList{"gsdml", "x", "--device", "1.2.3.4"}
                                          << "gsdml: option --device does not apply";
        QTest::newRow("no device") << QStringList{"update-file", "x"} << "update-file: --device ADDRESS is required";
        QTest::newRow("bad device") << QStringList{"update-file", "x", "--device", "10.0.0.256"}
                                    << "update-file: '10.0.0.256' is not an IPv4 address (four numbers 0 to 255)";
        QTest::newRow("host name") << QStringList{"update-file", "x", "--device", "gateway.local"}
                                   << "update-file: 'gateway.local' is not an IPv4 address (four numbers 0 to 255)";
        QTest::newRow("hexadecimal device") << QStringList{"update-file", "x", "--device", "0x7F.0.0.1"}
                                            << "update-file: '0x7F.0.0.1' is not an IPv4 address (four numbers 0 to 255)";
        QTest::newRow("blank inside device") << QStringList{"update-file", "x", "--device", "127.0. 0.1"}
                                             << "update-file: '127.0. 0.1' is not an IPv4 address (four numbers 0 to 255)";
        QTest::newRow("bad option") << QStringList{"update-file", "x", "--device", "1.2.3.4", "--option", "all"}
                                    << "update-file: --option must be one of firmware+configuration, firmware, "
                                       "configuration";
        QTest::newRow("bad separator") << QStringList{"compile", "x", "--decimal-separator", ";"}
                                       << "--decimal-separator must be '.' or ','";
        QTest::newRow("empty output") << QStringList{"gsdml", "x", "-o", ""} << "option --output needs a file name";
    }

    void wrong_usage_ends_with_2()
    {
        QFETCH(QStringList, Arguments);
        QFETCH(QString, Message);
        const Run_Result R = Run(Arguments);
        QCOMPARE(R.Exit_Code, 2);
        QCOMPARE(R.Out, QString());
        QCOMPARE(R.Err, QStringLiteral("sw40610: %1\nTry 'sw40610 --help'.\n").arg(Message));
    }

    void help_and_version_need_no_display()
    {
        const Run_Result Help = Run({"--help"}, QString());
        QCOMPARE(Help.Exit_Code, 0);
        for (const char* Text : {"compile CONFIG_DIR", "gsdml CONFIG_DIR [-o FILE]", "check CONFIG_DIR [--json]",
                                 "update-file CONFIG_DIR --device ADDRESS", "--decimal-separator . | ,",
                                 "0  done", "1  the configuration has errors", "2  wrong usage",
                                 "3  a file could not be read or written"})
            QVERIFY2(Help.Out.contains(QLatin1StringView(Text)), Text);
        const Run_Result Version = Run({"--version"});
        QCOMPARE(Version.Exit_Code, 0);
        QCOMPARE(Version.Out, QStringLiteral("SW40610 1.000 - IEC61850 Server / PROFINET - Converter\n"));
    }

    void a_malformed_file_ends_with_1_and_writes_nothing_data()
    {
        QTest::addColumn<QString>("File");
        QTest::addColumn<QStringList>("Command");
        QTest::newRow("compile, general parameters") << "ParGen.xml" << QStringList{"compile"};
        QTest::newRow("compile, variables") << "IEC61850_Variables.xml" << QStringList{"compile"};
        QTest::newRow("compile, certificates") << "TLS_Known_Cert.xml" << QStringList{"compile"};
        QTest::newRow("gsdml") << "ParGen.xml" << QStringList{"gsdml", "-o", "old.xml"};
    }

    void a_malformed_file_ends_with_1_and_writes_nothing()
    {
        QFETCH(QString, File);
        QFETCH(QStringList, Command);
        const QString Config = Make_Configuration(QStringLiteral("Malformed"), Tls_Project());
        Write_File(Config + "/" + File, "<root>\n  <row Enable=\"Y\">\n</root>\n");
        Write_File(Config + "/bin/bank1.bin", "old bank 1");
        Write_File(Config + "/bin/bank2.bin", "old bank 2");
        Write_File(Dir.path() + "/old.xml", "old description");

        const Run_Result R = Run(QStringList{Command.first(), Config} + Command.mid(1));
        QCOMPARE(R.Exit_Code, 1);
        QCOMPARE(R.Out, QString());
        QVERIFY2(R.Err.contains(File + " (line 3, column 7): "), qPrintable(R.Err));
        QCOMPARE(Read_File(Config + "/bin/bank1.bin"), QByteArray("old bank 1"));
        QCOMPARE(Read_File(Config + "/bin/bank2.bin"), QByteArray("old bank 2"));
        QCOMPARE(Read_File(Dir.path() + "/old.xml"), QByteArray("old description"));
    }

    void a_file_that_cannot_be_written_ends_with_3()
    {
        // As root permission bits stop nothing: a file stands where the bin folder should be.
        const QString Config = Make_Configuration(QStringLiteral("Blocked"), Small_Project());
        QVERIFY(QDir(Config + "/bin").removeRecursively());
        Write_File(Config + "/bin", "not a folder");
        const Run_Result R = Run({"compile", Config});
        QCOMPARE(R.Exit_Code, 3);
        QCOMPARE(R.Out, QString());
        QCOMPARE(R.Err,
                 QStringLiteral("sw40610: Error! The bank files could not be written: %1/bin/bank1.bin: Not a directory\n")
                     .arg(Config));
        QCOMPARE(Read_File(Config + "/bin"), QByteArray("not a folder"));

        // Bank 2 cannot be replaced (a folder stands in its place): the old bank 1 stays.
        QVERIFY(QFile::remove(Config + "/bin"));
        QVERIFY(QDir().mkpath(Config + "/bin/bank2.bin"));
        Write_File(Config + "/bin/bank1.bin", "old bank 1");
        const Run_Result Half = Run({"compile", Config});
        QCOMPARE(Half.Exit_Code, 3);
        QVERIFY2(Half.Err.startsWith(
                     QStringLiteral("sw40610: Error! The bank files could not be written: %1/bin/bank2.bin: ").arg(Config)),
                 qPrintable(Half.Err));
        QCOMPARE(Read_File(Config + "/bin/bank1.bin"), QByteArray("old bank 1"));

        const Run_Result Gsdml = Run({"gsdml", Config, "-o", Config + "/missing/folder/x.xml"});
        QCOMPARE(Gsdml.Exit_Code, 3);
        QVERIFY2(Gsdml.Err.startsWith(QStringLiteral("sw40610: %1/missing/folder/x.xml: ").arg(Config)),
                 qPrintable(Gsdml.Err));
        QVERIFY(!QFileInfo::exists(Config + "/missing"));
    }

    void a_file_that_cannot_be_read_ends_with_3_data()
    {
        QTest::addColumn<QString>("Blocked");
        QTest::addColumn<QString>("Reason");
        QTest::newRow("missing folder") << QString() << "No such file or directory";
        QTest::newRow("folder is a file") << QStringLiteral(".") << "Not a directory";
        QTest::newRow("general parameters are a folder") << QStringLiteral("ParGen.xml") << "not a regular file but a folder";
        QTest::newRow("variables are a dangling link")
            << QStringLiteral("IEC61850_Variables.xml") << "No such file or directory";
    }

    void a_file_that_cannot_be_read_ends_with_3()
    {
        QFETCH(QString, Blocked);
        QFETCH(QString, Reason);
        QString Config = Make_Configuration(QStringLiteral("Unreadable"), Small_Project());
        QString Path = Config;
        if (Blocked.isEmpty()) {
            Path = Config = Dir.path() + "/configs/none";
        } else if (Blocked == QLatin1String(".")) {
            QVERIFY(QDir(Config).removeRecursively());
            Write_File(Config, "a file");
        } else if (Blocked == QLatin1String("ParGen.xml")) {
            Path = Config + "/" + Blocked;
            QVERIFY(QFile::remove(Path));
            QVERIFY(QDir().mkpath(Path));
        } else {
#ifdef Q_OS_WIN
            QSKIP("QFile::link makes a shortcut (.lnk) on Windows, not a link that the file system follows");
#endif
            Path = Config + "/" + Blocked;
            QVERIFY(QFile::remove(Path));
            QVERIFY(QFile::link(Dir.path() + "/nowhere.xml", Path));
        }
        for (const QStringList& Command :
             {QStringList{"compile", Config}, QStringList{"check", Config}, QStringList{"gsdml", Config}}) {
            const Run_Result R = Run(Command);
            QCOMPARE(R.Exit_Code, 3);
            QCOMPARE(R.Out, QString());
            QCOMPARE(R.Err, QStringLiteral("sw40610: %1: %2\n").arg(Path, Reason));
        }
        QVERIFY(!QFileInfo::exists(Config + "/bin/bank1.bin"));
    }

    void configuration_errors_end_with_1_and_write_nothing()
    {
        Image_Fixtures::Project P = Small_Project();
        P.ParGen["IEC61850_Server_Port"] = QStringLiteral("10000");
        P.Variables[0].Length = QStringLiteral("9");
        const QString Config = Make_Configuration(QStringLiteral("Invalid"), P);
        Write_File(Config + "/bin/bank1.bin", "old bank 1");

        const Run_Result R = Run({"compile", Config});
        QCOMPARE(R.Exit_Code, 1);
        QCOMPARE(R.Out, QString());
        QVERIFY2(R.Err.contains(Element_At(Config + "/ParGen.xml", Par_Gen::IEC61850_Server_Port)
                                + QStringLiteral(": error: Error IEC61850 Server!! Port must be between 0 "
                                                 "and 65535, and different from 10000\n")),
                 qPrintable(R.Err));
        QVERIFY2(R.Err.contains(QStringLiteral(": error: Error row 1!! Length must be between 1 and 4\n")), qPrintable(R.Err));
        QVERIFY2(R.Err.endsWith(QStringLiteral("sw40610: Nothing was written: the configuration has errors\n")),
                 qPrintable(R.Err));
        QCOMPARE(Read_File(Config + "/bin/bank1.bin"), QByteArray("old bank 1"));
        QVERIFY(!QFileInfo::exists(Config + "/bin/bank2.bin"));
    }

    void compile_checks_what_it_compiles_under_its_lock()
    {
        // The files change while compile waits for another compile of the
        // same configuration: the banks come from what was checked, and what
        // is checked is what the files hold once the lock is taken.
        const QString Config = Make_Configuration(QStringLiteral("Locked"), Small_Project());
        Write_File(Config + "/bin/bank1.bin", "old bank 1");
        auto Held = std::make_unique<QLockFile>(Compile_Lock_Path(Config));
        QVERIFY(Held->tryLock(0));

        QProcess Compile;
        QProcessEnvironment Env = QProcessEnvironment::systemEnvironment();
        Env.remove(QStringLiteral("DISPLAY"));
        Compile.setProcessEnvironment(Env);
        Compile.start(Program, {"compile", Config});
        QVERIFY(Compile.waitForStarted());
        // Long enough for the command to reach the lock (it waits up to 10 s there).
        QTest::qWait(1500);
        QCOMPARE(Compile.state(), QProcess::Running);
        Image_Fixtures::Project Broken = Small_Project();
        Broken.ParGen["IEC61850_Server_Port"] = QStringLiteral("10000");
        Image_Fixtures::Write_Project(Broken, Config + "/ParGen.xml", Config + "/IEC61850_Variables.xml",
                                      Config + "/TLS_Known_Cert.xml");
        Held.reset();

        QVERIFY(Compile.waitForFinished(30000));
        const QString Err = QString::fromUtf8(Compile.readAllStandardError());
        QCOMPARE(Compile.exitCode(), 1);
        QVERIFY2(Err.contains(QStringLiteral("Port must be between 0 and 65535")), qPrintable(Err));
        QCOMPARE(Read_File(Config + "/bin/bank1.bin"), QByteArray("old bank 1"));
        QVERIFY(!QFileInfo::exists(Config + "/bin/bank2.bin"));
    }

    void check_lists_every_error_and_every_warning()
    {
        const Test_Pki::Set& K = Pki();
        Image_Fixtures::Project P = Small_Project();
        // General parameters: four wrong values; the diagnostic address is not
        // judged against output bytes that are wrong themselves.
        P.ParGen["IEC61850_Server_Port"] = QStringLiteral("10000");
        P.ParGen["PROFINET_IP2"] = QStringLiteral("256");
        P.ParGen["PROFINET_PORT"] = QStringLiteral("5000");
        P.ParGen["PROFINET_NB_OUT"] = QStringLiteral("2000");
        P.ParGen["PROFINET_ENABLE_DIAGNOSTIC"] = QStringLiteral("1");
        P.ParGen["PROFINET_DIAGNOSTIC_ADDRESS"] = QStringLiteral("5");
        // TLS: a certificate in the key box, a key in the server certificate's
        // box, a root certificate not valid yet.
        P.ParGen["TLS_Server_Enable"] = QStringLiteral("1");
        P.ParGen["TLS_Server_Key"] = K.Root.Pem();
        P.ParGen["TLS_Server_Server_Certificate"] = K.Other_Key.Pem();
        P.ParGen["TLS_Server_Root_Certificate"] = K.Future.Pem();
        // Variables: two errors in one row, errors in three more rows (one
        // after the first unnamed row), a disabled row that is not checked;
        // past the end, an overlap and a Float of two bytes.
        const auto Var = [](const char* Name, const char* Type, const char* Length, const char* Position) {
            Image_Fixtures::Var_Row Row;
            Row.Name = QString::fromLatin1(Name);
            Row.Type = QString::fromLatin1(Type);
            Row.Length = QString::fromLatin1(Length);
            Row.Position = QString::fromLatin1(Position);
            Row.StartBit.clear();
            return Row;
        };
        P.Variables = {Var("Wide", "Int", "9", "1438"), Var("Flag", "Digital (Bit)", "1", "10"),
                       Var("Off", "Int", "0", "-1"),    Var("Scaled", "Int", "2", "20"),
                       Var("A", "Int", "4", "30"),      Var("B", "Int", "4", "32"),
                       Var("Short", "Float", "2", "40"), Var("", "Int", "1", "50"),
                       Var("After", "Int", "0", "-1")};
        P.Variables[2].Enable = QStringLiteral("N");
        P.Variables[3].Conversion.clear();
        P.Variables[3].MultiplicationFactor = QStringLiteral("abc");
        // Known certificates: a key, a text that is no certificate, one
        // certificate twice, an expired one.
        P.Has_Known_Cert = true;
        P.Known_Cert = {{QStringLiteral("Y"), K.Other_Key.Pem(), QStringLiteral("key")},
                        {QStringLiteral("Y"), QStringLiteral("not a certificate"), QStringLiteral("junk")},
                        {QStringLiteral("Y"), K.Unrelated.Pem(), QStringLiteral("first")},
                        {QStringLiteral("N"), K.Unrelated.Pem(), QStringLiteral("again")},
                        {QStringLiteral("Y"), K.Expired.Pem(), QStringLiteral("old")}};
        const QString Config = Make_Configuration(QStringLiteral("Faulty"), P);

        const Run_Result Lines = Run({"check", Config});
        const Run_Result Json = Run({"check", Config, "--json"});
        const QDateTime Now = QDateTime::currentDateTimeUtc();

        // What the windows show for the same values, one finding each.
        struct Expected {
            QString File;
            QList<int> Rows;
            QString Severity;
            QString Text;
            int Element = -1;  // of the general parameters
        };
        const Lang_Table L = English();
        const QString ParGen = Config + "/ParGen.xml";
        const QString Variables = Config + "/IEC61850_Variables.xml";
        const QString Known = Config + "/TLS_Known_Cert.xml";
        const QString Error = QStringLiteral("error");
        const QString Warning = QStringLiteral("warning");
        const auto Row_Text = [&](int Row, int Slot) { return L[929] + QString::number(Row) + L[Slot]; };
        using Placement = Variable_Placement::Finding_Kind;
        const auto Placed = [&](Placement Kind, QList<int> Rows, qint64 First, qint64 Last, qint64 Length) {
            return Variable_Placement::Finding_Text({Kind, Rows, First, Last, -1, Length}, L);
        };
        QList<Expected> Want = {
            {ParGen, {}, Error, L[437], Par_Gen::IEC61850_Server_Port},
            {ParGen, {}, Error, L[561], Par_Gen::PROFINET_IP2},
            {ParGen, {}, Error, L[572], Par_Gen::PROFINET_PORT},
            {ParGen, {}, Error, L[574] + "1438", Par_Gen::PROFINET_NB_OUT},
        };
        using namespace Certificates;
        const QList<Finding> Server =
            Check_Server({true, K.Root.Pem(), {}, K.Other_Key.Pem(), K.Future.Pem(), false}, {}, Now, L);
        QList<Problem> Server_Problems;
        for (const Finding& F : Server) {
            Server_Problems.append(F.What);
            const int Element = F.Where == Place::Key                  ? Par_Gen::TLS_Server_Key
                                : F.Where == Place::Server_Certificate ? Par_Gen::TLS_Server_Server_Certificate
                                                                       : Par_Gen::TLS_Server_Root_Certificate;
            Want.append({ParGen, {}, F.Level == Severity::Blocking ? Error : Warning, F.Text, Element});
        }
        QCOMPARE(Server_Problems, (QList<Problem>{Problem::No_Private_Key, Problem::Key_In_Certificate_Box,
                                                  Problem::Not_Yet_Valid}));
        Want += QList<Expected>{
            {Variables, {1}, Error, Row_Text(1, 941)},
            {Variables, {1}, Error, Row_Text(1, 930) + "1437"},
            {Variables, {2}, Error, Row_Text(2, 938)},
            {Variables, {4}, Error, Row_Text(4, 939)},
            {Variables, {4}, Error, Row_Text(4, 940)},
            // The compiler sends the rows past the one without a name too.
            {Variables, {9}, Error, Row_Text(9, 941)},
            {Variables, {9}, Error, Row_Text(9, 930) + "1437"},
        };
        for (const Variable_Placement::Finding& F :
             {Variable_Placement::Finding{Placement::Past_End, {1}, 1438, 1446, -1, 9},
              Variable_Placement::Finding{Placement::Byte_Overlap, {5, 6}, 32, 33, -1, 0},
              Variable_Placement::Finding{Placement::Float_Length, {7}, 40, 41, -1, 2}})
            Want.append({Variables, F.Rows, Warning, Placed(F.Kind, F.Rows, F.First, F.Last, F.Length)});
        QList<Known_Certificate> Rows;
        for (const Image_Fixtures::Cert_Row& Row : P.Known_Cert)
            Rows.append({Row.Enable == QLatin1String("Y"), Row.Certificate, Row.Mnemonic});
        QList<std::pair<Problem, int>> List_Problems;
        for (const Finding& F : Check_Known_List(Rows, false, Now, L)) {
            List_Problems.append({F.What, F.Row});
            Want.append({Known, {F.Row}, F.Level == Severity::Blocking ? Error : Warning, F.Text});
        }
        QCOMPARE(List_Problems, (QList<std::pair<Problem, int>>{{Problem::Key_In_List, 1},
                                                                {Problem::Not_Single_Certificate, 2},
                                                                {Problem::Listed_Twice, 4},
                                                                {Problem::Expired, 5}}));

        // As lines, each with the line and column of its element, then the count.
        qsizetype Errors = 0;
        QString Out;
        for (const Expected& E : Want) {
            Errors += E.Severity == Error ? 1 : 0;
            const QString Place = E.Element >= 0 ? Element_At(E.File, E.Element) : Row_At(E.File, E.Rows.first());
            Out += Place + ": " + E.Severity + ": " + E.Text + '\n';
        }
        Out += L[1142].arg(Errors).arg(Want.size() - Errors) + '\n';
        QCOMPARE(Lines.Exit_Code, 1);
        QCOMPARE(Lines.Err, QString());
        QCOMPARE(Lines.Out.split(QLatin1Char('\n')), Out.split(QLatin1Char('\n')));

        // As one JSON document: the same findings in the same order.
        QCOMPARE(Json.Exit_Code, 1);
        QCOMPARE(Json.Err, QString());
        QJsonParseError Parse_Error;
        const QJsonObject Root = QJsonDocument::fromJson(Json.Out.toUtf8(), &Parse_Error).object();
        QCOMPARE(Parse_Error.error, QJsonParseError::NoError);
        QCOMPARE(Root.value("configuration").toString(), Config);
        QCOMPARE(Root.value("errors").toInt(), Errors);
        QCOMPARE(Root.value("warnings").toInt(), Want.size() - Errors);
        const QJsonArray Items = Root.value("findings").toArray();
        QCOMPARE(Items.size(), Want.size());
        for (qsizetype I = 0; I < Items.size(); ++I) {
            const QJsonObject Item = Items.at(I).toObject();
            const Expected& E = Want.at(I);
            QCOMPARE(Item.value("file").toString(), E.File);
            QCOMPARE(Item.value("row").toInt(), E.Rows.value(0));
            QCOMPARE(QStringLiteral("%1:%2:%3")
                         .arg(E.File)
                         .arg(Item.value("line").toInt())
                         .arg(Item.value("column").toInt()),
                     E.Element >= 0 ? Element_At(E.File, E.Element) : Row_At(E.File, E.Rows.first()));
            QList<int> Item_Rows;
            for (const QJsonValue Row : Item.value("rows").toArray())
                Item_Rows.append(Row.toInt());
            QCOMPARE(Item_Rows, E.Rows);
            QCOMPARE(Item.value("severity").toString(), E.Severity);
            QCOMPARE(Item.value("text").toString(), E.Text);
        }

        const QString Clean = Make_Configuration(QStringLiteral("Clean"), Tls_Project());
        const Run_Result Ok = Run({"check", Clean, "--json"});
        QCOMPARE(Ok.Exit_Code, 0);
        QCOMPARE(QJsonDocument::fromJson(Ok.Out.toUtf8()).object().value("findings").toArray().size(), 0);
        const Run_Result Summary = Run({"check", Clean});
        QCOMPARE(Summary.Exit_Code, 0);
        QCOMPARE(Summary.Out, QStringLiteral("0 errors, 0 warnings\n"));
    }

    void check_reports_the_known_list_only_with_tls_rules_data()
    {
        // The server's material is checked only with TLS enabled; the list
        // whenever it has rows: up to the first without a certificate, and
        // every later row the compiler sends. "@N" is the place of row N, "#N"
        // that of the general parameter N.
        QTest::addColumn<bool>("Tls");
        QTest::addColumn<QStringList>("Rows");  // certificate of each row: key, cert, empty
        QTest::addColumn<QStringList>("Lines");
        QTest::newRow("TLS off, a key in the list")
            << false << QStringList{"cert", "key"}
            << QStringList{"TLS_Known_Cert.xml@2: error: Row 2: holds a private key; only certificates may be listed"};
        QTest::newRow("TLS off, empty list, wrong key box") << false << QStringList() << QStringList();
        QTest::newRow("disabled rows after an empty one are not sent")
            << false << QStringList{"cert", "empty off", "key off"} << QStringList();
        QTest::newRow("a key after an empty row is sent")
            << false << QStringList{"cert", "empty off", "key"}
            << QStringList{"TLS_Known_Cert.xml@3: error: Row 3: holds a private key; only certificates may be listed"};
        QTest::newRow("TLS on, only known certificates, none enabled")
            << true << QStringList{"off"}
            << QStringList{"ParGen.xml#7: warning: \"Enable Only Known Certificates\" is checked, but no certificate "
                           "of the list of known certificates is enabled"};
    }

    void check_reports_the_known_list_only_with_tls_rules()
    {
        QFETCH(bool, Tls);
        QFETCH(QStringList, Rows);
        QFETCH(QStringList, Lines);
        Image_Fixtures::Project P = Small_Project();
        P.ParGen["TLS_Server_Enable"] = Tls ? QStringLiteral("1") : QStringLiteral("0");
        P.ParGen["TLS_Server_Enable_Known_Cert"] = QStringLiteral("1");
        P.ParGen["TLS_Server_Key"] = Tls ? Pki().Server_Key.Pem() : QStringLiteral("no key at all");
        P.ParGen["TLS_Server_Server_Certificate"] = Pki().Server.Pem();
        P.ParGen["TLS_Server_Root_Certificate"] = Pki().Root.Pem();
        P.Has_Known_Cert = true;
        for (const QString& Row : Rows)
            P.Known_Cert.append({Row.endsWith(QLatin1String("off")) ? QStringLiteral("N") : QStringLiteral("Y"),
                                 Row.startsWith(QLatin1String("key"))     ? Pki().Other_Key.Pem()
                                 : Row.startsWith(QLatin1String("empty")) ? QString()
                                                                          : Pki().Unrelated.Pem(),
                                 QString()});
        const QString Config = Make_Configuration(QStringLiteral("Listed"), P);
        const Run_Result R = Run({"check", Config});
        QStringList Expected;
        for (QString Line : Lines) {
            const qsizetype At = Line.indexOf(u'@');
            if (const qsizetype Hash = Line.indexOf(u'#'); Hash >= 0)
                Line = Element_At(Config + '/' + Line.left(Hash), Line.mid(Hash + 1, 1).toInt()).mid(Config.size() + 1)
                       + Line.mid(Hash + 2);
            else if (At >= 0)
                Line = Row_At(Config + '/' + Line.left(At), Line.mid(At + 1, 1).toInt()).mid(Config.size() + 1)
                       + Line.mid(At + 2);
            Expected.append(Config + '/' + Line);
        }
        QStringList Got = R.Out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        Got.removeLast();  // the count
        QCOMPARE(Got, Expected);
        QCOMPARE(R.Exit_Code, Lines.join(QString()).contains(QLatin1String(": error: ")) ? 1 : 0);
    }

    void compile_and_gsdml_stop_at_errors_only_data()
    {
        QTest::addColumn<QString>("Command");
        QTest::addColumn<QString>("Fault");
        QTest::addColumn<int>("Exit_Code");
        QTest::newRow("compile, a key among the known certificates") << "compile" << "known key" << 1;
        QTest::newRow("compile, no key in the key box") << "compile" << "no key" << 1;
        QTest::newRow("compile, two wrong values of one row") << "compile" << "row" << 1;
        QTest::newRow("compile, warnings only") << "compile" << "warnings" << 0;
        QTest::newRow("gsdml, no key in the key box") << "gsdml" << "no key" << 1;
        // The description is made from the general parameters alone.
        QTest::newRow("gsdml, a key among the known certificates") << "gsdml" << "known key" << 0;
        QTest::newRow("gsdml, warnings only") << "gsdml" << "warnings" << 0;
    }

    void compile_and_gsdml_stop_at_errors_only()
    {
        QFETCH(QString, Command);
        QFETCH(QString, Fault);
        QFETCH(int, Exit_Code);
        Image_Fixtures::Project P = Tls_Project();
        if (Fault == QLatin1String("known key")) {
            P.Known_Cert[1].Certificate = Pki().Other_Key.Pem();
        } else if (Fault == QLatin1String("no key")) {
            P.ParGen["TLS_Server_Key"] = Pki().Server.Pem();
        } else if (Fault == QLatin1String("row")) {
            P.Variables[1].Length = QStringLiteral("5");
            P.Variables[1].Conversion.clear();
        } else {
            // An overlap, and a server certificate the root did not sign.
            P.Variables[1].Position = QStringLiteral("2");
            P.ParGen["TLS_Server_Key"] = Pki().Unrelated_Key.Pem();
            P.ParGen["TLS_Server_Server_Certificate"] = Pki().Unrelated.Pem();
        }
        const QString Config = Make_Configuration(QStringLiteral("Gated"), P);
        Write_File(Config + "/bin/bank1.bin", "old bank 1");
        Write_File(Config + "/bin/bank2.bin", "old bank 2");
        Write_File(Dir.path() + "/old.xml", "old description");

        QStringList Arguments{Command, Config, "-q"};
        if (Command == QLatin1String("gsdml"))
            Arguments += QStringList{"-o", Dir.path() + "/old.xml"};
        const Run_Result R = Run(Arguments);
        QCOMPARE(R.Exit_Code, Exit_Code);
        QCOMPARE(R.Out, QString());
        const QStringList Said = R.Err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        const bool Written = Exit_Code == 0;
        if (Written) {
            // The warnings are said, and the files are written all the same.
            QVERIFY2(!Said.isEmpty() || Fault != QLatin1String("warnings"), qPrintable(R.Err));
            for (const QString& Line : Said)
                QVERIFY2(Line.startsWith(Config + '/') && Line.contains(QLatin1String(": warning: ")), qPrintable(Line));
        } else {
            QVERIFY2(Said.size() >= 2, qPrintable(R.Err));
            for (const QString& Line : Said.mid(0, Said.size() - 1))
                QVERIFY2(Line.startsWith(Config + '/'), qPrintable(Line));
            QVERIFY2(Said.mid(0, Said.size() - 1).join('\n').contains(QLatin1String(": error: ")), qPrintable(R.Err));
            QCOMPARE(Said.last(), QStringLiteral("sw40610: Nothing was written: the configuration has errors"));
        }
        if (Fault == QLatin1String("row"))
            QCOMPARE(Said.mid(0, 2),
                     (QStringList{Row_At(Config + "/IEC61850_Variables.xml", 2)
                                      + ": error: Error row 2!! Length must be between 1 and 4",
                                  Row_At(Config + "/IEC61850_Variables.xml", 2)
                                      + ": error: Error row 2!! Conversion must be Selected "}));
        const bool Banks_Written = Written && Command == QLatin1String("compile");
        QCOMPARE(Read_File(Config + "/bin/bank1.bin") == "old bank 1", !Banks_Written);
        QCOMPARE(Read_File(Config + "/bin/bank2.bin") == "old bank 2", !Banks_Written);
        const bool Description_Written = Written && Command == QLatin1String("gsdml");
        QCOMPARE(Read_File(Dir.path() + "/old.xml") == "old description", !Description_Written);
    }

    void messages_come_in_the_language_of_the_settings()
    {
        QVERIFY(QDir().mkpath(Exe_Dir + "/LANGUAGE"));
        QVERIFY(QFile::copy(QStringLiteral(SW_RESOURCES_DIR "/LANGUAGE/Deutsch.lng"),
                            Exe_Dir + "/LANGUAGE/Deutsch.lng"));
        Write_File(Exe_Dir + "/Tavorix.xml",
                   "<Conf_Settings><lastlang><language>Deutsch</language></lastlang></Conf_Settings>");
        const QString Config = Make_Configuration(QStringLiteral("German"), Small_Project());
        const Run_Result R = Run({"compile", Config});
        QFile::remove(Exe_Dir + "/Tavorix.xml");
        QCOMPARE(R.Exit_Code, 0);
        QCOMPARE(R.Out.section(QLatin1Char('\n'), 0, 0),
                 QStringLiteral("%1/bin/bank1.bin geschrieben (2048 Bytes)").arg(Config));
        // Nothing of the program folder is created by a command.
        QVERIFY(!QFileInfo::exists(Exe_Dir + "/PROJECTS"));
        QVERIFY(!QFileInfo::exists(Exe_Dir + "/MASTER"));
    }
    void a_folder_without_project_files_is_refused_data()
    {
        // A mistyped path in a build script: an empty folder, or the folder
        // that holds the configurations.
        QTest::addColumn<QString>("Folder");
        QTest::addColumn<QStringList>("Command");
        for (const char* Folder : {"empty", "parent"})
            for (const QStringList& Command :
                 {QStringList{"compile"}, QStringList{"check"}, QStringList{"gsdml"},
                  QStringList{"update-file", "--device", "127.0.0.1", "-o", "u.xml"}})
                QTest::addRow("%s, %s", Folder, qPrintable(Command.first())) << QString::fromLatin1(Folder) << Command;
    }

    void a_folder_without_project_files_is_refused()
    {
        QFETCH(QString, Folder);
        QFETCH(QStringList, Command);
        Make_Configuration(QStringLiteral("Beside"), Small_Project());
        const QString Path = Folder == QLatin1String("empty") ? Dir.path() + "/configs/Empty" : Dir.path() + "/configs";
        QVERIFY(QDir().mkpath(Path + "/bin"));
        QFile::remove(Dir.path() + "/u.xml");
        const Run_Result R = Run(QStringList{Command.first(), Path} + Command.mid(1));
        QCOMPARE(R.Exit_Code, 2);
        QCOMPARE(R.Out, QString());
        QCOMPARE(R.Err, QStringLiteral("sw40610: not a configuration folder: %1\n").arg(Path));
        QVERIFY(QDir(Path + "/bin").isEmpty());
        QVERIFY(QDir(Path).entryList({QStringLiteral("*.xml")}, QDir::Files).isEmpty());
        QVERIFY(!QFileInfo::exists(Dir.path() + "/u.xml"));
    }

    void a_project_file_that_is_no_regular_file_ends_with_3_data()
    {
        QTest::addColumn<QString>("Kind");
        QTest::addColumn<QString>("Reason");
        QTest::newRow("FIFO") << "fifo" << "not a regular file but a FIFO";
        QTest::newRow("device") << "device" << "not a regular file but a device";
        QTest::newRow("directory") << "directory" << "not a regular file but a folder";
    }

    void a_project_file_that_is_no_regular_file_ends_with_3()
    {
        QFETCH(QString, Kind);
        QFETCH(QString, Reason);
        const QString Config = Make_Configuration(QStringLiteral("Special"), Small_Project());
        const QString Path = Config + "/IEC61850_Variables.xml";
        QVERIFY(QFile::remove(Path));
#ifdef Q_OS_WIN
        if (Kind == QLatin1String("fifo"))
            QSKIP("Windows has no FIFOs (mkfifo) to put in a file's place");
        if (Kind == QLatin1String("device"))
            QSKIP("QFile::link makes a shortcut (.lnk) on Windows, not a link to a device");
#else
        if (Kind == QLatin1String("fifo"))
            QCOMPARE(::mkfifo(QFile::encodeName(Path).constData(), 0600), 0);
        else if (Kind == QLatin1String("device"))
            QVERIFY(QFile::link(QStringLiteral("/dev/null"), Path));
        else
#endif
            QVERIFY(QDir().mkpath(Path));
        // Opening a FIFO waits for a writer: a command that does would hang.
        Time_Out_Ms = 20000;
        const auto Restore = qScopeGuard([this] { Time_Out_Ms = 60000; });
        for (const char* Command : {"compile", "check", "gsdml"}) {
            const Run_Result R = Run({QString::fromLatin1(Command), Config});
            QCOMPARE(R.Err, QStringLiteral("sw40610: %1: %2\n").arg(Path, Reason));
            QCOMPARE(R.Exit_Code, 3);
            QCOMPARE(R.Out, QString());
        }
        QVERIFY(!QFileInfo::exists(Config + "/bin/bank1.bin"));
    }

    void check_prints_line_and_column_and_counts_data()
    {
        QTest::addColumn<bool>("Bad_Port");
        QTest::addColumn<bool>("Bad_Box");
        QTest::addColumn<bool>("Name_Twice");
        QTest::addColumn<QString>("Count");
        QTest::newRow("one error") << true << false << false << "1 error, 0 warnings";
        QTest::newRow("one warning") << false << true << false << "0 errors, 1 warning";
        QTest::newRow("one of each") << true << true << false << "1 error, 1 warning";
        QTest::newRow("two errors, one warning") << true << true << true << "2 errors, 1 warning";
    }

    void check_prints_line_and_column_and_counts()
    {
        QFETCH(bool, Bad_Port);
        QFETCH(bool, Bad_Box);
        QFETCH(bool, Name_Twice);
        QFETCH(QString, Count);
        const QString Config = Dir.path() + "/configs/Hand";
        QDir(Config).removeRecursively();
        QVERIFY(QDir().mkpath(Config + "/bin"));
        // As a hand edit leaves them: indented, one element a line.
        Write_File(Config + "/ParGen.xml", QStringLiteral("<Par_Gen>\n  <PROFINET_PORT>%1</PROFINET_PORT>\n</Par_Gen>\n")
                                               .arg(Bad_Port ? "5000" : "2000")
                                               .toUtf8());
        const QString Row = QStringLiteral("\t<row Enable=\"Y\" Name=\"%1\" Type=\"Int\" Length=\"4\" ReadOnly=\"%2\" "
                                           "Position=\"%3\" Conversion=\"None\" MultiplicationFactor=\"None\"/>\n");
        Write_File(Config + "/IEC61850_Variables.xml",
                   (QStringLiteral("<IEC61850_Variables>\n") + Row.arg("A", Bad_Box ? "maybe" : "N", "0")
                    + Row.arg(Name_Twice ? "A" : "B", "N", "4") + QStringLiteral("</IEC61850_Variables>\n"))
                       .toUtf8());
        const Lang_Table L = English();
        QStringList Expected;
        if (Bad_Port)
            Expected.append(Config + "/ParGen.xml:2:3: error: " + L[572]);
        if (Name_Twice)
            Expected.append(Config
                            + "/IEC61850_Variables.xml:3:2: error: Error row 2!! the name \"A\" is already used by row 1");
        if (Bad_Box)
            Expected.append(Config + "/IEC61850_Variables.xml:2:2: warning: Row 1: ReadOnly holds \"maybe\" instead of Y or N");
        Expected.append(Count);
        const Run_Result R = Run({"check", Config});
        QCOMPARE(R.Out.split(QLatin1Char('\n'), Qt::SkipEmptyParts), Expected);
        QCOMPARE(R.Exit_Code, Bad_Port || Name_Twice ? 1 : 0);
    }

    void a_configuration_too_large_for_the_device_is_an_error_of_check()
    {
        Image_Fixtures::Project P = Small_Project();
        P.ParGen["IEC61850_Server_Password"] = QString(600000, QLatin1Char('x'));
        const QString Config = Make_Configuration(QStringLiteral("Huge"), P);
        const Run_Result Checked = Run({"check", Config});
        QCOMPARE(Checked.Exit_Code, 1);
        QVERIFY2(Checked.Out.contains(Config + ": error: Error! The configuration is too large for the device memory\n"),
                 qPrintable(Checked.Out));
        const Run_Result Compiled = Run({"compile", Config});
        QCOMPARE(Compiled.Exit_Code, 1);
        QVERIFY(!QFileInfo::exists(Config + "/bin/bank2.bin"));
    }

    void a_file_size_limit_ends_with_3_and_the_system_s_text()
    {
#ifdef Q_OS_WIN
        QSKIP("the file-size limit is set by a POSIX shell (ulimit -f), which Windows has not");
#endif
        // A limit of one block: the first bank (2048 bytes) does not fit.
        const QString Config = Make_Configuration(QStringLiteral("Limited"), Small_Project());
        Shell_Before = QStringLiteral("ulimit -f 1");
        const auto Restore = qScopeGuard([this] { Shell_Before.clear(); });
        const Run_Result R = Run({"compile", Config});
        QCOMPARE(R.Exit_Code, 3);
        QVERIFY2(R.Err.startsWith(QStringLiteral("sw40610: Error! The bank files could not be written: ")),
                 qPrintable(R.Err));
        QVERIFY2(R.Err.contains(qt_error_string(EFBIG)), qPrintable(R.Err));
        QVERIFY(!QFileInfo::exists(Config + "/bin/bank1.bin"));
        QVERIFY(!QFileInfo::exists(Config + "/bin/bank2.bin"));
    }
    void running_out_of_memory_ends_with_3_and_a_message()
    {
#ifdef Q_OS_WIN
        QSKIP("the memory limit is set by a POSIX shell (ulimit -v), which Windows has not");
#endif
        // 20 MB of text in one element under a limit of 200 MB of address
        // space: the program starts, reading the file does not fit.
        const QString Config = Make_Configuration(QStringLiteral("Hungry"), Small_Project());
        Write_File(Config + "/ParGen.xml", "<Par_Gen><IEC61850_Server_Password>" + QByteArray(20'000'000, 'x')
                                               + "</IEC61850_Server_Password></Par_Gen>");
        Shell_Before = QStringLiteral("ulimit -v 200000");
        const auto Restore = qScopeGuard([this] { Shell_Before.clear(); });
        for (const char* Command : {"check", "compile"}) {
            const Run_Result R = Run({QString::fromLatin1(Command), Config});
            QCOMPARE(R.Exit_Code, 3);
            QVERIFY2(R.Err.startsWith(QStringLiteral("sw40610: ")) && R.Err.count(u'\n') == 1, qPrintable(R.Err));
        }
        QVERIFY(!QFileInfo::exists(Config + "/bin/bank1.bin"));
        QFile::remove(Config + "/ParGen.xml");
    }
};

QTEST_GUILESS_MAIN(Test_Command_Line)
#include "test_command_line.moc"
