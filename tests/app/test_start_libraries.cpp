// Which libraries the program maps: a command none of the window's, and
// OpenSSL's only when it reads a key or certificate; the window all it needs,
// from a program folder copied anywhere.
#include "certificates/Certificate_Checks.h"
#include "foundation/Lang_Strings.h"
#include "foundation/Settings_File.h"
#include "image/Image_Fixtures.h"
#include "support/Test_Certificates.h"
#include "support/Test_Files.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <utility>

namespace {

// The libraries the dynamic loader maps for a run, as its own trace names them.
QStringList Loaded_Libraries(const QString& Trace)
{
    QStringList Names;
    static const QRegularExpression File_Line(QStringLiteral("file=(\\S+)\\s+\\[\\d+\\];\\s+needed by|file=(\\S+)\\s+\\[\\d+\\];\\s+dynamically loaded by"));
    auto Lines = File_Line.globalMatch(Trace);
    while (Lines.hasNext()) {
        const QRegularExpressionMatch Line = Lines.next();
        const QString Name = Line.captured(1).isEmpty() ? Line.captured(2) : Line.captured(1);
        Names.append(QFileInfo(Name).fileName());
    }
    return Names;
}

const QStringList Window_Libraries{QStringLiteral("libQt6Gui"),     QStringLiteral("libQt6Widgets"),
                                   QStringLiteral("libX11"),        QStringLiteral("libxcb"),
                                   QStringLiteral("libfontconfig"), QStringLiteral("libfreetype"),
                                   QStringLiteral("libEGL"),        QStringLiteral("libGLX")};

QStringList Window_Libraries_Among(const QStringList& Loaded)
{
    QStringList Found;
    for (const QString& Name : Loaded)
        for (const QString& Window_Library : Window_Libraries)
            if (Name.startsWith(Window_Library + QLatin1Char('.')) || Name.startsWith(Window_Library + QLatin1Char('-')))
                Found.append(Name);
    return Found;
}

// OpenSSL's crypto library and the module that alone maps it.
QStringList Crypto_Libraries_Among(const QStringList& Loaded)
{
    QStringList Found;
    for (const QString& Name : Loaded)
        if (Name.startsWith(QLatin1String("libcrypto.so")) || Name == QLatin1String("libsw40610_crypto.so"))
            Found.append(Name);
    Found.removeDuplicates();
    Found.sort();
    return Found;
}

// A module of another build (tests/app/stale_module.cpp): with another
// build token, or with none. Whatever of it runs ends the process with 99.
QByteArray Stale_Module(const char* Path)
{
    QFile File(QString::fromUtf8(Path));
    if (!File.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", Path);
    return File.readAll();
}

const QByteArray Other_Build = Stale_Module(SW_STALE_MODULE_other_build);
const QByteArray No_Token = Stale_Module(SW_STALE_MODULE_no_token);

// This build's crypto module: of the right build, but no window module.
QByteArray Built_Crypto_Module() { return Stale_Module(SW_BUILD_DIR "/src/libsw40610_crypto.so"); }

const Test_Pki::Set& Pki()
{
    static const Test_Pki::Set Made(QDateTime::currentDateTimeUtc());
    return Made;
}

// One variable; TLS off or on. Off, the boxes still hold a key and
// certificates, as a user leaves them who turned TLS off: nothing reads them.
// On, the key is not the server's and the root did not sign it: two warnings
// that only reading all three tells.
Image_Fixtures::Project Project_With(bool Tls)
{
    Image_Fixtures::Project P;
    P.Has_ParGen = true;
    P.Has_Variables = true;
    Image_Fixtures::Var_Row Temp;
    Temp.Name = QStringLiteral("Temp");
    Temp.Length = QStringLiteral("4");
    Temp.StartBit.clear();
    P.Variables = {Temp};
    P.ParGen["TLS_Server_Enable"] = Tls ? QStringLiteral("1") : QStringLiteral("0");
    P.ParGen["TLS_Server_Key"] = Pki().Other_Key.Pem();
    P.ParGen["TLS_Server_Server_Certificate"] = Pki().Server.Pem();
    P.ParGen["TLS_Server_Root_Certificate"] = Pki().Unrelated.Pem();
    return P;
}

} // namespace

class Test_Start_Libraries : public QObject {
    Q_OBJECT

    QTemporaryDir Dir;
    QString Program;
    QString Plain_Config;
    QString Tls_Config;
    QString Other_Tls_Config;

    QProcessEnvironment Traced() const
    {
        QProcessEnvironment Env = QProcessEnvironment::systemEnvironment();
        Env.insert(QStringLiteral("LD_DEBUG"), QStringLiteral("files"));
        Env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        return Env;
    }

