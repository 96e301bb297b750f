// What reading a pasted key or certificate text finds, with keys and
// certificates made at run time.
#include "certificates/Pem_Contents.h"
#include "support/Test_Certificates.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <openssl/err.h>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

#include <optional>

using namespace Certificates;

namespace {
const QDateTime Now(QDate(2026, 6, 1), QTime(12, 0), Qt::UTC);
const QString Password = QStringLiteral("s3cret-Pässword");

QString With_Crlf(QString Text) { return Text.replace(QLatin1String("\n"), QLatin1String("\r\n")); }
QString With_Cr(QString Text) { return Text.replace(QLatin1String("\n"), QLatin1String("\r")); }
// As a text box or a careless paste gives it: blanks around every line.
QString Indented(const QString& Text)
{
    QStringList Lines = Text.split(u'\n');
    for (QString& Line : Lines)
        if (!Line.isEmpty())
            Line = QStringLiteral("   ") + Line + QStringLiteral("\t ");
    return Lines.join(u'\n');
}
} // namespace

class Test_Pem_Contents : public QObject {
    Q_OBJECT

    std::optional<Test_Pki::Set> Pki;
    Test_Pki::Made_Key Ec_Key;

private slots:
    void initTestCase()
    {
        Pki.emplace(Now);
        Ec_Key = Test_Pki::Make_Key(Test_Pki::Key_Type::EC_P256);
    }

    void Reads_data()
    {
        QTest::addColumn<QString>("Text");
        QTest::addColumn<QString>("Password");
        QTest::addColumn<int>("Certificates");
        QTest::addColumn<int>("Keys");
        QTest::addColumn<bool>("Encrypted");
        QTest::addColumn<bool>("Opened");
        QTest::addColumn<QString>("Summary");

        const Test_Pki::Set& P = *Pki;
        QTest::newRow("blank") << QStringLiteral(" \n\t ") << QString() << 0 << 0 << false << false << QString();
        QTest::newRow("root") << P.Root.Pem() << QString() << 1 << 0 << false << false
                              << QStringLiteral("CN=Plant Root CA, valid until 2036-06-01, RSA 2048");
        QTest::newRow("server, CR LF") << With_Crlf(P.Server.Pem()) << QString() << 1 << 0 << false << false
                                       << QStringLiteral("CN=plant-north, valid until 2028-06-01, RSA 2048");
        QTest::newRow("server, CR only") << With_Cr(P.Server.Pem()) << QString() << 1 << 0 << false << false
                                         << QStringLiteral("CN=plant-north, valid until 2028-06-01, RSA 2048");
        QTest::newRow("server, indented lines") << Indented(P.Server.Pem()) << QString() << 1 << 0 << false << false
                                                << QStringLiteral("CN=plant-north, valid until 2028-06-01, RSA 2048");
        QTest::newRow("unrelated EC") << P.Unrelated.Pem() << QString() << 1 << 0 << false << false
                                      << QStringLiteral("CN=stranger, valid until 2027-06-01, EC 256");
        QTest::newRow("expired") << P.Expired.Pem() << QString() << 1 << 0 << false << false
                                 << QStringLiteral("CN=old-client, EXPIRED on 2025-06-01, EC 256");
        QTest::newRow("not yet valid") << P.Future.Pem() << QString() << 1 << 0 << false << false
                                       << QStringLiteral("CN=next-client, not valid before 2027-06-01, EC 256");
        QTest::newRow("chain of two") << P.Server.Pem() + P.Root.Pem() << QString() << 2 << 0 << false << false
                                      << QStringLiteral("CN=plant-north, valid until 2028-06-01, RSA 2048 (and 1 more)");
        QTest::newRow("plain RSA key") << P.Server_Key.Pem() << QString() << 0 << 1 << false << true
                                       << QStringLiteral("RSA 2048 private key");
        QTest::newRow("plain EC key") << Ec_Key.Pem() << QString() << 0 << 1 << false << true
                                      << QStringLiteral("EC 256 private key");
        QTest::newRow("encrypted key, right password")
            << P.Server_Key.Encrypted_Pem(Password) << Password << 0 << 1 << true << true
            << QStringLiteral("RSA 2048 private key, encrypted");
        QTest::newRow("encrypted key, no password")
            << P.Server_Key.Encrypted_Pem(Password) << QString() << 0 << 1 << true << false
            << QStringLiteral("private key, encrypted");
        QTest::newRow("encrypted key, wrong password")
            << P.Server_Key.Encrypted_Pem(Password) << QStringLiteral("guess") << 0 << 1 << true << false
            << QStringLiteral("private key, encrypted, the password does not open it");
        QTest::newRow("traditional encrypted EC key, right password")
            << Ec_Key.Traditional_Encrypted_Pem(Password) << Password << 0 << 1 << true << true
            << QStringLiteral("EC 256 private key, encrypted");
        QTest::newRow("traditional encrypted RSA key, no password")
            << P.Server_Key.Traditional_Encrypted_Pem(Password) << QString() << 0 << 1 << true << false
            << QStringLiteral("RSA private key, encrypted");
        QTest::newRow("key and certificate") << P.Server.Pem() + P.Server_Key.Pem() << QString() << 1 << 1 << false
                                             << true
                                             << QStringLiteral("CN=plant-north, valid until 2028-06-01, RSA 2048; "
                                                               "RSA 2048 private key");
        QTest::newRow("prose") << QStringLiteral("paste the certificate here") << QString() << 0 << 0 << false << false
                               << QStringLiteral("not a PEM or DER key or certificate");
        QString Broken = P.Server.Pem();
        Broken.replace(70, 8, QStringLiteral("!!!!!!!!"));
        QTest::newRow("broken base64") << Broken << QString() << 0 << 0 << false << false
                                       << QStringLiteral("not a PEM or DER key or certificate");
        QTest::newRow("public key only")
            << QStringLiteral("-----BEGIN PUBLIC KEY-----\nMAA=\n-----END PUBLIC KEY-----\n") << QString() << 0 << 0
            << false << false << QStringLiteral("not a certificate: PUBLIC KEY");
    }

