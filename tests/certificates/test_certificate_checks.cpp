// Which checks fire for the TLS material and the known-certificates list,
// with keys and certificates made at run time.
#include "certificates/Certificate_Checks.h"
#include "certificates/Pem_Contents.h"
#include "support/Test_Certificates.h"

#include <QtTest>

#include <optional>

using namespace Certificates;

namespace {
const QDateTime Now(QDate(2026, 6, 1), QTime(12, 0), Qt::UTC);
const QString Password = QStringLiteral("s3cret");

QString Name_Of(Problem What)
{
    switch (What) {
    case Problem::No_Private_Key: return QStringLiteral("No_Private_Key");
    case Problem::Several_Private_Keys: return QStringLiteral("Several_Private_Keys");
    case Problem::No_Certificate: return QStringLiteral("No_Certificate");
    case Problem::Key_In_Certificate_Box: return QStringLiteral("Key_In_Certificate_Box");
    case Problem::Key_Password_Wrong: return QStringLiteral("Key_Password_Wrong");
    case Problem::Key_In_List: return QStringLiteral("Key_In_List");
    case Problem::Not_Single_Certificate: return QStringLiteral("Not_Single_Certificate");
    case Problem::Key_Mismatch: return QStringLiteral("Key_Mismatch");
    case Problem::Not_Signed_By_Root: return QStringLiteral("Not_Signed_By_Root");
    case Problem::Expired: return QStringLiteral("Expired");
    case Problem::Not_Yet_Valid: return QStringLiteral("Not_Yet_Valid");
    case Problem::Expires_Soon: return QStringLiteral("Expires_Soon");
    case Problem::Listed_Twice: return QStringLiteral("Listed_Twice");
    case Problem::Empty_Box: return QStringLiteral("Empty_Box");
    case Problem::No_Enabled_Known: return QStringLiteral("No_Enabled_Known");
    case Problem::Reader_Missing: return QStringLiteral("Reader_Missing");
    }
    return {};
}

QString Name_Of(Place Where)
{
    switch (Where) {
    case Place::Key: return QStringLiteral("Key");
    case Place::Key_Password: return QStringLiteral("Key_Password");
    case Place::Server_Certificate: return QStringLiteral("Server");
    case Place::Root_Certificate: return QStringLiteral("Root");
    case Place::Enable_Known_Cert: return QStringLiteral("Only_Known");
    case Place::Known_Row: return QStringLiteral("Row");
    }
    return {};
}

// "Problem@Place" (with the row for list rows), blocking ones marked "!".
QStringList Fired(const QList<Finding>& Findings)
{
    QStringList Names;
    for (const Finding& One : Findings) {
        QString Name = (One.Level == Severity::Blocking ? QStringLiteral("!") : QString()) + Name_Of(One.What)
                       + u'@' + Name_Of(One.Where);
        if (One.Where == Place::Known_Row)
            Name += QString::number(One.Row);
        Names.append(Name);
    }
    return Names;
}
} // namespace

Q_DECLARE_METATYPE(Server_Material)
Q_DECLARE_METATYPE(QList<Known_Certificate>)

class Test_Certificate_Checks : public QObject {
    Q_OBJECT

    std::optional<Test_Pki::Set> Pki;
    Lang_Table Lang;

    Server_Material Good() const
    {
        return {true, Pki->Server_Key.Pem(), QString(), Pki->Server.Pem(), Pki->Root.Pem(), false};
    }

private slots:
    void initTestCase()
    {
        Pki.emplace(Now);
        Lang.Create_Default_Strings();
    }

