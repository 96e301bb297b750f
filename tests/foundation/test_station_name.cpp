#include "foundation/Station_Name.h"

#include <QTest>

Q_DECLARE_METATYPE(std::optional<Station_Name_Rule>)

class Test_Station_Name : public QObject {
    Q_OBJECT
private slots:
    void Rules_data();
    void Rules();
    void Every_Rule_Has_A_Text();
};

void Test_Station_Name::Rules_data()
{
    using R = Station_Name_Rule;
    using Broken = std::optional<Station_Name_Rule>;
    QTest::addColumn<QString>("Name");
    QTest::addColumn<Broken>("Rule");
    QTest::newRow("plain") << "gw40610" << Broken{};
    QTest::newRow("labels") << "gw-1.hall-3.plant" << Broken{};
    QTest::newRow("one character") << "a" << Broken{};
    QTest::newRow("digits only label") << "123" << Broken{};
    QTest::newRow("240 characters") << (QString(63, 'a') + '.' + QString(63, 'b') + '.' + QString(63, 'c') + '.' +
                                        QString(48, 'd'))
                                    << Broken{};
    QTest::newRow("241 characters") << (QString(63, 'a') + '.' + QString(63, 'b') + '.' + QString(63, 'c') + '.' +
                                        QString(49, 'd'))
                                    << Broken{R::Length};
    QTest::newRow("empty") << "" << Broken{R::Length};
    QTest::newRow("label of 63") << QString(63, 'x') << Broken{};
    QTest::newRow("label of 64") << QString(64, 'x') << Broken{R::Label_Length};
    QTest::newRow("empty label") << "a..b" << Broken{R::Label_Length};
    QTest::newRow("leading dot") << ".a" << Broken{R::Label_Length};
    QTest::newRow("trailing dot") << "a." << Broken{R::Label_Length};
    QTest::newRow("upper case") << "Gateway" << Broken{R::Characters};
    QTest::newRow("underscore") << "gw_1" << Broken{R::Characters};
    QTest::newRow("blank") << "gw 1" << Broken{R::Characters};
    QTest::newRow("umlaut") << QString::fromUtf8("tür") << Broken{R::Characters};
    QTest::newRow("fullwidth digit") << QString::fromUtf8("gw\uFF11") << Broken{R::Characters};
    QTest::newRow("hyphen first") << "-gw" << Broken{R::Hyphen_At_Edge};
    QTest::newRow("hyphen last of a later label") << "gw.hall-" << Broken{R::Hyphen_At_Edge};
    QTest::newRow("hyphen inside") << "a-b" << Broken{};
    QTest::newRow("port-xyz") << "port-001" << Broken{R::Port_Name};
    QTest::newRow("port-xyz-abcde") << "port-001-00002.gw" << Broken{R::Port_Name};
    QTest::newRow("port with two digits") << "port-01" << Broken{};
    QTest::newRow("port with letters") << "port-abc" << Broken{};
    QTest::newRow("port-xyz-abcd") << "port-001-0002" << Broken{};
    QTest::newRow("port in a later label") << "gw.port-001" << Broken{};
    QTest::newRow("address form") << "192.168.2.205" << Broken{R::Ipv4_Form};
    QTest::newRow("address form beyond 255") << "999.0.0.1" << Broken{R::Ipv4_Form};
    QTest::newRow("four digits in a part") << "1000.0.0.1" << Broken{};
    QTest::newRow("three numbers") << "1.2.3" << Broken{};
    QTest::newRow("five numbers") << "1.2.3.4.5" << Broken{};
    QTest::newRow("letter in one part") << "1.2.3.a" << Broken{};
}

void Test_Station_Name::Rules()
{
    QFETCH(QString, Name);
    QFETCH(std::optional<Station_Name_Rule>, Rule);
    QCOMPARE(Broken_Station_Name_Rule(Name), Rule);
}

void Test_Station_Name::Every_Rule_Has_A_Text()
{
    for (auto Rule : {Station_Name_Rule::Length, Station_Name_Rule::Label_Length, Station_Name_Rule::Characters,
                      Station_Name_Rule::Hyphen_At_Edge, Station_Name_Rule::Port_Name, Station_Name_Rule::Ipv4_Form})
        QVERIFY(!Station_Name_Rule_Text(Rule).isEmpty());
}

QTEST_GUILESS_MAIN(Test_Station_Name)
#include "test_station_name.moc"