    // A program folder holding the executable, the window module and, when
    // Module is not empty, those bytes as its crypto module.
    QString Program_Folder(const QString& Name, const QByteArray& Module = {})
    {
        const QString Folder = Dir.filePath(Name);
        const QString Copy = Folder + QStringLiteral("/sw40610");
        if (!QFileInfo::exists(Copy)) {
            if (!QDir().mkpath(Folder) || !QFile::copy(Program, Copy)
                || !QFile::copy(QFileInfo(Program).dir().filePath(QStringLiteral("libsw40610_window.so")),
                                Folder + QStringLiteral("/libsw40610_window.so")))
                qFatal("cannot make the program folder %s", qPrintable(Folder));
            if (!Module.isEmpty())
                Test_Support::Write_File(Folder + QStringLiteral("/libsw40610_crypto.so"), Module);
        }
        return Copy;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(Dir.isValid());
        // A program folder of its own, far from the build tree.
        const QString Folder = Dir.filePath(QStringLiteral("somewhere/program"));
        QVERIFY(QDir().mkpath(Folder));
        Program = Folder + QStringLiteral("/sw40610");
        QVERIFY(QFile::copy(QStringLiteral(SW_BUILD_DIR "/src/sw40610"), Program));
        QVERIFY(QFile::copy(QStringLiteral(SW_BUILD_DIR "/src/libsw40610_window.so"),
                            Folder + QStringLiteral("/libsw40610_window.so")));
        QVERIFY(QFile::copy(QStringLiteral(SW_BUILD_DIR "/src/libsw40610_crypto.so"),
                            Folder + QStringLiteral("/libsw40610_crypto.so")));
        QFile::setPermissions(Program, QFile::permissions(Program) | QFile::ExeOwner);

        Plain_Config = Dir.filePath(QStringLiteral("Plant"));
        Tls_Config = Dir.filePath(QStringLiteral("Secured"));
        Other_Tls_Config = Dir.filePath(QStringLiteral("Secured_Other"));
        Image_Fixtures::Project Other_Key = Project_With(true);
        Other_Key.ParGen["TLS_Server_Key"] = Pki().Server_Key.Pem();
        for (const auto& [Config, Project] : {std::pair{Plain_Config, Project_With(false)},
                                              std::pair{Tls_Config, Project_With(true)},
                                              std::pair{Other_Tls_Config, Other_Key}}) {
            QVERIFY(QDir().mkpath(Config + QStringLiteral("/bin")));
            Image_Fixtures::Write_Project(Project, Config + QStringLiteral("/ParGen.xml"),
                                          Config + QStringLiteral("/IEC61850_Variables.xml"),
                                          Config + QStringLiteral("/TLS_Known_Cert.xml"));
        }
    }

    void a_command_without_keys_maps_no_window_or_crypto_library_data()
    {
        QTest::addColumn<QStringList>("Arguments");
        QTest::newRow("--version") << QStringList{QStringLiteral("--version")};
        QTest::newRow("--help") << QStringList{QStringLiteral("--help")};
        QTest::newRow("check") << QStringList{QStringLiteral("check"), QStringLiteral("CONFIG")};
        QTest::newRow("compile") << QStringList{QStringLiteral("compile"), QStringLiteral("CONFIG")};
        QTest::newRow("gsdml") << QStringList{QStringLiteral("gsdml"), QStringLiteral("CONFIG")};
    }

    void a_command_without_keys_maps_no_window_or_crypto_library()
    {
        QFETCH(QStringList, Arguments);
        Arguments.replaceInStrings(QStringLiteral("CONFIG"), Plain_Config);

        QProcess Run;
        Run.setProcessEnvironment(Traced());
        Run.start(Program, Arguments);
        QVERIFY(Run.waitForFinished(30000));
        const QString Trace = QString::fromLocal8Bit(Run.readAllStandardError());
        const QStringList Loaded = Loaded_Libraries(Trace);
        // The trace is read at all: the core library is in it.
        QVERIFY2(Loaded.contains(QStringLiteral("libQt6Core.so.6")), qPrintable(Trace.left(2000)));
        QCOMPARE(Window_Libraries_Among(Loaded), QStringList());
        // Nor the packet capture library: it comes when the network is searched.
        QVERIFY2(Loaded.filter(QStringLiteral("libpcap")).isEmpty(), qPrintable(Loaded.join(QLatin1Char(' '))));
        QCOMPARE(Crypto_Libraries_Among(Loaded), QStringList());
        QCOMPARE(Run.exitCode(), 0);
    }

