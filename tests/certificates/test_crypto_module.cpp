// The crypto module that reads keys and certificates: loaded at the first
// text that needs it, once, from any thread; and when it cannot be loaded,
// every reader says so in its own error channel. The second needs a process
// without the module: this program runs a copy of itself from a folder of
// its temporary directory, outside the build tree, where nothing is beside it.
#include "certificates/Certificate_Checks.h"
#include "certificates/Certificate_Texts.h"
#include "certificates/Crypto_Module.h"
#include "certificates/Pem_Contents.h"
#include "foundation/Lang_Strings.h"
#include "foundation/Workspace.h"
#include "support/Test_Certificates.h"
#include "support/Test_Files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <array>
#include <latch>
#include <optional>
#include <thread>
#include <vector>

using namespace Certificates;

namespace {

const QDateTime Now(QDate(2026, 6, 1), QTime(12, 0), Qt::UTC);
// Set in the copy that runs without the module.
const char Alone_Variable[] = "SW_TEST_WITHOUT_CRYPTO_MODULE";

Lang_Table English()
{
    Lang_Table Lang;
    Lang.Create_Default_Strings();
    return Lang;
}

} // namespace

// Run as it is built, beside the build's module.
class Test_Crypto_Module : public QObject {
    Q_OBJECT

    QTemporaryDir Dir;
    std::optional<Test_Pki::Set> Pki;

private slots:
    void initTestCase()
    {
        QVERIFY(Dir.isValid());
        Pki.emplace(Now);
    }

    // First, before anything here has read a key: several threads read at
    // once, and each finds the module the others find.
    void the_first_texts_read_at_once_load_one_module()
    {
        QVERIFY(!Crypto_Failure());
        const QString Text = Pki->Server.Pem();
        constexpr int Count = 8;
        std::latch Start(Count);
        std::array<std::expected<const Crypto_Functions*, Module_Failure>, Count> Functions{};
        std::array<qsizetype, Count> Certificates{};
        std::vector<std::thread> Readers;
        for (int I = 0; I < Count; ++I)
            Readers.emplace_back([&, I] {
                Start.arrive_and_wait();
                Certificates[I] = Read_Pem(Text).value().Certificates.size();
                Functions[I] = Crypto();
            });
        for (std::thread& Reader : Readers)
            Reader.join();
        for (int I = 0; I < Count; ++I) {
            QVERIFY(Functions[I]);
            QCOMPARE(*Functions[I], *Crypto());
            QCOMPARE(Certificates[I], 1);
        }
        QVERIFY(!Crypto_Failure());
    }

    void without_the_module_every_reader_says_so()
    {
        const QString Folder = Dir.filePath(QStringLiteral("alone"));
        const QString Copy = Folder + u'/' + QFileInfo(QCoreApplication::applicationFilePath()).fileName();
        QVERIFY(QDir().mkpath(Folder));
        QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), Copy));
        QProcess Run;
        QProcessEnvironment Env = QProcessEnvironment::systemEnvironment();
        Env.insert(QString::fromLatin1(Alone_Variable), QStringLiteral("1"));
#ifdef Q_OS_WIN
        // The copy finds Qt's DLLs through PATH, which names the build's
        // folder; the module there must still not be taken, as modules are
        // loaded from the program's own folder only.
        Env.insert(QStringLiteral("PATH"), QDir::toNativeSeparators(QCoreApplication::applicationDirPath())
                                               + u';' + Env.value(QStringLiteral("PATH")));
#endif
        Run.setProcessEnvironment(Env);
        Run.setProcessChannelMode(QProcess::MergedChannels);
        // The report goes to a file: without a console, Qt Test on Windows
        // writes plain text to the debugger instead of standard output.
        const QString Log = Dir.filePath(QStringLiteral("alone.txt"));
        Run.start(Copy, {QStringLiteral("-o"), Log + QStringLiteral(",txt")});
        QVERIFY(Run.waitForFinished(120000));
        const QByteArray Output = Run.readAll() + Test_Support::Read_File(Log);
        QVERIFY2(Run.exitStatus() == QProcess::NormalExit && Run.exitCode() == 0, Output.constData());
        QVERIFY2(Output.contains("Totals: ") && Output.contains("Test_Without_Crypto_Module"), Output.constData());
    }
};