    void Server_checks_data()
    {
        QTest::addColumn<Server_Material>("Material");
        QTest::addColumn<QList<Known_Certificate>>("Known");
        QTest::addColumn<QStringList>("Expected");

        const Test_Pki::Set& P = *Pki;
        const QList<Known_Certificate> None;
        const QList<Known_Certificate> One_Enabled{{true, P.Unrelated.Pem(), {}}};
        const QList<Known_Certificate> Only_Disabled{{false, P.Unrelated.Pem(), {}}};
        const auto With = [&](auto Change) {
            Server_Material M = Good();
            Change(M);
            return M;
        };

        QTest::newRow("all sound") << Good() << None << QStringList();
        QTest::newRow("TLS off: nothing is looked at")
            << With([&](Server_Material& M) {
                   M.TLS_Enabled = false;
                   M.Key = QStringLiteral("rubbish");
                   M.Root_Certificate = P.Root_Key.Pem();
               })
            << None << QStringList();
        QTest::newRow("certificate in the key box")
            << With([&](Server_Material& M) { M.Key = P.Server.Pem(); }) << None << QStringList{"!No_Private_Key@Key"};
        QTest::newRow("prose in the key box")
            << With([&](Server_Material& M) { M.Key = QStringLiteral("key goes here"); }) << None
            << QStringList{"!No_Private_Key@Key"};
        QTest::newRow("two keys in the key box")
            << With([&](Server_Material& M) { M.Key = P.Server_Key.Pem() + P.Other_Key.Pem(); }) << None
            << QStringList{"!Several_Private_Keys@Key"};
        QTest::newRow("encrypted key, right password")
            << With([&](Server_Material& M) {
                   M.Key = P.Server_Key.Encrypted_Pem(Password);
                   M.Key_Password = Password;
               })
            << None << QStringList();
        QTest::newRow("encrypted key, wrong password")
            << With([&](Server_Material& M) {
                   M.Key = P.Server_Key.Encrypted_Pem(Password);
                   M.Key_Password = QStringLiteral("s3cret ");
               })
            << None << QStringList{"!Key_Password_Wrong@Key_Password"};
        QTest::newRow("encrypted key, no password")
            << With([&](Server_Material& M) { M.Key = P.Server_Key.Traditional_Encrypted_Pem(Password); }) << None
            << QStringList{"!Key_Password_Wrong@Key_Password"};
        QTest::newRow("key of another certificate")
            << With([&](Server_Material& M) { M.Key = P.Unrelated_Key.Pem(); }) << None
            << QStringList{"Key_Mismatch@Key"};
        QTest::newRow("encrypted key of another certificate, opened")
            << With([&](Server_Material& M) {
                   M.Key = P.Root_Key.Encrypted_Pem(Password);
                   M.Key_Password = Password;
               })
            << None << QStringList{"Key_Mismatch@Key"};
        QTest::newRow("key in the server certificate box")
            << With([&](Server_Material& M) { M.Server_Certificate = P.Server.Pem() + P.Server_Key.Pem(); }) << None
            << QStringList{"!Key_In_Certificate_Box@Server"};
        QTest::newRow("root key in the root certificate box")
            << With([&](Server_Material& M) { M.Root_Certificate = P.Root_Key.Pem(); }) << None
            << QStringList{"!Key_In_Certificate_Box@Root"};
        QTest::newRow("prose in the root certificate box")
            << With([&](Server_Material& M) { M.Root_Certificate = QStringLiteral("ask IT"); }) << None
            << QStringList{"!No_Certificate@Root"};
        QTest::newRow("server certificate not signed by the root")
            << With([&](Server_Material& M) {
                   M.Key = P.Unrelated_Key.Pem();
                   M.Server_Certificate = P.Unrelated.Pem();
               })
            << None << QStringList{"Not_Signed_By_Root@Server"};
        QTest::newRow("root box holds an unrelated certificate")
            << With([&](Server_Material& M) { M.Root_Certificate = P.Unrelated.Pem(); }) << None
            << QStringList{"Not_Signed_By_Root@Server"};
        QTest::newRow("server certificate expired")
            << With([&](Server_Material& M) {
                   M.Key = P.Other_Key.Pem();
                   M.Server_Certificate = P.Expired.Pem();
               })
            << None << QStringList{"Expired@Server"};
        QTest::newRow("server certificate not yet valid")
            << With([&](Server_Material& M) {
                   M.Key = P.Other_Key.Pem();
                   M.Server_Certificate = P.Future.Pem();
               })
            << None << QStringList{"Not_Yet_Valid@Server"};
        QTest::newRow("server certificate expires in 10 days")
            << With([&](Server_Material& M) {
                   M.Key = P.Other_Key.Pem();
                   M.Server_Certificate = P.Expiring.Pem();
               })
            << None << QStringList{"Expires_Soon@Server"};
        QTest::newRow("expired certificate in the root box, behind the root")
            << With([&](Server_Material& M) { M.Root_Certificate = P.Root.Pem() + P.Expired.Pem(); }) << None
            << QStringList{"Expired@Root"};
        QTest::newRow("chain in the server box, root in the root box")
            << With([&](Server_Material& M) { M.Server_Certificate = P.Server.Pem() + P.Root.Pem(); }) << None
            << QStringList();
        QTest::newRow("all three empty")
            << With([&](Server_Material& M) {
                   M.Key = QStringLiteral(" ");
                   M.Server_Certificate.clear();
                   M.Root_Certificate = QStringLiteral("\r\n");
               })
            << None << QStringList{"Empty_Box@Key", "Empty_Box@Server", "Empty_Box@Root"};
        QTest::newRow("only known, none listed")
            << With([&](Server_Material& M) { M.Only_Known = true; }) << None
            << QStringList{"No_Enabled_Known@Only_Known"};
        QTest::newRow("only known, only a disabled one")
            << With([&](Server_Material& M) { M.Only_Known = true; }) << Only_Disabled
            << QStringList{"No_Enabled_Known@Only_Known"};
        QTest::newRow("only known, one enabled")
            << With([&](Server_Material& M) { M.Only_Known = true; }) << One_Enabled << QStringList();
        QTest::newRow("every field at fault, in field order")
            << With([&](Server_Material& M) {
                   M.Key = P.Server_Key.Encrypted_Pem(Password);
                   M.Server_Certificate = P.Expired.Pem();
                   M.Root_Certificate = P.Unrelated.Pem() + P.Unrelated_Key.Pem();
                   M.Only_Known = true;
               })
            << None
            << QStringList{"!Key_Password_Wrong@Key_Password", "Expired@Server", "!Key_In_Certificate_Box@Root",
                           "No_Enabled_Known@Only_Known"};
    }