    void check_of_keys_maps_the_crypto_module_and_finds_what_the_checks_find()
    {
        QProcess Run;
        Run.setProcessEnvironment(Traced());
        Run.start(Program, {QStringLiteral("check"), Tls_Config});
        QVERIFY(Run.waitForFinished(30000));
        const QString Trace = QString::fromLocal8Bit(Run.readAllStandardError());
        const QStringList Loaded = Loaded_Libraries(Trace);
        QCOMPARE(Crypto_Libraries_Among(Loaded), (QStringList{"libcrypto.so.3", "libsw40610_crypto.so"}));
        QVERIFY2(Trace.contains(QFileInfo(Program).path() + QStringLiteral("/libsw40610_crypto.so")),
                 qPrintable(Trace.right(2000)));
        QCOMPARE(Window_Libraries_Among(Loaded), QStringList());

        // Warnings only: each the checks find in this process, in the program's words.
        QCOMPARE(Run.exitCode(), 0);
        Lang_Table Lang;
        Lang.Create_Default_Strings();
        const Image_Fixtures::Project P = Project_With(true);
        const QList<Certificates::Finding> Expected = Certificates::Check_Server(
            {true, P.ParGen["TLS_Server_Key"], {}, P.ParGen["TLS_Server_Server_Certificate"],
             P.ParGen["TLS_Server_Root_Certificate"], false},
            {}, QDateTime::currentDateTimeUtc(), Lang);
        QList<Certificates::Problem> Problems;
        for (const Certificates::Finding& F : Expected)
            Problems.append(F.What);
        QCOMPARE(Problems, (QList<Certificates::Problem>{Certificates::Problem::Key_Mismatch,
                                                          Certificates::Problem::Not_Signed_By_Root}));
        const QString Out = QString::fromLocal8Bit(Run.readAllStandardOutput());
        for (const Certificates::Finding& F : Expected)
            QVERIFY2(Out.contains(QStringLiteral(": warning: ") + F.Text + u'\n'), qPrintable(Out));
    }

    void a_program_folder_without_a_usable_crypto_module_says_so_data()
    {
        QTest::addColumn<QString>("Folder");
        QTest::addColumn<QByteArray>("Module");  // empty: none
        // TLS, PLAIN: the configurations with and without keys; OTHER: with another key.
        QTest::addColumn<QStringList>("Arguments");
        QTest::addColumn<QString>("Named");  // what the message names; empty: the command works

        QFile Built(QStringLiteral(SW_BUILD_DIR "/src/libsw40610_crypto.so"));
        QVERIFY(Built.open(QIODevice::ReadOnly));
        QByteArray Without_Libcrypto = Built.readAll();
        // The module as it is, but needing a crypto library no system has.
        QCOMPARE(Without_Libcrypto.count("libcrypto.so.3"), 1);
        Without_Libcrypto.replace("libcrypto.so.3", "libcryptX.so.3");

        const QString Missing = Dir.filePath(QStringLiteral("alone/libsw40610_crypto.so: ")) + qt_error_string(ENOENT);
        const QByteArray None;
        QTest::newRow("no module, check") << "alone" << None << QStringList{"check", "TLS"} << Missing;
        QTest::newRow("no module, compile") << "alone" << None << QStringList{"compile", "TLS"} << Missing;
        QTest::newRow("no module, check without keys") << "alone" << None << QStringList{"check", "PLAIN"} << QString();
        // Unread, two copies of one certificate would differ by their texts.
        QTest::newRow("no module, diff") << "alone" << None << QStringList{"diff", "TLS", "OTHER"}
                                         << Tls_Config + QStringLiteral("/ParGen.xml: keys and certificates cannot be read: ")
                                                + Missing;
        // Equal texts are equal whatever they hold: nothing is read.
        QTest::newRow("no module, diff of equal keys") << "alone" << None << QStringList{"diff", "TLS", "TLS"}
                                                       << QString();
        // A report that could not read the keys would call them no keys.
        QTest::newRow("no module, report") << "alone" << None
                                           << QStringList{"report", "TLS", "-o", "TLS/bin/report.pdf"} << Missing;
        QTest::newRow("no libcrypto, check") << "stripped" << Without_Libcrypto << QStringList{"check", "TLS"}
                                             << "libcryptX.so.3";
        // A module left by another build is never called: its reading would
        // end the process.
        const QString Stale_Text = QStringLiteral(" belongs to another build of the program");
        QTest::newRow("another build, check") << "stale" << Other_Build << QStringList{"check", "TLS"}
                                              << Dir.filePath(QStringLiteral("stale/libsw40610_crypto.so")) + Stale_Text;
        QTest::newRow("no token, compile") << "untokened" << No_Token << QStringList{"compile", "TLS"}
                                           << Dir.filePath(QStringLiteral("untokened/libsw40610_crypto.so"))
                                                  + Stale_Text;
        QTest::newRow("not a library, gsdml") << "broken" << QByteArray("not a library\n")
                                              << QStringList{"gsdml", "TLS", "-o", "TLS/bin/device.xml"}
                                              << Dir.filePath(QStringLiteral("broken/libsw40610_crypto.so"));
    }

