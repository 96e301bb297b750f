// The file reader and writer on the paths Windows users and the system give
// them: drive letters, both separators, "\\?\" paths past MAX_PATH, UNC
// names, non-ASCII names, and the names Win32 turns into devices or into
// another file's name. Runs on Windows (under Wine in CI).
#include "platform/File_Read.h"
#include "platform/File_Write.h"

#include <QDir>
#include <QElapsedTimer>
#include <QtEndian>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <windows.h>

namespace {

// The path as the user would type it: backslashes, drive letter.
QString Native(const QString& Path) { return QDir::toNativeSeparators(Path); }

QStringList Entries(const QString& Dir)
{
    return QDir(Dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
}

} // namespace

class Test_Windows_Paths : public QObject {
    Q_OBJECT

    QTemporaryDir Dir;

    // A fresh, empty folder for one row.
    QString Folder(const char* Name)
    {
        const QString Path = Dir.filePath(QString::fromLatin1(Name));
        QDir(Path).removeRecursively();
        if (!QDir().mkpath(Path))
            qFatal("cannot make %s", qPrintable(Path));
        return Path;
    }

private slots:
    void Files_Written_Are_Read_Back_data();
    void Files_Written_Are_Read_Back();
    void Device_And_Aliased_Names_Are_Refused_data();
    void Device_And_Aliased_Names_Are_Refused();
    void Named_Pipe_Is_Refused_Without_Waiting();
    void Unreachable_Share_Is_Reported();
    void Set_Replaces_Old_Versions_In_Place();
};

// Each row names a file below a fresh folder (F) that is written atomically,
// then read back by the reader; the file must end up under exactly that name.
void Test_Windows_Paths::Files_Written_Are_Read_Back_data()
{
    QTest::addColumn<QString>("Relative");   // below the row's folder; "\" or "/" as written
    QTest::addColumn<bool>("Long_Prefix");  // address it as \\?\F\...
    QTest::addColumn<QString>("Listed");     // the name the folder then lists (first level)

    QTest::newRow("backslashes") << QStringLiteral("ParGen.xml") << false << QStringLiteral("ParGen.xml");
    QTest::newRow("forward slashes") << QStringLiteral("sub/ParGen.xml") << false << QStringLiteral("sub");
    QTest::newRow("non-ASCII") << QStringLiteral("Prüfstand Ωmega 東京.xml") << false
                               << QStringLiteral("Prüfstand Ωmega 東京.xml");
    QTest::newRow("inner dots and blanks") << QStringLiteral("Plant 1.v2 .xml") << false
                                           << QStringLiteral("Plant 1.v2 .xml");
    // Past MAX_PATH (260) in all: the reader and writer need no prefix for it.
    const QString Deep = QStringLiteral("xxxxx/") + QStringList(8, QString(40, u'd')).join(u'/')
                         + QStringLiteral("/ParGen.xml");
    QTest::newRow("past MAX_PATH") << Deep << false << QStringLiteral("xxxxx");
    QTest::newRow("past MAX_PATH, \\\\?\\") << Deep << true << QStringLiteral("xxxxx");
}

void Test_Windows_Paths::Files_Written_Are_Read_Back()
{
    QFETCH(QString, Relative);
    QFETCH(bool, Long_Prefix);
    QFETCH(QString, Listed);
    const QString F = Folder("written");
    const QString Full = F + u'/' + Relative;
    QVERIFY(QDir().mkpath(QFileInfo(Full).path()));
    QString Path = Native(Full);
    if (Long_Prefix)
        Path = QStringLiteral("\\\\?\\") + Path;
    else if (!Relative.contains(u'/'))
        QVERIFY(Path.at(1) == u':');  // a drive letter path, as typed

    const QByteArray Data = QByteArrayLiteral("<?xml version=\"1.0\"?>\r\n<ParGen/>\r\n");
    const auto Written = Write_File_Atomic(Path, Data);
    QVERIFY2(Written.has_value(), Written ? "" : qPrintable(Written.error().System_Text));
    const auto Read = Read_Regular_File(Path);
    QVERIFY2(Read.has_value(), Read ? "" : qPrintable(Read.error().Text));
    QCOMPARE(*Read, Data);
    QCOMPARE(Regular_File_Problem(Path), std::nullopt);
    // Written under that name and no other, and no temporary file left.
    QCOMPARE(Entries(F), QStringList{Listed});
    QCOMPARE(Entries(QFileInfo(Full).path()), QStringList{QFileInfo(Full).fileName()});

    // Written again, the file is replaced whole.
    const QByteArray Second = QByteArrayLiteral("<ParGen Version=\"2\"/>");
    QVERIFY(Write_File_Atomic(Path, Second).has_value());
    QCOMPARE(Read_Regular_File(Path).value_or(QByteArray()), Second);
}

// Names Win32 opens as a device, a pipe, or a file of another name: the
// reader refuses them by what they are without opening them, the writer
// refuses them before writing anything.
void Test_Windows_Paths::Device_And_Aliased_Names_Are_Refused_data()
{
    QTest::addColumn<QString>("Relative");  // below the row's folder; empty: Absolute is taken
    QTest::addColumn<QString>("Absolute");
    QTest::addColumn<QString>("Text");

    const QString Device = QStringLiteral("not a regular file but a device");
    const QString Dropped = QStringLiteral("the name ends with a dot or a blank, which Windows drops");
    QTest::newRow("CON") << QStringLiteral("CON") << QString() << Device;
    QTest::newRow("nul lower case") << QStringLiteral("nul") << QString() << Device;
    QTest::newRow("aux.xml") << QStringLiteral("aux.xml") << QString() << Device;
    QTest::newRow("COM1") << QStringLiteral("COM1") << QString() << Device;
    QTest::newRow("lpt9.txt") << QStringLiteral("lpt9.txt") << QString() << Device;
    QTest::newRow("con .xml") << QStringLiteral("con .xml") << QString() << Device;
    QTest::newRow("bare NUL") << QString() << QStringLiteral("NUL") << Device;
    QTest::newRow("\\\\.\\NUL") << QString() << QStringLiteral("\\\\.\\NUL") << Device;
    QTest::newRow("\\\\.\\COM1") << QString() << QStringLiteral("\\\\.\\COM1") << Device;
    QTest::newRow("C:NUL") << QString() << QStringLiteral("C:NUL") << Device;
    QTest::newRow("named pipe") << QString() << QStringLiteral("\\\\.\\pipe\\sw40610-none")
                                << QStringLiteral("not a regular file but a named pipe");
    QTest::newRow("trailing dot") << QStringLiteral("ParGen.xml.") << QString() << Dropped;
    QTest::newRow("trailing blank") << QStringLiteral("ParGen.xml ") << QString() << Dropped;
    QTest::newRow("trailing dots and blanks") << QStringLiteral("ParGen.xml. .") << QString() << Dropped;
}

void Test_Windows_Paths::Device_And_Aliased_Names_Are_Refused()
{
    QFETCH(QString, Relative);
    QFETCH(QString, Absolute);
    QFETCH(QString, Text);
    const QString F = Folder("refused");
    // The file the aliased names would reach instead, if they were opened.
    const QByteArray Kept = QByteArrayLiteral("<ParGen/>");
    QVERIFY(Write_File_Atomic(F + QStringLiteral("/ParGen.xml"), Kept).has_value());
    const QString Path = Relative.isEmpty() ? Absolute : Native(F + u'\\' + Relative);

    const auto Read = Read_Regular_File(Path);
    QVERIFY(!Read.has_value());
    QCOMPARE(Read.error().Text, Text);
    QVERIFY(!Read.error().Missing);
    const auto Problem = Regular_File_Problem(Path);
    QVERIFY(Problem.has_value());
    QCOMPARE(Problem->Text, Text);

    const auto Written = Write_File_Atomic(Path, QByteArrayLiteral("<overwritten/>"));
    QVERIFY(!Written.has_value());
    QCOMPARE(Written.error().System_Text, Text);
    QCOMPARE(Entries(F), QStringList{QStringLiteral("ParGen.xml")});
    QCOMPARE(Read_Regular_File(F + QStringLiteral("/ParGen.xml")).value_or(QByteArray()), Kept);
}

// A real pipe server at the name: the reader must neither connect nor wait.
void Test_Windows_Paths::Named_Pipe_Is_Refused_Without_Waiting()
{
    const QString Name = QStringLiteral("\\\\.\\pipe\\sw40610-test-%1").arg(::GetCurrentProcessId());
    const HANDLE Server = ::CreateNamedPipeW(reinterpret_cast<const wchar_t*>(Name.utf16()), PIPE_ACCESS_DUPLEX,
                                             PIPE_TYPE_BYTE | PIPE_NOWAIT, 1, 512, 512, 0, nullptr);
    QVERIFY(Server != INVALID_HANDLE_VALUE);
    QElapsedTimer Took;
    Took.start();
    const auto Read = Read_Regular_File(Name);
    QVERIFY(!Read.has_value());
    QCOMPARE(Read.error().Text, QStringLiteral("not a regular file but a named pipe"));
    QVERIFY(Took.elapsed() < 5000);
    // No client ever connected: the server still listens for its first.
    QVERIFY(!::ConnectNamedPipe(Server, nullptr));
    QCOMPARE(::GetLastError(), DWORD(ERROR_PIPE_LISTENING));
    ::CloseHandle(Server);
}

// A UNC path to a share that is not there (on this machine's loopback
// address, so that no name is looked up): an error with the system's text,
// not a missing file that would silently take the defaults.
void Test_Windows_Paths::Unreachable_Share_Is_Reported()
{
    const QString Path = QStringLiteral("\\\\127.0.0.1\\sw40610-no-such-share\\ParGen.xml");
    const auto Read = Read_Regular_File(Path);
    QVERIFY(!Read.has_value());
    QVERIFY(!Read.error().Text.isEmpty());
    const auto Written = Write_File_Atomic(Path, QByteArrayLiteral("<ParGen/>"));
    QVERIFY(!Written.has_value());
    QVERIFY(!Written.error().System_Text.isEmpty());
}

// The two-file set on Windows: the old versions are kept under a second name
// (a hard link) and the new ones replace them; nothing else stays behind.
void Test_Windows_Paths::Set_Replaces_Old_Versions_In_Place()
{
    const QString F = Folder("set");
    const QString One = Native(F + QStringLiteral("/bank1.bin"));
    const QString Two = Native(F + QStringLiteral("/bank2.bin"));
    QVERIFY(Write_Files_Atomic({{One, "old one"}, {Two, "old two"}}).has_value());
    QVERIFY(Write_Files_Atomic({{One, "new one"}, {Two, "new two"}}).has_value());
    QCOMPARE(Read_Regular_File(One).value_or(QByteArray()), QByteArray("new one"));
    QCOMPARE(Read_Regular_File(Two).value_or(QByteArray()), QByteArray("new two"));
    QCOMPARE(Entries(F), (QStringList{QStringLiteral("bank1.bin"), QStringLiteral("bank2.bin")}));

    // The second file cannot replace its old version (held open without
    // delete sharing): the first gets its old version back.
    const HANDLE Held = ::CreateFileW(reinterpret_cast<const wchar_t*>(Two.utf16()), GENERIC_READ, FILE_SHARE_READ,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
    QVERIFY(Held != INVALID_HANDLE_VALUE);
    const auto Failed = Write_Files_Atomic({{One, "third one"}, {Two, "third two"}});
    ::CloseHandle(Held);
    QVERIFY(!Failed.has_value());
    QVERIFY(!Failed.error().System_Text.isEmpty());
    QCOMPARE(Read_Regular_File(One).value_or(QByteArray()), QByteArray("new one"));
    QCOMPARE(Read_Regular_File(Two).value_or(QByteArray()), QByteArray("new two"));
    QCOMPARE(Entries(F), (QStringList{QStringLiteral("bank1.bin"), QStringLiteral("bank2.bin")}));
}

QTEST_GUILESS_MAIN(Test_Windows_Paths)
#include "test_windows_paths.moc"