// Run by the above from a folder without the module.
class Test_Without_Crypto_Module : public QObject {
    Q_OBJECT

    QTemporaryDir Dir;
    std::optional<Test_Pki::Set> Pki;
    Lang_Table Lang = English();
    QString Module_Path;  // where the module is looked for, as the messages write it
    QString Missing;  // the message every reader gives

private slots:
    void initTestCase()
    {
        QVERIFY(Dir.isValid());
        Pki.emplace(Now);
#ifdef Q_OS_WIN
        const QString Module_File = QStringLiteral("sw40610_crypto.dll");
#else
        const QString Module_File = QStringLiteral("libsw40610_crypto.so");
#endif
        Module_Path = QDir::toNativeSeparators(QDir(QCoreApplication::applicationDirPath()).filePath(Module_File));
        Missing = QStringLiteral("keys and certificates cannot be read: ") + Module_Path
                  + QStringLiteral(": No such file or directory");
    }

    // A blank box needs no reader, and does not try to load it.
    void a_blank_text_needs_no_module()
    {
        const Pem_Reading Found = Read_Pem(QStringLiteral(" \n\t "));
        QVERIFY(Found);
        QVERIFY(Found->Blank);
        QCOMPARE(Found->Error, QString());
        QVERIFY(!Crypto_Failure());
        QCOMPARE(Summary(*Found, Now, Lang), QString());
    }

    // Neither an empty certificate nor "not a key": the line under the box
    // and its details say what is wrong.
    void a_text_read_says_the_module_is_missing_data()
    {
        QTest::addColumn<QString>("Text");
        QTest::addColumn<QString>("Password");
        QTest::newRow("certificate") << Pki->Server.Pem() << QString();
        QTest::newRow("encrypted key and its password") << Pki->Server_Key.Encrypted_Pem(QStringLiteral("pw"))
                                                        << QStringLiteral("pw");
        QTest::newRow("prose") << QStringLiteral("paste the certificate here") << QString();
    }

    void a_text_read_says_the_module_is_missing()
    {
        QFETCH(QString, Text);
        QFETCH(QString, Password);
        const Pem_Reading Found = Read_Pem(Text, Password);
        QVERIFY(!Found);
        QCOMPARE(int(Found.error().What), int(Module_Failure::Kind::Missing));
        QCOMPARE(Crypto_Missing_Text(Found.error(), Lang), Missing);
        QVERIFY(!Crypto());
        QVERIFY(Crypto_Failure());
        QCOMPARE(Crypto_Missing_Text(*Crypto_Failure(), Lang), Missing);
        // Read through a reader, the same; it keeps nothing it could not read.
        Pem_Reader Reader;
        QVERIFY(!Reader.Read(Text, Password));
        QVERIFY(!Reader.Read(Text, Password));
    }

    // Each caller words the refusal in the user's language.
    void the_refusal_is_in_the_chosen_language()
    {
        Lang_Table German;
        QCOMPARE(Load_Language(German, QStringLiteral(SW_RESOURCES_DIR "/LANGUAGE"), QStringLiteral("Deutsch")),
                 QStringLiteral("Deutsch"));
        const QString Expected = QStringLiteral("Schlüssel und Zertifikate können nicht gelesen werden: ") + Module_Path
                                 + QStringLiteral(": Datei oder Verzeichnis nicht gefunden");
        const QString Path = Dir.filePath(QStringLiteral("server.pem"));
        Test_Support::Write_File(Path, Pki->Server.Pem().toUtf8());
        const std::expected<QString, QString> Loaded = Load_File(Path, German);
        QVERIFY(!Loaded);
        QCOMPARE(Loaded.error(), Expected);
        const Pem_Reading Found = Read_Pem(Pki->Server.Pem());
        QVERIFY(!Found);
        QCOMPARE(Crypto_Missing_Text(Found.error(), German),
                 Expected);
    }

