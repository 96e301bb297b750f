#include "gsdml/Profinet_XML.h"
#include "Schema_Check.h"

#include <QTemporaryDir>
#include <QTest>

class Test_Gsdml_Schema : public QObject {
    Q_OBJECT
private slots:
    void Descriptions_Validate_data();
    void Descriptions_Validate();
    void Faults_Are_Reported_data();
    void Faults_Are_Reported();
};

void Test_Gsdml_Schema::Descriptions_Validate_data()
{
    QTest::addColumn<QString>("Name");
    QTest::addColumn<int>("In");
    QTest::addColumn<int>("Out");
    QTest::newRow("editor defaults") << "devicename1" << 1438 << 1438;
    QTest::newRow("100 in, 20 out") << "devicename1" << 100 << 20;
    QTest::newRow("no general parameters") << "SERIAL" << 1438 << 1438;
    QTest::newRow("one byte each way") << "plant-7.line2" << 1 << 1;
}

void Test_Gsdml_Schema::Descriptions_Validate()
{
    SCHEMA_CHECK_PREREQUISITES();
    QFETCH(QString, Name);
    QFETCH(int, In);
    QFETCH(int, Out);
    QTemporaryDir Dir;
    Profinet_Par Par;
    Par.Name_Station = Name;
    Par.Input_Bytes = In;
    Par.Output_Bytes = Out;
    VERIFY_ONLY_KNOWN_DIFFERENCES(Schema_Check::Validate_Text(Dir.path(), Compose_Profinet_XML(Par)));
}

// The check must notice what a slip in the fixed text would break.
void Test_Gsdml_Schema::Faults_Are_Reported_data()
{
    QTest::addColumn<QByteArray>("From");
    QTest::addColumn<QByteArray>("To");
    QTest::newRow("broken text reference") << QByteArray("<Name TextId=\"IDT_NAME_DAP1\"/>")
                                           << QByteArray("<Name TextId=\"IDT_NAME_DAP2\"/>");
    QTest::newRow("duplicated ID") << QByteArray("ID=\"IDS_P2\"") << QByteArray("ID=\"IDS_P1\"");
    QTest::newRow("malformed attribute") << QByteArray("VendorID=\"0x1111\"") << QByteArray("VendorID=\"0x11G1\"");
    QTest::newRow("dangling module reference") << QByteArray("ModuleItemTarget=\"IDM_1\"")
                                               << QByteArray("ModuleItemTarget=\"IDM_2\"");
    QTest::newRow("not well-formed") << QByteArray("</ValueList>") << QByteArray("</ValueLis>");
    QTest::newRow("name that is no DNS name") << QByteArray("DNS_CompatibleName=\"SERIAL\"")
                                              << QByteArray("DNS_CompatibleName=\" SERIAL\"");
}

void Test_Gsdml_Schema::Faults_Are_Reported()
{
    SCHEMA_CHECK_PREREQUISITES();
    QFETCH(QByteArray, From);
    QFETCH(QByteArray, To);
    QByteArray Text = Compose_Profinet_XML(Profinet_Par());
    QCOMPARE(Text.count(From), 1);
    Text.replace(From, To);
    QTemporaryDir Dir;
    const Schema_Check::Result R = Schema_Check::Validate_Text(Dir.path(), Text);
    QVERIFY2(R.Failure.isEmpty(), qPrintable(R.Failure));
    QVERIFY(!R.Unexpected.isEmpty());
}

QTEST_GUILESS_MAIN(Test_Gsdml_Schema)
#include "test_gsdml_schema.moc"
