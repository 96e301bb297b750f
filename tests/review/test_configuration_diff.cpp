// Comparing two configurations by what the device is given.
#include "certificates/Pem_Contents.h"
#include "foundation/Lang_Strings.h"
#include "project/Known_Cert_File.h"
#include "project/Par_Gen_File.h"
#include "project/Variables_File.h"
#include "review/Configuration_Diff.h"
#include "support/Fixed_Separator.h"
#include "support/Test_Certificates.h"
#include "support/Test_Files.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

#include <functional>

using Test_Support::Write_File;

namespace {

// The three files of a configuration, as the editors write them.
struct Config {
    Par_Gen::Values Par = Par_Gen::Defaults();
    QList<QStringList> Variables;
    QList<QStringList> Known;

    void Write(const QString& Dir) const
    {
        QDir().mkpath(Dir);
        QVERIFY(Par_Gen::Save(Dir + "/ParGen.xml", Par));
        QVERIFY(Variables_File::Save(Dir + "/IEC61850_Variables.xml", Variables));
        QVERIFY(Known_Cert_File::Save(Dir + "/TLS_Known_Cert.xml", Known));
    }
    QStringList& Variable(const QString& Name)
    {
        for (QStringList& Row : Variables)
            if (Row[Variables_File::Name] == Name)
                return Row;
        qFatal("no variable %s", qPrintable(Name));
    }
};

using Change = std::function<void(Config&)>;

// Made once: keys and certificates take a while.
struct Material {
    Test_Pki::Set Pki{QDateTime::currentDateTimeUtc()};
    QString Fingerprint(const Test_Pki::Made_Certificate& C) const
    {
        return Certificates::Read_Pem(C.Pem()).value().Certificates.first().Fingerprint;
    }
};
Material& Shared()
{
    static Material M;
    return M;
}

Config Base()
{
    const Material& M = Shared();
    Config C;
    C.Par[Par_Gen::IEC61850_Server_Password] = "s3cret-word";
    C.Par[Par_Gen::TLS_Server_Enable] = "1";
    C.Par[Par_Gen::TLS_Server_Enable_Known_Cert] = "1";
    C.Par[Par_Gen::TLS_Server_Key] = M.Pki.Server_Key.Pem();
    C.Par[Par_Gen::TLS_Server_Server_Certificate] = M.Pki.Server.Pem();
    C.Par[Par_Gen::TLS_Server_Root_Certificate] = M.Pki.Root.Pem();
    C.Par[Par_Gen::PROFINET_DIAGNOSTIC_ADDRESS] = "100";
    //                Enable Name     Type             Len  RO   Pos  Bit Conv  Factor  Swap SwapW Mnemonic
    C.Variables = {{"Y", "Temp", "FLOAT", "4", "N", "0", "0", "", "1.5", "N", "N", "temperature"},
                   {"Y", "Level", "INTEGER", "2", "N", "4", "0", "", "None", "N", "N", ""},
                   {"Y", "Alarm", "DIGITAL (BIT)", "1", "Y", "6", "3", "", "None", "N", "N", ""},
                   {"N", "Spare", "INTEGER", "2", "N", "8", "0", "", "None", "N", "N", ""}};
    C.Known = {{"Y", M.Pki.Unrelated.Pem(), "client one"},
               {"Y", M.Pki.Expired.Pem(), "client two"},
               {"N", M.Pki.Future.Pem(), "not yet"}};
    return C;
}

QStringList Lines(const QList<Review::Difference>& Found)
{
    QStringList Out;
    for (const Review::Difference& D : Found)
        Out << D.File + "|" + D.Item + "|" + D.A + "|" + D.B + (D.Sent_To_Device ? "" : "|not sent");
    return Out;
}

} // namespace

Q_DECLARE_METATYPE(Change)

