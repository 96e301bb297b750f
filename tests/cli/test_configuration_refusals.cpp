// Every command that takes a configuration folder refuses the same broken
// folders with the same exit code and the same words, and writes nothing.
#include "support/Built_Program.h"
#include "support/Test_Files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_WIN
#include "platform/Windows_Error.h"

#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

const QByteArray Par_Gen_Text = "<ParGen><PROFINET_NAME_STA>line-1</PROFINET_NAME_STA></ParGen>\n";
const QByteArray Variables_Text =
    "<IEC61850_Variables><row Enable=\"Y\" Name=\"Temp\" Type=\"FLOAT\" Length=\"4\" Position=\"0\"/></IEC61850_Variables>\n";

} // namespace

class Test_Configuration_Refusals : public QObject {
    Q_OBJECT

    QTemporaryDir Dir;

    Test_Support::Program_Run Run(const QStringList& Arguments)
    {
        QProcessEnvironment Env = QProcessEnvironment::systemEnvironment();
        Env.remove(QStringLiteral("DISPLAY"));
        Env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        Env.insert(QStringLiteral("XDG_RUNTIME_DIR"), Dir.path() + "/runtime");
        // A command that opens a FIFO waits for a writer: it is killed and fails.
        Test_Support::Program_Run Result = Test_Support::Run_Program(Test_Support::Built_Program(), Arguments,
                                                                     Dir.path(), Env, 20000);
        if (Result.Timed_Out)
            Result.Err = QStringLiteral("(killed)");
        return Result;
    }

    // A whole configuration folder; its files written anew.
    QString Make_Configuration(const QString& Name)
    {
        const QString Path = Dir.path() + "/" + Name;
        QDir(Path).removeRecursively();
        QFile::remove(Path);
        if (!QDir().mkpath(Path))
            qFatal("cannot make %s", qPrintable(Path));
        Test_Support::Write_File(Path + "/ParGen.xml", Par_Gen_Text);
        Test_Support::Write_File(Path + "/IEC61850_Variables.xml", Variables_Text);
        return Path;
    }

    // Every file in the test's folder but the configurations' own: what a command may have written.
    QStringList Written_Files() const
    {
        QStringList Found;
        for (const QString& Name : {"out.xml", "u.xml", "r.pdf"})
            if (QFileInfo::exists(Dir.path() + "/" + Name))
                Found << Name;
        for (const QString& Name : {"Broken/bin/bank1.bin", "Broken/bin/bank2.bin", "Good/bin/bank1.bin"})
            if (QFileInfo::exists(Dir.path() + "/" + Name))
                Found << Name;
        return Found;
    }

private slots:
    void initTestCase() { QVERIFY(Dir.isValid()); }

    void every_command_refuses_alike_data()
    {
        QTest::addColumn<QString>("Kind");
        QTest::addColumn<QString>("Command");
        QTest::addColumn<int>("Exit_Code");
        // The path refused (relative to the broken folder, "." for the folder) and the reason.
        QTest::addColumn<QString>("Refused");
        QTest::addColumn<QString>("Reason");

        struct Kind {
            const char* Name;
            int Code;
            const char* Refused;
            const char* Reason;
        };
        const Kind Kinds[] = {
            {"empty folder", 2, ".", ""},
            {"missing folder", 3, ".", "No such file or directory"},
            {"file in the folder's place", 3, ".", "Not a directory"},
            {"folder in a file's place", 3, "ParGen.xml", "not a regular file but a folder"},
#ifdef Q_OS_WIN
            // Windows has no FIFOs and no device files to put in a file's
            // place, and QFile::link makes a shortcut there, not a link: the
            // reader's refusal of devices, pipes and reparse points is tested
            // with Windows paths in tests/platform/windows. What an open
            // spreadsheet or editor does to a file is, in the system's words.
            {"file another program holds", 3, "ParGen.xml", nullptr},
#else
            {"FIFO", 3, "IEC61850_Variables.xml", "not a regular file but a FIFO"},
            {"device", 3, "IEC61850_Variables.xml", "not a regular file but a device"},
            {"dangling link", 3, "TLS_Known_Cert.xml", "No such file or directory"},
            // Root reads a file whatever its permission bits: then a file no
            // one can read, the process's own memory seen from its start.
            {"unreadable file", 3, "ParGen.xml", ::geteuid() == 0 ? "Input/output error" : "Permission denied"},
#endif
        };
        const char* Commands[] = {"check", "compile", "gsdml", "update-file", "diff", "diff second", "report",
                                  "history", "restore"};
        for (const Kind& K : Kinds)
            for (const char* Command : Commands)
                QTest::addRow("%s, %s", K.Name, Command)
                    << QString::fromLatin1(K.Name) << QString::fromLatin1(Command) << K.Code
                    << QString::fromLatin1(K.Refused)
#ifdef Q_OS_WIN
                    << (K.Reason ? QString::fromLatin1(K.Reason) : Windows_Error_Text(ERROR_SHARING_VIOLATION));
#else
                    << QString::fromLatin1(K.Reason);
#endif
    }

