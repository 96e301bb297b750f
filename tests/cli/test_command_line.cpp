// The command line through the real executable, started without a display:
// every command on fixture configurations, its files compared byte for byte
// with what the window's own code writes for the same configuration, and
// every exit code with its message.
#include "gsdml/Profinet_File_Name.h"
#include "gsdml/Profinet_XML.h"
#include "image/Configuration_Image.h"
#include "image/Image_Fixtures.h"
#include "platform/Save_File_Dialog.h"
#include "platform/Xml_File.h"
#include "foundation/Workspace.h"
#include "support/Fixed_Separator.h"
#include "support/Scripted_Prompter.h"
#include "support/Test_Files.h"
#include "update/Update_Parameter_File.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using Test_Support::Read_File;
using Test_Support::Write_File;

namespace {

class Unused_Save_Dialog : public Save_File_Dialog {
public:
    std::optional<QString> Ask_Save_Path(const Save_File_Request&) override { return std::nullopt; }
};

struct Run_Result {
    int Exit_Code = -1;
    QString Out;
    QString Err;
};

Image_Fixtures::Project Small_Project()
{
    // One enabled variable named Temp, TLS off.
    Image_Fixtures::Project P;
    P.Has_ParGen = true;
    P.Has_Variables = true;
    Image_Fixtures::Var_Row Temp;
    Temp.Name = QStringLiteral("Temp");
    Temp.Length = QStringLiteral("4");
    P.Variables = {Temp};
    return P;
}

Image_Fixtures::Project Tls_Project()
{
    Image_Fixtures::Project P = Small_Project();
    P.ParGen["TLS_Server_Enable"] = QStringLiteral("1");
    P.ParGen["TLS_Server_Enable_Known_Cert"] = QStringLiteral("1");
    P.ParGen["TLS_Server_Key"] = Image_Fixtures::Pem_Text(300, QLatin1Char('K'));
    P.ParGen["IEC61850_Server_Password"] = QStringLiteral("secret");
    P.ParGen["PROFINET_NAME_STA"] = QStringLiteral("plant-7 <&\">");
    P.ParGen["PROFINET_NB_IN"] = QStringLiteral("100");
    P.ParGen["PROFINET_NB_OUT"] = QStringLiteral("20");
    P.Has_Known_Cert = true;
    P.Known_Cert = {{QStringLiteral("Y"), Image_Fixtures::Pem_Text(10), QStringLiteral("one")},
                    {QStringLiteral("N"), Image_Fixtures::Pem_Text(20), QStringLiteral("off")},
                    {QStringLiteral("Y"), Image_Fixtures::Pem_Text(30), QStringLiteral("three")}};
    Image_Fixtures::Var_Row Factor;
    Factor.Name = QStringLiteral("Half");
    Factor.Type = QStringLiteral("Float");
    Factor.Length = QStringLiteral("4");
    Factor.Position = QStringLiteral("8");
    Factor.MultiplicationFactor = QStringLiteral("0,5");
    P.Variables.append(Factor);
    return P;
}

} // namespace

class Test_Command_Line : public QObject {
    Q_OBJECT

    QTemporaryDir Dir;
    // A program folder of its own: the executable, its settings and language files.
    QString Exe_Dir;
    QString Program;

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
        Process.start(Program, Arguments);
        if (!Process.waitForFinished(60000))
            qFatal("sw40610 did not end");
        Run_Result Result;
        Result.Exit_Code = Process.exitStatus() == QProcess::NormalExit ? Process.exitCode() : -1;
        Result.Out = QString::fromUtf8(Process.readAllStandardOutput());
        Result.Err = QString::fromUtf8(Process.readAllStandardError());
        // Plugin diagnostics are not the program's messages; they only prove
        // that no windowing plugin was looked for.
        QStringList Own;
        for (const QString& Line : Result.Err.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            if (!Line.contains(QLatin1String("qt.core.plugin")) && !Line.contains(QLatin1String("QFactoryLoader"))
                && !Line.startsWith(QLatin1String("Got keys")) && !Line.startsWith(QLatin1String("Checking ")))
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
        Program = Exe_Dir + "/sw40610";
        QVERIFY(QDir().mkpath(Exe_Dir));
        QVERIFY(QFile::copy(QStringLiteral(SW_BUILD_DIR "/src/sw40610"), Program));
    }