class Test_Configuration_Diff : public QObject {
    Q_OBJECT
private slots:
    void Differences_data();
    void Differences();
    void Known_List_Off_On_Both_Sides();
    void Both_Directions_Mirror();
    void Unreadable_Configurations_data();
    void Unreadable_Configurations();
    void A_Fifo_In_A_File_s_Place_Is_Refused_Without_Waiting();
    void Json_Document();
};

void Test_Configuration_Diff::Differences_data()
{
    QTest::addColumn<Change>("Edit");
    QTest::addColumn<QStringList>("Expected");
    const Material& M = Shared();
    const QString P = "ParGen.xml|";
    const QString V = "IEC61850_Variables.xml|";
    const QString K = "TLS_Known_Cert.xml|";

    QTest::newRow("same") << Change([](Config&) {}) << QStringList{};
    QTest::newRow("same values spelled otherwise") << Change([](Config& C) {
        C.Par[Par_Gen::PROFINET_IP1] = "$C0";
        C.Par[Par_Gen::IEC61850_Server_Port] = " 102";
        C.Variable("Temp")[Variables_File::MultiplicationFactor] = "1,5";
        C.Variable("Level")[Variables_File::Type] = " integer";
    }) << QStringList{};
    QTest::newRow("what the device never gets") << Change([](Config& C) {
        C.Variable("Spare")[Variables_File::Length] = "8";
        // The gateway's octets while the gateway is off.
        C.Par[Par_Gen::PROFINET_GAT1] = "10";
    }) << QStringList{};
    // Descriptions are told, each marked as not given to the device: of an
    // enabled and a disabled variable, of a sent and of a disabled certificate.
    QTest::newRow("descriptions only") << Change([](Config& C) {
        C.Variable("Temp")[Variables_File::Mnemonic] = "other";
        C.Variable("Spare")[Variables_File::Mnemonic] = "reserve";
        C.Known[0][Known_Cert_File::Mnemonic] = "";
        C.Known[2][Known_Cert_File::Mnemonic] = "renamed";
    }) << QStringList{V + "variable Temp: Mnemonic|temperature|other|not sent",
                      V + "variable Spare: Mnemonic||reserve|not sent",
                      K + "certificate SHA-256 " + M.Fingerprint(M.Pki.Unrelated) + ": Mnemonic|client one||not sent",
                      K + "certificate SHA-256 " + M.Fingerprint(M.Pki.Future) + ": Mnemonic|not yet|renamed|not sent"};
    QTest::newRow("a description and a value") << Change([](Config& C) {
        C.Variable("Level")[Variables_File::Mnemonic] = "tank level";
        C.Variable("Level")[Variables_File::Position] = "10";
    }) << QStringList{V + "variable Level: Mnemonic||tank level|not sent", V + "variable Level: Position|4|10"};
    QTest::newRow("one address octet") << Change([](Config& C) { C.Par[Par_Gen::PROFINET_IP4] = "6"; })
                                       << QStringList{P + "PROFINET_IP4|5|6"};
    QTest::newRow("gateway switched on") << Change([](Config& C) { C.Par[Par_Gen::PROFINET_EN_GAT] = "1"; })
                                         << QStringList{P + "PROFINET_EN_GAT|0|1"};
    QTest::newRow("diagnostic switched on")
        << Change([](Config& C) { C.Par[Par_Gen::PROFINET_ENABLE_DIAGNOSTIC] = "1"; })
        << QStringList{P + "PROFINET_ENABLE_DIAGNOSTIC|0|1"};
    QTest::newRow("password never in clear")
        << Change([](Config& C) { C.Par[Par_Gen::IEC61850_Server_Password] = "other-word"; })
        << QStringList{P + "IEC61850_Server_Password|(set, differs)|(set, differs)"};
    QTest::newRow("password removed") << Change([](Config& C) { C.Par[Par_Gen::IEC61850_Server_Password] = ""; })
                                      << QStringList{P + "IEC61850_Server_Password|(set)|(not set)"};
    QTest::newRow("server certificate by fingerprint")
        << Change([&M](Config& C) { C.Par[Par_Gen::TLS_Server_Server_Certificate] = M.Pki.Expiring.Pem(); })
        << QStringList{P + "TLS_Server_Server_Certificate|SHA-256 " + M.Fingerprint(M.Pki.Server) + "|SHA-256 "
                       + M.Fingerprint(M.Pki.Expiring)};
    QTest::newRow("station name") << Change([](Config& C) { C.Par[Par_Gen::PROFINET_NAME_STA] = "line-7"; })
                                  << QStringList{P + "PROFINET_NAME_STA|devicename1|line-7"};
    QTest::newRow("attributes of a variable") << Change([](Config& C) {
        C.Variable("Level")[Variables_File::Position] = "10";
        C.Variable("Level")[Variables_File::Swap] = "Y";
        C.Variable("Temp")[Variables_File::MultiplicationFactor] = "2";
    }) << QStringList{V + "variable Temp: MultiplicationFactor|1.5|2", V + "variable Level: Position|4|10",
                      V + "variable Level: Swap|N|Y"};
    QTest::newRow("variable added at the end") << Change([](Config& C) {
        C.Variables.append({"Y", "Flow", "INTEGER", "2", "N", "20", "0", "", "None", "N", "N", ""});
    }) << QStringList{V + "variable Flow|(absent)|row 5"};
    QTest::newRow("variable removed, the others keep their order")
        << Change([](Config& C) { C.Variables.removeAt(1); }) << QStringList{V + "variable Level|row 2|(absent)"};
    QTest::newRow("two variables swapped") << Change([](Config& C) { C.Variables.swapItemsAt(0, 1); })
                                           << QStringList{V + "variable Temp: moved|row 1|row 2"};
    QTest::newRow("variable disabled") << Change([](Config& C) { C.Variable("Alarm")[Variables_File::Enable] = "N"; })
                                       << QStringList{V + "variable Alarm: Enable|Y|N"};
    QTest::newRow("a second variable of one name") << Change([](Config& C) {
        C.Variables.insert(0, {"Y", "Level", "INTEGER", "2", "N", "30", "0", "", "None", "N", "N", ""});
    }) << QStringList{V + "variable Temp: moved|row 1|row 2", V + "variable Level: Position|4|30",
                      V + "variable Level|(absent)|row 3"};
    QTest::newRow("known certificate disabled")
        << Change([](Config& C) { C.Known[1][Known_Cert_File::Enable] = "N"; })
        << QStringList{K + "certificate SHA-256 " + M.Fingerprint(M.Pki.Expired) + "|row 2, enabled|row 2, disabled"};
    QTest::newRow("known certificates reordered, one with CR LF") << Change([](Config& C) {
        C.Known.swapItemsAt(0, 1);
        C.Known[0][Known_Cert_File::Certificate].replace("\n", "\r\n");
    }) << QStringList{};
    QTest::newRow("known certificate added and one removed") << Change([&M](Config& C) {
        C.Known.removeAt(0);
        C.Known.append({"Y", M.Pki.Root.Pem(), "root"});
    }) << QStringList{K + "certificate SHA-256 " + M.Fingerprint(M.Pki.Unrelated) + "|row 1, enabled|(absent)",
                      K + "certificate SHA-256 " + M.Fingerprint(M.Pki.Root) + "|(absent)|row 3, enabled"};
    QTest::newRow("known list emptied") << Change([](Config& C) { C.Known.clear(); }) << QStringList{K + "certificate SHA-256 " + M.Fingerprint(M.Pki.Unrelated) + "|row 1, enabled|(absent)",
                      K + "certificate SHA-256 " + M.Fingerprint(M.Pki.Expired) + "|row 2, enabled|(absent)"};
}