    void every_command_refuses_alike()
    {
        QFETCH(QString, Kind);
        QFETCH(QString, Command);
        QFETCH(int, Exit_Code);
        QFETCH(QString, Refused);
        QFETCH(QString, Reason);

        const QString Good = Make_Configuration(QStringLiteral("Good"));
        const QString Broken = Make_Configuration(QStringLiteral("Broken"));
        for (const QString& Name : {"out.xml", "u.xml", "r.pdf"})
            QFile::remove(Dir.path() + "/" + Name);
        const QString File = Broken + "/" + Refused;
#ifdef Q_OS_WIN
        HANDLE Held = INVALID_HANDLE_VALUE;
#endif
        if (Kind == QLatin1String("empty folder")) {
            QVERIFY(QDir(Broken).removeRecursively());
            QVERIFY(QDir().mkpath(Broken + "/bin"));
        } else if (Kind == QLatin1String("missing folder")) {
            QVERIFY(QDir(Broken).removeRecursively());
        } else if (Kind == QLatin1String("file in the folder's place")) {
            QVERIFY(QDir(Broken).removeRecursively());
            Test_Support::Write_File(Broken, Par_Gen_Text);
        } else if (Kind == QLatin1String("folder in a file's place")) {
            QVERIFY(QFile::remove(File));
            QVERIFY(QDir().mkpath(File));
#ifdef Q_OS_WIN
        } else if (Kind == QLatin1String("file another program holds")) {
            // Held open, shared with no one, until the command has ended.
            Held = CreateFileW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(File).utf16()), GENERIC_READ,
                               0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
            QVERIFY(Held != INVALID_HANDLE_VALUE);
#else
        } else if (Kind == QLatin1String("FIFO")) {
            QVERIFY(QFile::remove(File));
            QCOMPARE(::mkfifo(QFile::encodeName(File).constData(), 0600), 0);
        } else if (Kind == QLatin1String("device")) {
            QVERIFY(QFile::remove(File));
            QVERIFY(QFile::link(QStringLiteral("/dev/null"), File));
        } else if (Kind == QLatin1String("dangling link")) {
            QVERIFY(QFile::link(Dir.path() + "/nowhere.xml", File));
        } else if (::geteuid() == 0) {
            QVERIFY(QFile::remove(File));
            QVERIFY(QFile::link(QStringLiteral("/proc/self/mem"), File));
        } else {
            QVERIFY(QFile::setPermissions(File, QFileDevice::Permissions()));
#endif
        }
        const auto Restore = qScopeGuard([&] {
#ifdef Q_OS_WIN
            if (Held != INVALID_HANDLE_VALUE)
                CloseHandle(Held);
#endif
            QFile::setPermissions(File, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        });

        QStringList Arguments;
        if (Command == QLatin1String("gsdml"))
            Arguments = {"gsdml", Broken, "-o", "out.xml"};
        else if (Command == QLatin1String("update-file"))
            Arguments = {"update-file", Broken, "--device", "127.0.0.1", "-o", "u.xml"};
        else if (Command == QLatin1String("diff"))
            Arguments = {"diff", Broken, Good};
        else if (Command == QLatin1String("diff second"))
            Arguments = {"diff", Good, Broken};
        else if (Command == QLatin1String("report"))
            Arguments = {"report", Broken, "-o", "r.pdf"};
        else if (Command == QLatin1String("restore"))
            Arguments = {"restore", Broken, "1"};
        else
            Arguments = {Command, Broken};

        const Test_Support::Program_Run R = Run(Arguments);
        // Paths as the system writes them.
        const QString Text = Exit_Code == 2
                                 ? QStringLiteral("not a configuration folder: ") + QDir::toNativeSeparators(Broken)
                                 : QDir::toNativeSeparators(QDir::cleanPath(File)) + QStringLiteral(": ") + Reason;
        QCOMPARE(R.Err, QStringLiteral("sw40610: %1\n").arg(Text));
        QCOMPARE(R.Exit_Code, Exit_Code);
        QCOMPARE(R.Out, QString());
        QCOMPARE(Written_Files(), QStringList());
    }
};

QTEST_GUILESS_MAIN(Test_Configuration_Refusals)
#include "test_configuration_refusals.moc"