    void Server_checks()
    {
        QFETCH(Server_Material, Material);
        QFETCH(QList<Known_Certificate>, Known);
        QFETCH(QStringList, Expected);
        const Server_Material Before = Material;
        const QList<Finding> Findings = Check_Server(Material, Known, Now, Lang);
        QCOMPARE(Fired(Findings), Expected);
        for (const Finding& One : Findings)
            QVERIFY2(!One.Text.isEmpty() && !One.Text.contains(u'%'), qPrintable(One.Text));
        QCOMPARE(Material.Key, Before.Key);
    }

    void Texts_name_the_field_and_the_certificate()
    {
        Server_Material M = Good();
        M.Key = P().Other_Key.Pem();
        M.Server_Certificate = P().Expired.Pem();
        const QList<Finding> Findings = Check_Server(M, {}, Now, Lang);
        QCOMPARE(Fired(Findings), (QStringList{"Expired@Server"}));
        QCOMPARE(Findings[0].Text,
                 QStringLiteral("Server Certificate: the certificate CN=old-client has expired on 2025-06-01"));

        M = Good();
        M.Root_Certificate = P().Unrelated.Pem();
        QCOMPARE(Check_Server(M, {}, Now, Lang)[0].Text,
                 QStringLiteral("Server Certificate: the server certificate is not signed by the root certificate "
                                "(unable to get local issuer certificate)"));

        M = Good();
        M.Key = P().Server.Pem();
        QCOMPARE(Check_Server(M, {}, Now, Lang)[0].Text,
                 QStringLiteral("Key: the text holds no private key "
                                "(CN=plant-north, valid until 2028-06-01, RSA 2048)"));
    }