void Test_Configuration_Diff::Differences()
{
    QFETCH(Change, Edit);
    QFETCH(QStringList, Expected);
    QTemporaryDir Dir;
    const Config A = Base();
    Config B = A;
    Edit(B);
    A.Write(Dir.path() + "/A");
    B.Write(Dir.path() + "/B");
    Fixed_Separator Point(QStringLiteral("."));
    const auto Found = Review::Compare(Dir.path() + "/A", Dir.path() + "/B", Point);
    QVERIFY(Found);
    QCOMPARE(Lines(*Found), Expected);
    // A secret is never shown.
    for (const Review::Difference& D : *Found)
        for (const QString& Text : {D.A, D.B}) {
            QVERIFY(!Text.contains("word"));
            QVERIFY(!Text.contains("PRIVATE KEY"));
        }
}

void Test_Configuration_Diff::Known_List_Off_On_Both_Sides()
{
    // The device is given no known certificate then, whatever the lists hold;
    // with TLS off the list is not sent either.
    for (const int Switch : {int(Par_Gen::TLS_Server_Enable_Known_Cert), int(Par_Gen::TLS_Server_Enable)}) {
        QTemporaryDir Dir;
        Config A = Base();
        A.Par[Switch] = "0";
        Config B = A;
        B.Known.removeAt(0);
        B.Known[0][Known_Cert_File::Enable] = "N";
        A.Write(Dir.path() + "/A");
        B.Write(Dir.path() + "/B");
        Fixed_Separator Point(QStringLiteral("."));
        const auto Found = Review::Compare(Dir.path() + "/A", Dir.path() + "/B", Point);
        QVERIFY(Found);
        QCOMPARE(Lines(*Found), QStringList{});
    }
}

