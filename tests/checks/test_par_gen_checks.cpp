#include "checks/Par_Gen_Checks.h"

#include <QTest>

namespace {

QString Fixture(const QString& Name) { return QStringLiteral(SW_TEST_DATA_DIR "/project/") + Name; }

Lang_Table English()
{
    Lang_Table Lang;
    Lang.Create_Default_Strings();
    return Lang;
}

// Valid values to start each check from.
Par_Gen::Values Valid() { return Par_Gen::Defaults(); }

} // namespace

class Test_Par_Gen_Checks : public QObject {
    Q_OBJECT
private slots:
    void Loaded_Values_Are_Checked();
    void Check_data();
    void Check();
};

void Test_Par_Gen_Checks::Loaded_Values_Are_Checked()
{
    QVERIFY(!Par_Gen::Check(Par_Gen::Defaults(), English()));
    // An empty tunnelling port cannot be saved.
    QCOMPARE(Par_Gen::Check(Par_Gen::Load(Fixture("ParGen_Hand_Edited.xml")), English()), English()[572]);
}

void Test_Par_Gen_Checks::Check_data()
{
    QTest::addColumn<QStringList>("Changes");  // element index, value, ...
    QTest::addColumn<QString>("Message");      // empty: accepted
    const Lang_Table L = English();
    auto E = [](int Element) { return QString::number(Element); };
    using namespace Par_Gen;
    QTest::newRow("defaults") << QStringList() << QString();
    QTest::newRow("port 0") << QStringList{E(IEC61850_Server_Port), "0"} << QString();
    QTest::newRow("port 65535") << QStringList{E(IEC61850_Server_Port), "65535"} << QString();
    QTest::newRow("port hex") << QStringList{E(IEC61850_Server_Port), "$66"} << QString();
    QTest::newRow("port 10000") << QStringList{E(IEC61850_Server_Port), "10000"} << L[437];
    QTest::newRow("port 65536") << QStringList{E(IEC61850_Server_Port), "65536"} << L[437];
    QTest::newRow("port -1") << QStringList{E(IEC61850_Server_Port), "-1"} << L[437];
    QTest::newRow("port empty") << QStringList{E(IEC61850_Server_Port), ""} << L[437];
    QTest::newRow("port and IP wrong: port first")
        << QStringList{E(IEC61850_Server_Port), "x", E(PROFINET_IP1), "300"} << L[437];
    QTest::newRow("IP1 256") << QStringList{E(PROFINET_IP1), "256"} << L[560];
    QTest::newRow("IP2 trailing blank") << QStringList{E(PROFINET_IP2), "1 "} << L[561];
    QTest::newRow("IP3 leading blanks") << QStringList{E(PROFINET_IP3), "  255"} << QString();
    QTest::newRow("IP4 -1") << QStringList{E(PROFINET_IP4), "-1"} << L[563];
    QTest::newRow("SM1 hex $FF") << QStringList{E(PROFINET_SM1), "$FF"} << QString();
    QTest::newRow("SM1 hex $100") << QStringList{E(PROFINET_SM1), "$100"} << L[564];
    QTest::newRow("SM4 empty") << QStringList{E(PROFINET_SM4), ""} << L[567];
    QTest::newRow("gateway off: letters pass") << QStringList{E(PROFINET_GAT2), "abc"} << QString();
    QTest::newRow("gateway on: letters fail")
        << QStringList{E(PROFINET_EN_GAT), "1", E(PROFINET_GAT2), "abc"} << L[569];
    QTest::newRow("gateway on: 4th byte") << QStringList{E(PROFINET_EN_GAT), "1", E(PROFINET_GAT4), "256"} << L[571];
    QTest::newRow("gateway on: valid") << QStringList{E(PROFINET_EN_GAT), "1"} << QString();
    for (const char* Port : {"502", "2000", "1", "65535"})
        QTest::addRow("tunnel %s", Port) << QStringList{E(PROFINET_PORT), Port} << QString();
    for (const char* Port : {"0", "5000", "10000", "10001", "34962", "34963", "34964", "65536", ""})
        QTest::addRow("tunnel '%s'", Port) << QStringList{E(PROFINET_PORT), Port} << L[572];
    QTest::newRow("in 0") << QStringList{E(PROFINET_NB_IN), "0"} << QString();
    QTest::newRow("in 1439") << QStringList{E(PROFINET_NB_IN), "1439"} << L[573] + "1438";
    QTest::newRow("out 1439") << QStringList{E(PROFINET_NB_OUT), "1439"} << L[574] + "1438";
    QTest::newRow("out 0") << QStringList{E(PROFINET_NB_OUT), "0"} << QString();
    QTest::newRow("diagnostic off: anything")
        << QStringList{E(PROFINET_DIAGNOSTIC_ADDRESS), "zz", E(PROFINET_NB_OUT), "3"} << QString();
    QTest::newRow("diagnostic 1430 of 1438")
        << QStringList{E(PROFINET_ENABLE_DIAGNOSTIC), "1", E(PROFINET_DIAGNOSTIC_ADDRESS), "1430"} << QString();
    QTest::newRow("diagnostic 1431 of 1438")
        << QStringList{E(PROFINET_ENABLE_DIAGNOSTIC), "1", E(PROFINET_DIAGNOSTIC_ADDRESS), "1431"} << L[575] + "1430";
    QTest::newRow("diagnostic 0 of 8")
        << QStringList{E(PROFINET_ENABLE_DIAGNOSTIC), "1", E(PROFINET_NB_OUT), "8"} << QString();
    QTest::newRow("diagnostic 1 of 8")
        << QStringList{E(PROFINET_ENABLE_DIAGNOSTIC), "1", E(PROFINET_NB_OUT), "8", E(PROFINET_DIAGNOSTIC_ADDRESS), "1"}
        << L[575] + "0";
    QTest::newRow("diagnostic with 3 output bytes")
        << QStringList{E(PROFINET_ENABLE_DIAGNOSTIC), "1", E(PROFINET_NB_OUT), "3"} << L[575] + "-5";
    QTest::newRow("diagnostic hex output bytes")
        << QStringList{E(PROFINET_ENABLE_DIAGNOSTIC), "1", E(PROFINET_NB_OUT), "$10", E(PROFINET_DIAGNOSTIC_ADDRESS), "9"}
        << L[575] + "8";
}

void Test_Par_Gen_Checks::Check()
{
    QFETCH(QStringList, Changes);
    QFETCH(QString, Message);
    Par_Gen::Values Data = Valid();
    for (qsizetype I = 0; I + 1 < Changes.size(); I += 2)
        Data[Changes[I].toInt()] = Changes[I + 1];
    const std::optional<QString> Result = Par_Gen::Check(Data, English());
    QCOMPARE(Result.value_or(QString()), Message);
}

QTEST_GUILESS_MAIN(Test_Par_Gen_Checks)
#include "test_par_gen_checks.moc"
