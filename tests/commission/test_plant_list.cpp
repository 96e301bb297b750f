// The plant list as the engineer writes it: good lists read whole, and every
// problem of a bad one given with its line and column before anything is sent.

#include "commission/Plant_List.h"
#include "foundation/Workspace.h"
#include "platform/Decimal_Separator.h"
#include "project/Par_Gen_File.h"
#include "support/Test_Files.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace Commission;

namespace {

const QByteArray Header = "mac,station_name,ip,mask,gateway,configuration\n";

// Two configurations below PROJECTS: "cfg-ok" says who its gateway is,
// "cfg-bad" has an error in its check.
Configuration_Lookup Fake_Lookup()
{
    return [](const QString& Dir) -> std::expected<Configuration_Facts, QString> {
        Configuration_Facts Facts;
        Facts.Ip = {*Parse_Ipv4(QStringLiteral("10.0.0.50")), *Parse_Ipv4(QStringLiteral("255.255.255.0")),
                    *Parse_Ipv4(QStringLiteral("10.0.0.1"))};
        if (QFileInfo(Dir).fileName() == QLatin1String("cfg-long")) {
            Facts.Station_Name = QStringLiteral("gw-from-cfg-line-4");
            return Facts;
        }
        if (QFileInfo(Dir).fileName() == QLatin1String("cfg-bad")) {
            Facts.First_Error = QStringLiteral("the port must be 1 to 65535");
            return Facts;
        }
        Facts.Station_Name = QStringLiteral("gw-from-cfg");
        Facts.Ip = {*Parse_Ipv4(QStringLiteral("10.0.0.50")), *Parse_Ipv4(QStringLiteral("255.255.255.0")),
                    *Parse_Ipv4(QStringLiteral("10.0.0.1"))};
        return Facts;
    };
}

QStringList Places(const Plant_List& List)
{
    QStringList Found;
    for (const List_Problem& P : List.Problems)
        Found.append(QStringLiteral("%1:%2").arg(P.Line).arg(P.Column));
    return Found;
}

} // namespace