void Test_Configuration_Diff::Both_Directions_Mirror()
{
    // The key changes: shown by its public part's fingerprint only.
    QTemporaryDir Dir;
    Config A = Base();
    Config B = A;
    B.Par[Par_Gen::TLS_Server_Key] = Shared().Pki.Other_Key.Pem();
    B.Variables.removeAt(0);
    A.Write(Dir.path() + "/A");
    B.Write(Dir.path() + "/B");
    Fixed_Separator Point(QStringLiteral("."));
    const auto Forward = Review::Compare(Dir.path() + "/A", Dir.path() + "/B", Point);
    const auto Back = Review::Compare(Dir.path() + "/B", Dir.path() + "/A", Point);
    QVERIFY(Forward && Back);
    QCOMPARE(Forward->size(), 2);
    QCOMPARE(Back->size(), 2);
    for (qsizetype I = 0; I < Forward->size(); ++I) {
        QCOMPARE((*Forward)[I].Item, (*Back)[I].Item);
        QCOMPARE((*Forward)[I].A, (*Back)[I].B);
        QCOMPARE((*Forward)[I].B, (*Back)[I].A);
    }
    QCOMPARE((*Forward)[0].Item, QString("TLS_Server_Key"));
    QVERIFY((*Forward)[0].A.startsWith("key SHA-256 "));
    QVERIFY((*Forward)[0].A != (*Forward)[0].B);
}

void Test_Configuration_Diff::Unreadable_Configurations_data()
{
    QTest::addColumn<QString>("Broken_File");  // below B; empty: B is no folder
    QTest::addColumn<QByteArray>("Content");    // empty: a directory in the file's place
    QTest::addColumn<QString>("Reason_Part");
#ifdef Q_OS_WIN
    // The system's own text, which differs between Windows versions (and Wine).
    QTest::newRow("no folder") << "" << QByteArray() << "";
#else
    QTest::newRow("no folder") << "" << QByteArray() << "No such file";
#endif
    QTest::newRow("not well-formed") << "IEC61850_Variables.xml" << QByteArray("<root><row") << "";
    QTest::newRow("a folder in a file's place") << "ParGen.xml" << QByteArray() << "not a regular file but a folder";
}