    void The_30_day_edge()
    {
        // A certificate valid until exactly 30 days from now warns; one day more does not.
        const Test_Pki::Made_Key Key = Test_Pki::Make_Key(Test_Pki::Key_Type::EC_P256);
        for (const auto& [Days, Expected] : {std::pair{30, true}, std::pair{31, false}}) {
            const Test_Pki::Made_Certificate Made = Test_Pki::Make_Certificate(
                {QStringLiteral("edge"), QStringLiteral("Test"), &Key, &P().Root, &P().Root_Key, Now.addYears(-1),
                 Now.addDays(Days), false, 40 + Days});
            const QList<Finding> Findings = Check_Known_List({{true, Made.Pem(), {}}}, false, Now, Lang);
            QCOMPARE(Fired(Findings).contains(QStringLiteral("Expires_Soon@Row1")), Expected);
        }
    }

    void Known_list_checks_data()
    {
        QTest::addColumn<QList<Known_Certificate>>("Rows");
        QTest::addColumn<bool>("Only_Known");
        QTest::addColumn<QStringList>("Expected");

        const Test_Pki::Set& P = *Pki;
        QTest::newRow("two sound certificates")
            << QList<Known_Certificate>{{true, P.Unrelated.Pem(), "stranger"}, {true, P.Server.Pem(), {}}} << true
            << QStringList();
        QTest::newRow("a private key, enabled or not")
            << QList<Known_Certificate>{{true, P.Unrelated.Pem(), {}}, {false, P.Server_Key.Pem(), {}},
                                        {true, P.Server.Pem() + P.Server_Key.Pem(), {}}}
            << false << QStringList{"!Key_In_List@Row2", "!Key_In_List@Row3"};
        QTest::newRow("two certificates in one row")
            << QList<Known_Certificate>{{true, P.Server.Pem() + P.Root.Pem(), {}}} << false
            << QStringList{"!Not_Single_Certificate@Row1"};
        QTest::newRow("prose and a certificate request")
            << QList<Known_Certificate>{{true, QStringLiteral("the plant's laptop"), {}},
                                        {true,
                                         QStringLiteral("-----BEGIN CERTIFICATE REQUEST-----\nMAA=\n"
                                                        "-----END CERTIFICATE REQUEST-----"),
                                         {}}}
            << false << QStringList{"!Not_Single_Certificate@Row1", "!Not_Single_Certificate@Row2"};
        QTest::newRow("listed twice, line ends aside")
            << QList<Known_Certificate>{{true, P.Server.Pem(), {}},
                                        {true, P.Unrelated.Pem(), {}},
                                        {false, QString(P.Server.Pem()).replace("\n", "\r\n"), {}}}
            << false << QStringList{"Listed_Twice@Row3"};
        QTest::newRow("dates of enabled rows only")
            << QList<Known_Certificate>{{true, P.Expired.Pem(), {}},  {true, P.Future.Pem(), {}},
                                        {true, P.Expiring.Pem(), {}}, {false, P.Expired.Pem(), {}}}
            << false << QStringList{"Expired@Row1", "Not_Yet_Valid@Row2", "Expires_Soon@Row3", "Listed_Twice@Row4"};
        QTest::newRow("only known in force, all disabled")
            << QList<Known_Certificate>{{false, P.Unrelated.Pem(), {}}} << true
            << QStringList{"No_Enabled_Known@Only_Known"};
        QTest::newRow("only known not in force, empty list") << QList<Known_Certificate>{} << false << QStringList();
    }

    void Known_list_checks()
    {
        QFETCH(QList<Known_Certificate>, Rows);
        QFETCH(bool, Only_Known);
        QFETCH(QStringList, Expected);
        const QList<Finding> Findings = Check_Known_List(Rows, Only_Known, Now, Lang);
        QCOMPARE(Fired(Findings), Expected);
        for (const Finding& One : Findings)
            QVERIFY2(!One.Text.isEmpty() && !One.Text.contains(u'%'), qPrintable(One.Text));
    }