    // PEM text needs no reader to pass through; DER does.
    void a_file_converted_says_the_module_is_missing()
    {
        const std::expected<QString, QString> Pem = File_To_Pem(Pki->Root.Pem().toUtf8(), Lang);
        QVERIFY(Pem);
        QCOMPARE(*Pem, Pki->Root.Pem());
        const std::expected<QString, QString> Der = File_To_Pem(Pki->Root.Der(), Lang);
        QVERIFY(!Der);
        QCOMPARE(Der.error(), Missing);
    }

    void a_file_loaded_says_the_module_is_missing_data()
    {
        QTest::addColumn<QByteArray>("Bytes");
        QTest::newRow("PEM") << Pki->Server.Pem().toUtf8();
        QTest::newRow("DER") << Pki->Server.Der();
    }

    void a_file_loaded_says_the_module_is_missing()
    {
        QFETCH(QByteArray, Bytes);
        const QString Path = Dir.filePath(QStringLiteral("server.crt"));
        Test_Support::Write_File(Path, Bytes);
        const std::expected<QString, QString> Loaded = Load_File(Path, Lang);
        QVERIFY(!Loaded);
        QCOMPARE(Loaded.error(), Missing);
    }

    // One blocking finding, at the first box that holds text, instead of a
    // "no private key" or "no certificate" that would blame the user's text.
    void the_server_check_says_the_module_is_missing_data()
    {
        QTest::addColumn<bool>("With_Key");
        QTest::addColumn<int>("Where");
        QTest::addColumn<int>("Label");
        QTest::newRow("key first") << true << int(Place::Key) << Text_Slot::Key_Label;
        QTest::newRow("key box empty") << false << int(Place::Server_Certificate) << Text_Slot::Server_Certificate_Label;
    }

    void the_server_check_says_the_module_is_missing()
    {
        QFETCH(bool, With_Key);
        QFETCH(int, Where);
        QFETCH(int, Label);
        const Server_Material Material{true, With_Key ? Pki->Server_Key.Pem() : QString(), {}, Pki->Server.Pem(),
                                       Pki->Root.Pem(), true};
        const QList<Finding> Found = Check_Server(Material, {}, Now, Lang);
        QCOMPARE(Found.size(), 1);
        QCOMPARE(Found[0].What, Problem::Reader_Missing);
        QCOMPARE(Found[0].Level, Severity::Blocking);
        QCOMPARE(int(Found[0].Where), Where);
        QCOMPARE(Found[0].Text, Lang[Label] + QStringLiteral(": ") + Missing);
    }

    void the_list_check_says_the_module_is_missing()
    {
        const QList<Known_Certificate> Rows{{true, Pki->Unrelated.Pem(), QStringLiteral("hall")},
                                            {true, Pki->Expired.Pem(), QString()}};
        const QList<Finding> Found = Check_Known_List(Rows, true, Now, Lang);
        QCOMPARE(Found.size(), 1);
        QCOMPARE(Found[0].What, Problem::Reader_Missing);
        QCOMPARE(Found[0].Level, Severity::Blocking);
        QCOMPARE(Found[0].Where, Place::Known_Row);
        QCOMPARE(Found[0].Row, 1);
        QCOMPARE(Found[0].Text, Lang[Text_Slot::Row_Name].arg(1) + QStringLiteral(" (hall): ") + Missing);
    }
};

int main(int argc, char* argv[])
{
    QCoreApplication App(argc, argv);
    if (qEnvironmentVariableIsSet(Alone_Variable)) {
        Test_Without_Crypto_Module Alone;
        return QTest::qExec(&Alone, argc, argv);
    }
    Test_Crypto_Module Built;
    return QTest::qExec(&Built, argc, argv);
}

#include "test_crypto_module.moc"