void Test_Configuration_Diff::Unreadable_Configurations()
{
    QFETCH(QString, Broken_File);
    QFETCH(QByteArray, Content);
    QFETCH(QString, Reason_Part);
    QTemporaryDir Dir;
    Base().Write(Dir.path() + "/A");
    QString B = Dir.path() + "/B";
    if (Broken_File.isEmpty()) {
        B = Dir.path() + "/missing";
    } else {
        Base().Write(B);
        QFile::remove(B + "/" + Broken_File);
        if (Content.isEmpty())
            QVERIFY(QDir().mkdir(B + "/" + Broken_File));
        else
            Write_File(B + "/" + Broken_File, Content);
    }
    Fixed_Separator Point(QStringLiteral("."));
    const auto Found = Review::Compare(Dir.path() + "/A", B, Point);
    QVERIFY(!Found);
    QCOMPARE(Found.error().Path, Broken_File.isEmpty() ? B : B + "/" + Broken_File);
    QVERIFY2(Found.error().Reason.contains(Reason_Part, Qt::CaseInsensitive), qPrintable(Found.error().Reason));
}

void Test_Configuration_Diff::A_Fifo_In_A_File_s_Place_Is_Refused_Without_Waiting()
{
#ifdef Q_OS_WIN
    QSKIP("Windows has no FIFOs (mkfifo) to put in a file's place");
#else
    // Opening a FIFO waits for a writer: comparing would never end.
    QTemporaryDir Dir;
    Base().Write(Dir.path() + "/A");
    Base().Write(Dir.path() + "/B");
    const QString Fifo = Dir.path() + "/B/TLS_Known_Cert.xml";
    QFile::remove(Fifo);
    QCOMPARE(::mkfifo(QFile::encodeName(Fifo).constData(), 0600), 0);
    Fixed_Separator Point(QStringLiteral("."));
    const auto Found = Review::Compare(Dir.path() + "/A", Dir.path() + "/B", Point);
    QVERIFY(!Found);
    QCOMPARE(Found.error().Path, Fifo);
    QCOMPARE(Found.error().Reason, QStringLiteral("not a regular file but a FIFO"));
#endif
}

void Test_Configuration_Diff::Json_Document()
{
    const QList<Review::Difference> List = {{"ParGen.xml", "PROFINET_IP4", "5", "6\"x"}};
    const QJsonDocument Doc = QJsonDocument::fromJson(Review::Differences_Json("/a/A", "/b/B", List));
    // As the user reads them, with the system's separators.
    QCOMPARE(Doc["a"].toString(), QDir::toNativeSeparators("/a/A"));
    QCOMPARE(Doc["b"].toString(), QDir::toNativeSeparators("/b/B"));
    const QJsonObject First = Doc["differences"][0].toObject();
    QCOMPARE(First.keys(), (QStringList{"a", "b", "file", "item"}));
    QCOMPARE(First["b"].toString(), QString("6\"x"));
    QCOMPARE(First["item"].toString(), QString("PROFINET_IP4"));
    Lang_Table English;
    English.Create_Default_Strings();
    QCOMPARE(Review::Difference_Line(List[0], English), QString("ParGen.xml: PROFINET_IP4: 5 -> 6\"x"));

    // A description: marked in the line and in the document.
    const Review::Difference Description{"TLS_Known_Cert.xml", "certificate X: Mnemonic", "a", "b", false};
    QCOMPARE(Review::Difference_Line(Description, English),
             QString("TLS_Known_Cert.xml: certificate X: Mnemonic: a -> b (description only, not sent to the device)"));
    const QJsonDocument With = QJsonDocument::fromJson(Review::Differences_Json("/a/A", "/b/B", {Description}));
    QCOMPARE(With["differences"][0].toObject()["sent_to_device"], QJsonValue(false));
    QVERIFY(Review::Same_Device_Configuration({Description}));
    QVERIFY(!Review::Same_Device_Configuration({Description, List[0]}));
}

QTEST_GUILESS_MAIN(Test_Configuration_Diff)
#include "test_configuration_diff.moc"