    void Row_texts_name_the_row_and_its_description()
    {
        const QList<Finding> Findings = Check_Known_List(
            {{true, P().Server.Pem(), QStringLiteral("north\nplant")}, {true, P().Server_Key.Pem(), QString()},
             {true, P().Server.Pem(), QStringLiteral("again")}},
            false, Now, Lang);
        QCOMPARE(Fired(Findings), (QStringList{"!Key_In_List@Row2", "Listed_Twice@Row3"}));
        QCOMPARE(Findings[0].Text, QStringLiteral("Row 2: holds a private key; only certificates may be listed"));
        QCOMPARE(Findings[1].Text, QStringLiteral("Row 3 (again): the same certificate as Row 1 (north plant)"));
    }

    void First_blocking_and_the_warnings_question()
    {
        Server_Material M = Good();
        M.Key = QStringLiteral("x");
        M.Server_Certificate = P().Expired.Pem();
        M.Root_Certificate = P().Root_Key.Pem();
        const QList<Finding> Findings = Check_Server(M, {}, Now, Lang);
        const std::optional<Finding> First = First_Blocking(Findings);
        QVERIFY(First);
        QCOMPARE(First->What, Problem::No_Private_Key);
        const QList<Finding> Warnings = Warnings_Of(Findings);
        QCOMPARE(Fired(Warnings), (QStringList{"Expired@Server"}));
        QCOMPARE(Warnings_Question(Warnings, 609, Lang),
                 QStringLiteral("Please check the TLS settings:\n"
                                "- Server Certificate: the certificate CN=old-client has expired on 2025-06-01\n\n"
                                "Do you want to save anyway?"));
        QVERIFY(!First_Blocking(Warnings));
    }

    // Whether "only known certificates" leaves the device with any is judged
    // by what the compiler sends (Enable exactly "Y"), not by how the list's
    // editor shows a hand-edited row.
    void Known_certificates_as_sent_data()
    {
        QTest::addColumn<QByteArray>("Enable");
        QTest::addColumn<bool>("Sent");
        QTest::newRow("Y") << QByteArray(" Enable=\"Y\"") << true;
        QTest::newRow("lower-case y") << QByteArray(" Enable=\"y\"") << false;
        QTest::newRow("blank before Y") << QByteArray(" Enable=\" Y\"") << false;
        QTest::newRow("empty") << QByteArray(" Enable=\"\"") << false;
        QTest::newRow("missing") << QByteArray() << false;
        QTest::newRow("N") << QByteArray(" Enable=\"N\"") << false;
    }

    void Known_certificates_as_sent()
    {
        QFETCH(QByteArray, Enable);
        QFETCH(bool, Sent);
        QTemporaryDir Dir;
        const QString Path = Dir.filePath(QStringLiteral("TLS_Known_Cert.xml"));
        QFile File(Path);
        QVERIFY(File.open(QIODevice::WriteOnly));
        File.write("<TLS_Known_Cert><row" + Enable + " Certificate=\"" + P().Unrelated.Pem().toUtf8()
                   + "\" Mnemonic=\"Client\"/></TLS_Known_Cert>");
        File.close();

        const QList<Known_Certificate> Rows = Known_Certificates_Sent(Path);
        QCOMPARE(Rows.size(), 1);
        QCOMPARE(Rows[0].Enabled, Sent);
        QCOMPARE(Rows[0].Certificate, P().Unrelated.Pem());
        QCOMPARE(Rows[0].Mnemonic, QStringLiteral("Client"));
        Server_Material M = Good();
        M.Only_Known = true;
        QCOMPARE(Fired(Check_Server(M, Rows, Now, Lang)).contains("No_Enabled_Known@Only_Known"), !Sent);
    }

private:
    const Test_Pki::Set& P() const { return *Pki; }
};

QTEST_GUILESS_MAIN(Test_Certificate_Checks)
#include "test_certificate_checks.moc"