    void Reads()
    {
        QFETCH(QString, Text);
        QFETCH(QString, Password);
        QFETCH(int, Certificates);
        QFETCH(int, Keys);
        QFETCH(bool, Encrypted);
        QFETCH(bool, Opened);
        QFETCH(QString, Summary);

        Lang_Table Lang;
        Lang.Create_Default_Strings();
        const Pem_Contents Found = Read_Pem(Text, Password).value();
        QCOMPARE(Found.Certificates.size(), Certificates);
        QCOMPARE(Found.Keys.size(), Keys);
        if (Keys > 0) {
            QCOMPARE(Found.Keys[0].Encrypted, Encrypted);
            QCOMPARE(Found.Keys[0].Opened, Opened);
            QCOMPARE(Found.Keys[0].Public_Key.isEmpty(), !Opened);
        }
        QCOMPARE(Certificates::Summary(Found, Now, Lang), Summary);
        // OpenSSL's own reason, where the line does not give it, is in the details.
        if (!Found.Usable() && !Summary.contains(Found.Error))
            QVERIFY(Certificates::Details(Found, Now, Lang).contains(Lang[1537].arg(Found.Error)));
        // Reading leaves no error behind for the next OpenSSL user.
        QCOMPARE(ERR_peek_error(), 0UL);
    }