class Test_Plant_List : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(Dir.isValid());
        QVERIFY(QDir().mkpath(Dir.filePath(QStringLiteral("PROJECTS/cfg-ok"))));
        QVERIFY(QDir().mkpath(Dir.filePath(QStringLiteral("PROJECTS/cfg-bad"))));
        QVERIFY(QDir().mkpath(Dir.filePath(QStringLiteral("PROJECTS/cfg-long"))));
    }

    void Problems_With_Line_And_Column_data()
    {
        QTest::addColumn<QByteArray>("Text");
        QTest::addColumn<QStringList>("Expected");   // LINE:COLUMN of every problem, in order
        QTest::addColumn<QString>("First_Text");     // a piece of the first problem's text

        const QByteArray Good_1 = "02:06:10:00:00:00,gw-1,10.0.0.11,255.255.255.0,10.0.0.1,\n";
        const QByteArray Good_2 = "02:06:10:00:00:01,gw-2,10.0.0.12,255.255.255.0,0.0.0.0,\n";
        QTest::newRow("good") << Header + Good_1 + Good_2 << QStringList{} << QString();
        QTest::newRow("good with ';', BOM, CRLF, quotes and blank lines")
            << QByteArray("\xEF\xBB\xBFmac;station_name;ip;mask;gateway;configuration\r\n\r\n"
                          "02-06-10-00-00-00;\"gw-1\";10.0.0.11;255.255.255.0;10.0.0.1;\r\n")
            << QStringList{} << QString();
        QTest::newRow("name and address from the configuration")
            << Header + "02:06:10:00:00:00,,,,,cfg-ok\n" << QStringList{} << QString();
        QTest::newRow("values equal to the configuration's")
            << Header + "02:06:10:00:00:00,gw-from-cfg,10.0.0.50,255.255.255.0,10.0.0.1,cfg-ok\n" << QStringList{} << QString();

        QTest::newRow("bad MAC") << Header + "02:06:10:00:00,gw-1,10.0.0.11,255.255.255.0,10.0.0.1,\n"
                                 << QStringList{"2:1"} << "not a MAC address";
        QTest::newRow("MAC twice, other case") << Header + Good_1 + "02:06:10:00:00:00,gw-2,10.0.0.12,255.255.255.0,10.0.0.1,\n"
                                   << QStringList{"3:1"} << "first on line 2";
        QTest::newRow("invalid station name") << Header + "02:06:10:00:00:00,Gw_1,10.0.0.11,255.255.255.0,10.0.0.1,\n"
                                              << QStringList{"2:2"} << "not a valid station name";
        QTest::newRow("station name twice") << Header + Good_1 + "02:06:10:00:00:01,gw-1,10.0.0.12,255.255.255.0,10.0.0.1,\n"
                                            << QStringList{"3:2"} << "listed twice";
        QTest::newRow("address twice") << Header + Good_1 + "02:06:10:00:00:01,gw-2,10.0.0.11,255.255.255.0,10.0.0.1,\n"
                                       << QStringList{"3:3"} << "listed twice";
        QTest::newRow("address no IPv4") << Header + "02:06:10:00:00:00,gw-1,10.0.0,255.255.255.0,10.0.0.1,\n"
                                         << QStringList{"2:3"} << "not an IPv4 address";
        QTest::newRow("host name refused as address")
            << Header + "02:06:10:00:00:00,gw-1,localhost,255.255.255.0,10.0.0.1,\n" << QStringList{"2:3"} << "not an IPv4 address";
        QTest::newRow("no mask") << Header + "02:06:10:00:00:00,gw-1,10.0.0.11,255.0.255.0,10.0.0.1,\n"
                                 << QStringList{"2:4"} << "not a subnet mask";
        QTest::newRow("gateway outside the network") << Header + "02:06:10:00:00:00,gw-1,10.0.0.11,255.255.255.0,10.0.1.1,\n"
                                                     << QStringList{"2:5"} << "outside the network";
        QTest::newRow("broadcast address") << Header + "02:06:10:00:00:00,gw-1,10.0.0.255,255.255.255.0,10.0.0.1,\n"
                                           << QStringList{"2:3"} << "no device address";
        // Kept to the same rules as the set request: a row taken here is never refused on the wire.
        QTest::newRow("loopback address") << Header + "02:06:10:00:00:00,gw-1,127.0.0.5,255.0.0.0,0.0.0.0,\n"
                                          << QStringList{"2:3"} << "loopback";
        QTest::newRow("configuration missing") << Header + "02:06:10:00:00:00,gw-1,10.0.0.11,255.255.255.0,10.0.0.1,nowhere\n"
                                               << QStringList{"2:6"} << "does not exist";
        QTest::newRow("configuration with errors") << Header + "02:06:10:00:00:00,,,,,cfg-bad\n"
                                                   << QStringList{"2:6"} << "has errors: the port must be";
        QTest::newRow("name differs from the configuration")
            << Header + "02:06:10:00:00:00,gw-other,,,,cfg-ok\n" << QStringList{"2:2"} << "differs from the configuration";
        QTest::newRow("address differs from the configuration")
            << Header + "02:06:10:00:00:00,,10.0.0.51,,,cfg-ok\n" << QStringList{"2:3"} << "differs from the configuration";
        QTest::newRow("name longer than a configuration keeps")
            << Header + "02:06:10:00:00:00,gw-from-cfg-line-4,,,,cfg-long\n" << QStringList{"2:2"} << "longer than the 15 characters";
        QTest::newRow("no name and no configuration") << Header + "02:06:10:00:00:00,,10.0.0.11,255.255.255.0,10.0.0.1,\n"
                                                      << QStringList{"2:2"} << "missing";
        QTest::newRow("several problems, each on its own")
            << Header + Good_1 + "\n" + "02:06:10:00:00:00,gw-1,10.0.0.11,255.255.255.0,10.0.9.1,\n"
            << QStringList{"4:1", "4:2", "4:5", "4:3"} << "listed twice";
        QTest::newRow("columns in another order")
            << QByteArray("ip,mac,station_name,mask,gateway,configuration\n10.0.0.11,bad,gw-1,255.255.255.0,10.0.0.1,\n")
            << QStringList{"2:2"} << "not a MAC address";
        QTest::newRow("header misses a column") << QByteArray("mac,station_name,ip,mask,configuration\n") + Good_1
                                                << QStringList{"1:0"} << "\"gateway\"";
        QTest::newRow("quote not closed") << Header + Good_1 + "\"02:06:10:00:00:01,gw-2\n"
                                          << QStringList{"3:0"} << "quote";
        QTest::newRow("no gateway listed") << Header << QStringList{"1:0"} << "no gateway";
        QTest::newRow("not UTF-8") << Header + "02:06:10:00:00:00,gw-\xff,10.0.0.11,255.255.255.0,10.0.0.1,\n"
                                   << QStringList{"1:0"} << "UTF-8";
    }
    void Problems_With_Line_And_Column()
    {
        QFETCH(QByteArray, Text);
        QFETCH(QStringList, Expected);
        QFETCH(QString, First_Text);
        const Plant_List List = Read_Plant_List(Text, Dir.path(), Dir.filePath(QStringLiteral("PROJECTS")), Fake_Lookup());
        QCOMPARE(Places(List), Expected);
        // A name or an IP parameter that breaks the device's rules never
        // arrives checked.
        for (const Plant_Row& Row : List.Rows) {
            if (Row.Name_Checked)
                QVERIFY(!Broken_Station_Name_Rule(Row.Station_Name));
            if (Row.Ip_Checked)
                QVERIFY(!Broken_Ip_Suite_Rule(Row.Ip.Address, Row.Ip.Mask, Row.Ip.Gateway));
        }
        if (!Expected.isEmpty())
            QVERIFY2(List.Problems.first().Text.contains(First_Text), qPrintable(List.Problems.first().Text));
        else
            QVERIFY(!List.Rows.isEmpty());
    }

    void Values_Are_Read()
    {
        const Plant_List List = Read_Plant_List(
            Header + "02:06:10:00:00:0A,gw-1,10.0.0.11,255.255.255.0,10.0.0.1,\n02:06:10:00:00:0b,,,,,cfg-ok\n", Dir.path(),
            Dir.filePath(QStringLiteral("PROJECTS")), Fake_Lookup());
        QVERIFY(List.Problems.isEmpty());
        QCOMPARE(List.Rows.size(), 2);
        QCOMPARE(Dcp::Mac_Text(List.Rows[0].Mac), QStringLiteral("02:06:10:00:00:0a"));
        QCOMPARE(List.Rows[0].Station_Name, QStringLiteral("gw-1"));
        QCOMPARE(List.Rows[0].Ip.Gateway.Text(), QStringLiteral("10.0.0.1"));
        QVERIFY(List.Rows[0].Configuration_Dir.isEmpty());
        QCOMPARE(List.Rows[1].Line, 3);
        QCOMPARE(List.Rows[1].Station_Name, QStringLiteral("gw-from-cfg"));
        QCOMPARE(List.Rows[1].Ip.Address.Text(), QStringLiteral("10.0.0.50"));
        QCOMPARE(QFileInfo(List.Rows[1].Configuration_Dir).canonicalFilePath(),
                 QFileInfo(Dir.filePath(QStringLiteral("PROJECTS/cfg-ok"))).canonicalFilePath());
        // What the run sends is what the reading checked, taken from the
        // configuration too.
        for (const Plant_Row& Row : List.Rows) {
            QVERIFY(Row.Name_Checked && Row.Ip_Checked);
            QCOMPARE(Row.Name_Checked->Text(), Row.Station_Name);
            QCOMPARE(Row.Ip_Checked->Address(), Row.Ip.Address);
            QCOMPARE(Row.Ip_Checked->Gateway(), Row.Ip.Gateway);
        }
    }

    // A relative path is taken from the list's folder, not from the current one.
    void Configuration_Path_Beside_The_List()
    {
        QVERIFY(QDir().mkpath(Dir.filePath(QStringLiteral("site/configs/cfg-ok"))));
        const Plant_List List = Read_Plant_List(Header + "02:06:10:00:00:00,,,,,configs/cfg-ok\n",
                                                Dir.filePath(QStringLiteral("site")),
                                                Dir.filePath(QStringLiteral("PROJECTS")), Fake_Lookup());
        QVERIFY(List.Problems.isEmpty());
        QVERIFY(List.Rows[0].Configuration_Dir.endsWith(QStringLiteral("site/configs/cfg-ok")));
    }

    // The real lookup reads the configuration's general parameters and runs its check.
    void Real_Configuration()
    {
        Workspace Space(Dir.path());
        Space.Init_Language();
        Par_Gen::Values Values = Par_Gen::Defaults();
        Values[Par_Gen::PROFINET_NAME_STA] = QStringLiteral("line-3-gw");
        const char* const Address[] = {"172", "16", "3", "20"};
        for (int I = 0; I < 4; ++I)
            Values[Par_Gen::PROFINET_IP1 + I] = QLatin1String(Address[I]);
        QVERIFY(QDir().mkpath(Dir.filePath(QStringLiteral("PROJECTS/line-3"))));
        QVERIFY(Par_Gen::Save(Dir.filePath(QStringLiteral("PROJECTS/line-3/ParGen.xml")), Values).has_value());
        Given_Decimal_Separator Separator(QStringLiteral("."));
        const Plant_List List = Read_Plant_List(Header + "02:06:10:00:00:00,,,,,line-3\n", Dir.path(), Space.Projects_Dir,
                                                Checked_Configurations(Space, Separator));
        QVERIFY2(List.Problems.isEmpty(), List.Problems.isEmpty() ? "" : qPrintable(List.Problems.first().Text));
        QCOMPARE(List.Rows[0].Station_Name, QStringLiteral("line-3-gw"));
        QCOMPARE(List.Rows[0].Ip.Address.Text(), QStringLiteral("172.16.3.20"));

        // A configuration that is not well-formed is refused with the parser's words.
        QVERIFY(QDir().mkpath(Dir.filePath(QStringLiteral("PROJECTS/broken"))));
        Test_Support::Write_File(Dir.filePath(QStringLiteral("PROJECTS/broken/ParGen.xml")), "<ParGen><PROFINET_IP1>");
        const Plant_List Broken = Read_Plant_List(Header + "02:06:10:00:00:00,gw-1,10.0.0.11,255.255.255.0,10.0.0.1,broken\n",
                                                  Dir.path(), Space.Projects_Dir, Checked_Configurations(Space, Separator));
        QCOMPARE(Places(Broken), QStringList{"2:6"});
    }

    void Unreadable_File()
    {
        const auto List = Read_Plant_List_File(Dir.filePath(QStringLiteral("missing.csv")), Dir.path(), Fake_Lookup());
        QVERIFY(!List.has_value());
        QVERIFY(List.error().contains(QStringLiteral("missing.csv")));
    }

private:
    QTemporaryDir Dir;
};

QTEST_GUILESS_MAIN(Test_Plant_List)
#include "test_plant_list.moc"