    void compile_writes_the_banks_the_window_writes_data()
    {
        QTest::addColumn<Image_Fixtures::Project>("Project");
        QTest::addColumn<QStringList>("Extra");
        QTest::addColumn<QString>("Platform");
        QTest::newRow("no project files") << Image_Fixtures::Project() << QStringList() << QString();
        QTest::newRow("one variable") << Small_Project() << QStringList() << QStringLiteral("xcb");
        QTest::newRow("tls and known certificates")
            << Tls_Project() << QStringList{"--decimal-separator", "."} << QStringLiteral("xcb");
        QTest::newRow("largest") << Image_Fixtures::Largest_Project() << QStringList{"--decimal-separator", ","}
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
        Scripted_Prompter Prompts;
        QVERIFY(Compile_And_Save_Banks(Image, *Space, Prompts));
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
        Scripted_Prompter Prompts;
        Unused_Save_Dialog Dialog;
        Profinet_XML Generator(*Space, Prompts, Dialog);
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

        const Run_Result R = Run(QStringList{"update-file", Config, "--device", " 127.0.0.1"} + Options);
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
        QTest::newRow("general parameters are a folder") << QStringLiteral("ParGen.xml") << "Is a directory";
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
        QVERIFY2(R.Err.contains(QStringLiteral("%1/ParGen.xml: error: Error IEC61850 Server!! Port must be between 0 "
                                               "and 65535, and different from 10000\n")
                                    .arg(Config)),
                 qPrintable(R.Err));
        QVERIFY2(R.Err.contains(QStringLiteral(": error: Error row 1!! Length must be between 1 and 4\n")), qPrintable(R.Err));
        QVERIFY2(R.Err.endsWith(QStringLiteral("sw40610: Nothing was written: the configuration has errors\n")),
                 qPrintable(R.Err));
        QCOMPARE(Read_File(Config + "/bin/bank1.bin"), QByteArray("old bank 1"));
        QVERIFY(!QFileInfo::exists(Config + "/bin/bank2.bin"));
    }

    void check_reports_as_lines_and_as_json()
    {
        Image_Fixtures::Project P = Small_Project();
        P.ParGen["PROFINET_IP2"] = QStringLiteral("256");
        P.Variables[0].Position = QStringLiteral("1438");
        const QString Config = Make_Configuration(QStringLiteral("Checked"), P);

        const Run_Result Lines = Run({"check", Config});
        QCOMPARE(Lines.Exit_Code, 1);
        QCOMPARE(Lines.Err, QString());
        QVERIFY2(Lines.Out.contains(QStringLiteral(
                     "%1/ParGen.xml: error: Error PROFINET!! IP Address 2 must be between 0 and 255\n")
                                        .arg(Config)),
                 qPrintable(Lines.Out));
        QVERIFY2(Lines.Out.contains(QStringLiteral("%1/IEC61850_Variables.xml: error: Error row 1!! Position must "
                                                   "be between 0 and 1437\n")
                                        .arg(Config)),
                 qPrintable(Lines.Out));

        const Run_Result Json = Run({"check", Config, "--json"});
        QCOMPARE(Json.Exit_Code, 1);
        QJsonParseError Error;
        const QJsonDocument Doc = QJsonDocument::fromJson(Json.Out.toUtf8(), &Error);
        QCOMPARE(Error.error, QJsonParseError::NoError);
        const QJsonObject Root = Doc.object();
        QCOMPARE(Root.value("configuration").toString(), Config);
        QCOMPARE(Root.value("errors").toInt(), 2);
        QCOMPARE(Root.value("warnings").toInt(), 0);
        const QJsonArray Items = Root.value("findings").toArray();
        QCOMPARE(Items.size(), 2);
        const QJsonObject Variable = Items.at(1).toObject();
        QCOMPARE(Variable.value("file").toString(), Config + "/IEC61850_Variables.xml");
        QCOMPARE(Variable.value("row").toInt(), 0);
        QCOMPARE(Variable.value("severity").toString(), QStringLiteral("error"));
        QCOMPARE(Variable.value("text").toString(), QStringLiteral("Error row 1!! Position must be between 0 and 1437"));

        const QString Clean = Make_Configuration(QStringLiteral("Clean"), Tls_Project());
        const Run_Result Ok = Run({"check", Clean, "--json"});
        QCOMPARE(Ok.Exit_Code, 0);
        QCOMPARE(QJsonDocument::fromJson(Ok.Out.toUtf8()).object().value("findings").toArray().size(), 0);
        const Run_Result Summary = Run({"check", Clean});
        QCOMPARE(Summary.Exit_Code, 0);
        QCOMPARE(Summary.Out, QStringLiteral("0 errors, 0 warnings\n"));
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
};

QTEST_GUILESS_MAIN(Test_Command_Line)
#include "test_command_line.moc"