    // Opening an encrypted key runs its key derivation whatever the password;
    // a stated cost past the ceiling is refused before it runs (without the
    // ceiling the refused rows below would take minutes to hours each).
    void Refuses_costly_key_derivation_data()
    {
        QTest::addColumn<QString>("Text");
        QTest::addColumn<bool>("Opened");
        QTest::addColumn<QString>("Reason");

        const Test_Pki::Made_Key& Key = Ec_Key;
        QTest::newRow("PBKDF2 2^31-1") << Key.Pbkdf2_Pem(Password, 2048, 2147483647) << false
                                       << QStringLiteral("asks for 2147483647 key-derivation iterations, more than 10000000");
        QTest::newRow("PBKDF2 one past") << Key.Pbkdf2_Pem(Password, 2048, Max_Key_Iterations + 1) << false
                                         << QStringLiteral("asks for 10000001 key-derivation iterations");
        QTest::newRow("PKCS#12 scheme 2^31-1") << Key.Pkcs12_Pbe_Pem(Password, 2147483647) << false
                                               << QStringLiteral("asks for 2147483647 key-derivation iterations");
        QTest::newRow("scrypt p=4096") << Key.Scrypt_Pem(Password, 16384, 8, 4096) << false
                                       << QStringLiteral("scrypt work N=16384, r=8, p=4096");
        QTest::newRow("PBKDF2 100000 opens") << Key.Pbkdf2_Pem(Password, 100000, 100000) << true << QString();
        QTest::newRow("scrypt N=1024 opens") << Key.Scrypt_Pem(Password, 1024, 8, 1) << true << QString();
    }

    void Refuses_costly_key_derivation()
    {
        QFETCH(QString, Text);
        QFETCH(bool, Opened);
        QFETCH(QString, Reason);

        Lang_Table Lang;
        Lang.Create_Default_Strings();
        for (const QString& Given : {Password, QString()}) {
            const Pem_Contents Found = Read_Pem(Text, Given).value();
            QCOMPARE(Found.Keys.size(), 1);
            const Private_Key_Info& Key = Found.Keys[0];
            QVERIFY(Key.Encrypted);
            QCOMPARE(Key.Opened, Opened && !Given.isEmpty());
            QCOMPARE(Key.Too_Costly, !Reason.isEmpty());
            if (!Reason.isEmpty()) {
                QVERIFY2(Key.Error.contains(Reason), qPrintable(Key.Error));
                QVERIFY(Key.Error.endsWith(QStringLiteral("it is not tried")));
                QVERIFY(Certificates::Summary(Found, Now, Lang).contains(Key.Error));
            }
            QCOMPARE(ERR_peek_error(), 0UL);
        }
    }

    void Describes_a_certificate_whole()
    {
        const Pem_Contents Root = Read_Pem(Pki->Root.Pem()).value();
        const Pem_Contents Server = Read_Pem(Pki->Server.Pem()).value();
        QCOMPARE(Root.Certificates.size(), 1);
        QCOMPARE(Server.Certificates.size(), 1);
        const Certificate_Info& R = Root.Certificates[0];
        const Certificate_Info& S = Server.Certificates[0];
        QCOMPARE(S.Subject, QStringLiteral("CN=plant-north, O=Test Plant"));
        QCOMPARE(S.Common_Name, QStringLiteral("plant-north"));
        QCOMPARE(S.Issuer, QStringLiteral("CN=Plant Root CA, O=Test Plant"));
        QCOMPARE(S.Not_Before, Now.addDays(-1));
        QCOMPARE(S.Not_After, Now.addYears(2));
        QCOMPARE(S.Serial, QStringLiteral("02"));
        QVERIFY(R.Is_CA);
        QVERIFY(!S.Is_CA);
        QCOMPARE(S.Key.Type, QStringLiteral("RSA"));
        QCOMPARE(S.Key.Bits, 2048);
        // The fingerprint is the SHA-256 of the DER certificate.
        const QByteArray Expected = QCryptographicHash::hash(Pki->Server.Der(), QCryptographicHash::Sha256);
        QCOMPARE(S.Fingerprint, QString::fromLatin1(Expected.toHex(':').toUpper()));
        QCOMPARE(S.Der, Pki->Server.Der());
        // The key the certificate carries is the one its private key holds.
        QCOMPARE(S.Public_Key, Read_Pem(Pki->Server_Key.Pem()).value().Keys[0].Public_Key);
        QVERIFY(S.Public_Key != R.Public_Key);
    }