    // The keys cannot be read: a file error of the program folder, as an
    // unreadable project file is, and nothing is written.
    void a_program_folder_without_a_usable_crypto_module_says_so()
    {
        QFETCH(QString, Folder);
        QFETCH(QByteArray, Module);
        QFETCH(QStringList, Arguments);
        QFETCH(QString, Named);
        const QString Copy = Program_Folder(Folder, Module);
        for (const QString& Config : {Plain_Config, Tls_Config}) {
            QDir(Config + QStringLiteral("/bin")).removeRecursively();
            QVERIFY(QDir().mkpath(Config + QStringLiteral("/bin")));
        }
        for (QString& Argument : Arguments)
            Argument.replace(QRegularExpression(QStringLiteral("^TLS")), Tls_Config)
                .replace(QRegularExpression(QStringLiteral("^PLAIN")), Plain_Config)
                .replace(QRegularExpression(QStringLiteral("^OTHER")), Other_Tls_Config);

        QProcess Run;
        QProcessEnvironment Env = QProcessEnvironment::systemEnvironment();
        Env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        Run.setProcessEnvironment(Env);
        Run.start(Copy, Arguments);
        QVERIFY(Run.waitForFinished(30000));
        const QString Err = QString::fromLocal8Bit(Run.readAllStandardError());
        if (Named.isEmpty()) {
            QCOMPARE(Err, QString());
            QCOMPARE(Run.exitCode(), 0);
            return;
        }
        QCOMPARE(Run.exitCode(), 3);
        // One message of the program's own (Qt may add a word of its own).
        const QStringList Own = Err.split(u'\n').filter(QRegularExpression(QStringLiteral("^sw40610: ")));
        QVERIFY2(Own.size() == 1, qPrintable(Err));
        QVERIFY2(Own[0].contains(QStringLiteral("keys and certificates cannot be read: ")), qPrintable(Err));
        QVERIFY2(Own[0].contains(Named), qPrintable(Err));
        QCOMPARE(QString::fromLocal8Bit(Run.readAllStandardOutput()), QString());
        for (const QString& Config : {Plain_Config, Tls_Config})
            QCOMPARE(QDir(Config + QStringLiteral("/bin")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                     QStringList());
    }

    void a_window_module_of_another_build_is_refused_before_it_runs_data()
    {
        QTest::addColumn<QString>("Folder");
        QTest::addColumn<QByteArray>("Module");  // planted as the window module; none when empty
        QTest::addColumn<QString>("Language");   // the one the window was left in
        QTest::addColumn<QStringList>("Arguments");
        QTest::addColumn<QString>("Said");  // FOLDER stands for the program folder

        const QStringList Record{"commission", "plant.csv", "--record", "record.pdf", "--interface", "lo"};
        QTest::newRow("another build, window") << "other_window" << Other_Build << "English" << QStringList()
            << "sw40610: the window cannot be started: FOLDER/libsw40610_window.so belongs to another build of the "
               "program: install the program folder again as a whole";
        QTest::newRow("no token, report") << "untokened_report" << No_Token << "English"
                                          << QStringList{"report", "CONFIG"}
            << "sw40610: the report cannot be drawn: FOLDER/libsw40610_window.so belongs to another build of the "
               "program: install the program folder again as a whole";
        QTest::newRow("another build, record, German") << "other_record" << Other_Build << "Deutsch" << Record
            << "sw40610: Das Protokoll kann nicht erstellt werden: FOLDER/libsw40610_window.so gehört zu einem "
               "anderen Build des Programms: Installieren Sie den Programmordner erneut als Ganzes";
        QTest::newRow("missing, window, French") << "missing_window" << QByteArray() << "Français" << QStringList()
            << "sw40610: impossible d'ouvrir la fenêtre : FOLDER/libsw40610_window.so : Aucun fichier ou dossier "
               "de ce type";
        QTest::newRow("the crypto module in its place") << "crypto_window" << Built_Crypto_Module() << "Italiano"
                                                         << QStringList()
            << "sw40610: impossibile aprire la finestra: FOLDER/libsw40610_window.so appartiene a un'altra build "
               "del programma: reinstallare l'intera cartella del programma";
    }

    // The executable refuses a window module that is not of its own build,
    // in the language the window was left in, before anything of it runs.
    void a_window_module_of_another_build_is_refused_before_it_runs()
    {
        QFETCH(QString, Folder);
        QFETCH(QByteArray, Module);
        QFETCH(QString, Language);
        QFETCH(QStringList, Arguments);
        QFETCH(QString, Said);
        const QString Path = Dir.filePath(Folder);
        QVERIFY(QDir().mkpath(Path + QStringLiteral("/LANGUAGE")));
        const QString Copy = Path + QStringLiteral("/sw40610");
        QVERIFY(QFile::copy(Program, Copy));
        if (!Module.isEmpty())
            Test_Support::Write_File(Path + QStringLiteral("/libsw40610_window.so"), Module);
        if (Language != QLatin1String("English")) {
            const QString Lng = QStringLiteral("/LANGUAGE/") + Language + QStringLiteral(".lng");
            QVERIFY(QFile::copy(QStringLiteral(SW_RESOURCES_DIR) + Lng, Path + Lng));
            Settings_File::Values Settings = Settings_File::Defaults();
            Settings.Language_Name = Language;
            QVERIFY(Settings_File::Save(Path + QStringLiteral("/Tavorix.xml"), Settings));
        }
        Arguments.replaceInStrings(QStringLiteral("CONFIG"), Plain_Config);

        QProcess Run;
        QProcessEnvironment Env = QProcessEnvironment::systemEnvironment();
        Env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        Run.setProcessEnvironment(Env);
        Run.setWorkingDirectory(Path);
        Run.start(Copy, Arguments);
        QVERIFY(Run.waitForFinished(30000));
        const QString Err = QString::fromLocal8Bit(Run.readAllStandardError());
        QVERIFY2(!Err.contains(QStringLiteral("stale module ran")), qPrintable(Err));
        QCOMPARE(Run.exitCode(), 1);
        QCOMPARE(Err, QString(Said).replace(QStringLiteral("FOLDER"), Path) + u'\n');
        // Nothing of the program folder was made or written on the way.
        QStringList Planted{QStringLiteral("LANGUAGE"), QStringLiteral("sw40610")};
        if (!Module.isEmpty())
            Planted.append(QStringLiteral("libsw40610_window.so"));
        if (Language != QLatin1String("English"))
            Planted.append(QStringLiteral("Tavorix.xml"));
        Planted.sort();
        QCOMPARE(QDir(Path).entryList(QDir::NoDotAndDotDot | QDir::AllEntries, QDir::Name), Planted);    }

    void the_window_loads_its_library_beside_the_program()
    {
        QProcess Run;
        Run.setProcessEnvironment(Traced());
        Run.start(Program, QStringList());
        QVERIFY(Run.waitForStarted());
        QString Trace;
        QElapsedTimer Waited;
        Waited.start();
        while (!Trace.contains(QStringLiteral("libQt6Widgets")) && Waited.elapsed() < 30000
               && Run.state() == QProcess::Running) {
            Run.waitForReadyRead(200);
            Trace += QString::fromLocal8Bit(Run.readAllStandardError());
        }
        Run.kill();
        Run.waitForFinished();
        const QStringList Loaded = Loaded_Libraries(Trace);
        QVERIFY2(Loaded.contains(QStringLiteral("libsw40610_window.so")), qPrintable(Trace.right(2000)));
        QVERIFY(!Window_Libraries_Among(Loaded).isEmpty());
    }

    void a_missing_window_library_is_named()
    {
        const QString Lonely = Dir.filePath(QStringLiteral("lonely/sw40610"));
        QVERIFY(QDir().mkpath(QFileInfo(Lonely).path()));
        QVERIFY(QFile::copy(Program, Lonely));
        QProcess Run;
        QProcessEnvironment Env = QProcessEnvironment::systemEnvironment();
        Env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        Run.setProcessEnvironment(Env);
        Run.start(Lonely, QStringList());
        QVERIFY(Run.waitForFinished(30000));
        QCOMPARE(Run.exitCode(), 1);
        const QString Err = QString::fromLocal8Bit(Run.readAllStandardError());
        QVERIFY2(Err.startsWith(QStringLiteral("sw40610: the window cannot be started: ")), qPrintable(Err));
        QVERIFY2(Err.contains(QStringLiteral("libsw40610_window")), qPrintable(Err));
    }
};

QTEST_GUILESS_MAIN(Test_Start_Libraries)
#include "test_start_libraries.moc"