    void Reads_a_name_outside_ascii()
    {
        const Test_Pki::Made_Certificate Made = Test_Pki::Make_Certificate(
            {QStringLiteral("Umspannwerk Süd"), QStringLiteral("Città"), &Ec_Key, nullptr, nullptr, Now.addDays(-1),
             Now.addDays(100), false, 9});
        const Pem_Contents Found = Read_Pem(Made.Pem()).value();
        QCOMPARE(Found.Certificates.size(), 1);
        QCOMPARE(Found.Certificates[0].Common_Name, QStringLiteral("Umspannwerk Süd"));
        QCOMPARE(Found.Certificates[0].Subject, QStringLiteral("CN=Umspannwerk Süd, O=Città"));
    }

    void Tells_blocks_apart()
    {
        const Pem_Contents Found = Read_Pem(QStringLiteral("junk before\n") + Pki->Server.Pem()
                                         + QStringLiteral("-----BEGIN CERTIFICATE REQUEST-----\nMAA=\n"
                                                          "-----END CERTIFICATE REQUEST-----\n")).value();
        QCOMPARE(Found.Certificates.size(), 1);
        QCOMPARE(Found.Other_Blocks, QStringList{QStringLiteral("CERTIFICATE REQUEST")});
        QVERIFY(!Found.Is_Single_Certificate());
        QVERIFY(Read_Pem(Pki->Server.Pem()).value().Is_Single_Certificate());

        // A certificate block whose content is no certificate is named with OpenSSL's reason.
        const Pem_Contents Garbage =
            Read_Pem(QStringLiteral("-----BEGIN CERTIFICATE-----\nAAAA\n-----END CERTIFICATE-----\n")).value();
        QVERIFY(!Garbage.Usable());
        QCOMPARE(Garbage.Unreadable_Blocks.size(), 1);
        QVERIFY2(Garbage.Error.startsWith(QStringLiteral("CERTIFICATE: ")), qPrintable(Garbage.Error));
        QVERIFY(Garbage.Error.size() > 13);
        QCOMPARE(ERR_peek_error(), 0UL);
    }

    void Converts_files_data()
    {
        QTest::addColumn<QByteArray>("Bytes");
        QTest::addColumn<int>("Certificates");
        QTest::addColumn<int>("Keys");
        QTest::addColumn<bool>("Encrypted");
        QTest::addColumn<QByteArray>("Public_Key");

        const Test_Pki::Set& P = *Pki;
        const QByteArray Server_Public = Read_Pem(P.Server.Pem()).value().Certificates[0].Public_Key;
        const QByteArray Root_Public = Read_Pem(P.Root.Pem()).value().Certificates[0].Public_Key;
        const QByteArray Ec_Public = Read_Pem(Ec_Key.Pem()).value().Keys[0].Public_Key;
        QTest::newRow("PEM certificate") << P.Server.Pem().toLatin1() << 1 << 0 << false << Server_Public;
        QTest::newRow("PEM with byte-order mark and CR LF")
            << QByteArray("\xEF\xBB\xBF") + With_Crlf(P.Server.Pem()).toLatin1() << 1 << 0 << false << Server_Public;
        QTest::newRow("DER certificate") << P.Root.Der() << 1 << 0 << false << Root_Public;
        QTest::newRow("DER key") << P.Server_Key.Der() << 0 << 1 << false << Server_Public;
        QTest::newRow("DER EC key") << Ec_Key.Der() << 0 << 1 << false << Ec_Public;
        QTest::newRow("DER encrypted key") << P.Server_Key.Encrypted_Der(Password) << 0 << 1 << true << Server_Public;
        QTest::newRow("PEM encrypted key") << P.Server_Key.Encrypted_Pem(Password).toLatin1() << 0 << 1 << true
                                           << Server_Public;
    }

    void Converts_files()
    {
        QFETCH(QByteArray, Bytes);
        QFETCH(int, Certificates);
        QFETCH(int, Keys);
        QFETCH(bool, Encrypted);
        QFETCH(QByteArray, Public_Key);

        const std::expected<QString, QString> Pem = File_To_Pem(Bytes, Lang_Table());
        QVERIFY2(Pem.has_value(), qPrintable(Pem.error()));
        QVERIFY(!Pem->contains(u'\r'));
        QVERIFY(!Pem->startsWith(QChar(0xFEFF)));
        const Pem_Contents Found = Read_Pem(*Pem, Password).value();
        QCOMPARE(Found.Certificates.size(), Certificates);
        QCOMPARE(Found.Keys.size(), Keys);
        // Converted, the key or certificate is still the same.
        if (Keys > 0) {
            QCOMPARE(Found.Keys[0].Encrypted, Encrypted);
            QVERIFY(Found.Keys[0].Opened);
            QCOMPARE(Found.Keys[0].Public_Key, Public_Key);
        } else {
            QCOMPARE(Found.Certificates[0].Public_Key, Public_Key);
        }
    }

    void Loads_files_and_refuses_what_is_no_key_or_certificate()
    {
        QTemporaryDir Dir;
        Lang_Table Lang;
        Lang.Create_Default_Strings();
        const auto Write = [&](const QString& Name, const QByteArray& Bytes) {
            QFile File(Dir.filePath(Name));
            File.open(QIODevice::WriteOnly);
            File.write(Bytes);
            return File.fileName();
        };
        const auto Der = Load_File(Write(QStringLiteral("root.cer"), Pki->Root.Der()), Lang);
        QVERIFY(Der.has_value());
        QCOMPARE(*Der, Pki->Root.Pem());
        const auto Key = Load_File(Write(QStringLiteral("server.key"), Pki->Server_Key.Pem().toLatin1()), Lang);
        QCOMPARE(*Key, Pki->Server_Key.Pem());

        const auto Text = Load_File(Write(QStringLiteral("notes.pem"), "not a certificate at all\n"), Lang);
        QVERIFY(!Text.has_value());
        QVERIFY2(Text.error().startsWith(QStringLiteral("The file holds no key or certificate: ")), qPrintable(Text.error()));
        QVERIFY(Text.error().size() > QStringLiteral("The file holds no key or certificate: ").size());

        const auto Empty_Pem = Load_File(Write(QStringLiteral("empty.pem"),
                                               "-----BEGIN CERTIFICATE-----\n-----END CERTIFICATE-----\n"), Lang);
        QVERIFY(!Empty_Pem.has_value());

        QVERIFY(!Load_File(Write(QStringLiteral("empty.crt"), QByteArray()), Lang).has_value());
        QVERIFY(!Load_File(Dir.filePath(QStringLiteral("missing.pem")), Lang).has_value());
        QVERIFY(Load_File(Dir.filePath(QStringLiteral("missing.pem")), Lang)
                    .error()
                    .startsWith(QStringLiteral("The file cannot be read: ")));
        const auto Large = Load_File(Write(QStringLiteral("large.pem"),
                                           Pki->Root.Pem().toLatin1() + QByteArray(File_Size_Limit, ' ')), Lang);
        QCOMPARE(Large.error(), QStringLiteral("The file is too large for a key or certificate"));
        QCOMPARE(ERR_peek_error(), 0UL);

        // A FIFO would wait for a writer forever if it were opened to read;
        // a folder is no file either. Both are refused by what they are.
#ifndef Q_OS_WIN // (Windows has no FIFOs.)
        const QString Fifo = Dir.filePath(QStringLiteral("key.pem"));
        QCOMPARE(mkfifo(QFile::encodeName(Fifo).constData(), 0600), 0);
        QCOMPARE(Load_File(Fifo, Lang).error(),
                 QStringLiteral("The file cannot be read: not a regular file but a FIFO"));
#endif
        QVERIFY(QDir(Dir.path()).mkdir(QStringLiteral("cert.pem")));
        QCOMPARE(Load_File(Dir.filePath(QStringLiteral("cert.pem")), Lang).error(),
                 QStringLiteral("The file cannot be read: not a regular file but a folder"));
    }
};

QTEST_GUILESS_MAIN(Test_Pem_Contents)
#include "test_pem_contents.moc"
