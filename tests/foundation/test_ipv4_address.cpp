#include "foundation/Ipv4_Address.h"

#include <QTest>

class Test_Ipv4_Address : public QObject {
    Q_OBJECT
private slots:
    void Parse_data();
    void Parse();
    void Parts_data();
    void Parts();
    void Value_Round_Trip();
    void Device_Rules_data();
    void Device_Rules();
};

void Test_Ipv4_Address::Parse_data()
{
    QTest::addColumn<QString>("Text");
    QTest::addColumn<QString>("Plain");
    QTest::newRow("loopback") << "127.0.0.1" << "127.0.0.1";
    QTest::newRow("leading zeros written back plain") << "127.000.0.01" << "127.0.0.1";
    QTest::newRow("highest") << "255.255.255.255" << "255.255.255.255";
    QTest::newRow("lowest") << "0.0.0.0" << "0.0.0.0";
    QTest::newRow("hexadecimal part") << "0x7F.0.0.1" << "";
    QTest::newRow("dollar hexadecimal") << "$7F.0.0.1" << "";
    QTest::newRow("256") << "10.0.256.1" << "";
    QTest::newRow("four digits") << "0127.0.0.1" << "";
    QTest::newRow("three parts") << "127.0.1" << "";
    QTest::newRow("five parts") << "127.0.0.1.5" << "";
    QTest::newRow("trailing dot") << "127.0.0.1." << "";
    QTest::newRow("empty part") << "127..0.1" << "";
    QTest::newRow("sign") << "+127.0.0.1" << "";
    QTest::newRow("blank inside") << "127. 0.0.1" << "";
    QTest::newRow("blank around") << " 127.0.0.1" << "";
    QTest::newRow("host name") << "localhost" << "";
    QTest::newRow("one number") << "2130706433" << "";
    QTest::newRow("arabic-indic digits") << QString::fromUtf8("\u0661\u0662\u0667.0.0.1") << "";
    QTest::newRow("fullwidth digits") << QString::fromUtf8("\uFF11.0.0.1") << "";
    QTest::newRow("empty") << "" << "";
}

void Test_Ipv4_Address::Parse()
{
    QFETCH(QString, Text);
    QFETCH(QString, Plain);
    const std::optional<Ipv4_Address> Address = Parse_Ipv4(Text);
    QCOMPARE(Address.has_value(), !Plain.isEmpty());
    if (Address)
        QCOMPARE(Address->Text(), Plain);
}

void Test_Ipv4_Address::Parts_data()
{
    QTest::addColumn<QStringList>("Parts");
    QTest::addColumn<int>("Bad");
    QTest::addColumn<QString>("Plain");
    QTest::newRow("good") << QStringList{"192", "168", "2", "205"} << -1 << "192.168.2.205";
    QTest::newRow("zeros") << QStringList{"010", "000", "0", "1"} << -1 << "10.0.0.1";
    QTest::newRow("second too big") << QStringList{"10", "300", "0", "1"} << 1 << "";
    QTest::newRow("last empty") << QStringList{"10", "0", "0", ""} << 3 << "";
    QTest::newRow("missing part") << QStringList{"10", "0", "0"} << 3 << "";
    QTest::newRow("dot inside a part") << QStringList{"10.1", "0", "0", "1"} << 0 << "";
}

void Test_Ipv4_Address::Parts()
{
    QFETCH(QStringList, Parts);
    QFETCH(int, Bad);
    QFETCH(QString, Plain);
    QCOMPARE(First_Bad_Ipv4_Part(Parts).value_or(-1), Bad);
    const std::optional<Ipv4_Address> Address = Ipv4_From_Parts(Parts);
    QCOMPARE(Address.has_value(), Bad < 0);
    if (Address)
        QCOMPARE(Address->Text(), Plain);
}

void Test_Ipv4_Address::Value_Round_Trip()
{
    const Ipv4_Address Address = *Parse_Ipv4(QStringLiteral("192.168.2.205"));
    QCOMPARE(Address.Value(), 0xC0A802CDU);
    QCOMPARE(Ipv4_Address::From_Value(0xC0A802CDU), Address);
}

void Test_Ipv4_Address::Device_Rules_data()
{
    QTest::addColumn<QString>("Address");
    QTest::addColumn<QString>("Mask");
    QTest::addColumn<QString>("Gateway");
    QTest::addColumn<int>("Rule"); // -1: a device may hold them
    const auto Row = [](const char* Name, const char* A, const char* M, const char* G, int Rule) {
        QTest::newRow(Name) << QString::fromLatin1(A) << QString::fromLatin1(M) << QString::fromLatin1(G) << Rule;
    };
    using R = Ip_Suite_Rule;
    Row("plain host with gateway", "192.168.2.205", "255.255.255.0", "192.168.2.1", -1);
    Row("no gateway", "10.20.30.41", "255.255.0.0", "0.0.0.0", -1);
    Row("gateway is the address itself", "10.0.0.5", "255.0.0.0", "10.0.0.5", -1);
    Row("last host of a /30", "10.0.0.2", "255.255.255.252", "10.0.0.1", -1);
    Row("mask with a hole", "10.0.0.5", "255.0.255.0", "0.0.0.0", int(R::Mask_Not_Contiguous));
    Row("mask of no ones", "10.0.0.5", "0.0.0.0", "0.0.0.0", int(R::Mask_Not_Contiguous));
    Row("mask ones at the bottom", "10.0.0.5", "0.0.0.255", "0.0.0.0", int(R::Mask_Not_Contiguous));
    Row("all zeros", "0.0.0.0", "255.255.255.0", "0.0.0.0", int(R::This_Network));
    Row("this network", "0.1.2.3", "255.0.0.0", "0.0.0.0", int(R::This_Network));
    Row("loopback", "127.0.0.1", "255.0.0.0", "0.0.0.0", int(R::Loopback));
    Row("first multicast", "224.0.0.1", "255.255.255.0", "0.0.0.0", int(R::Multicast));
    Row("last multicast", "239.255.255.254", "255.255.255.0", "0.0.0.0", int(R::Multicast));
    Row("limited broadcast", "255.255.255.255", "255.255.255.0", "0.0.0.0", int(R::Limited_Broadcast));
    Row("reserved", "240.0.0.1", "255.255.255.0", "0.0.0.0", int(R::Reserved));
    Row("network address", "192.168.2.0", "255.255.255.0", "0.0.0.0", int(R::Network_Address));
    Row("/32 is its own network", "192.168.2.7", "255.255.255.255", "0.0.0.0", int(R::Network_Address));
    Row("subnet broadcast", "192.168.2.255", "255.255.255.0", "0.0.0.0", int(R::Subnet_Broadcast));
    Row("subnet broadcast of a /20", "10.0.15.255", "255.255.240.0", "0.0.0.0", int(R::Subnet_Broadcast));
    Row("gateway in another subnet", "192.168.2.205", "255.255.255.0", "192.168.3.1", int(R::Gateway_Outside_Subnet));
    Row("gateway loopback", "192.168.2.205", "255.255.255.0", "127.0.0.1", int(R::Gateway_Outside_Subnet));
    Row("gateway the network address", "192.168.2.205", "255.255.255.0", "192.168.2.0", int(R::Gateway_Not_A_Host));
    Row("gateway the subnet broadcast", "192.168.2.205", "255.255.255.0", "192.168.2.255", int(R::Gateway_Not_A_Host));
}

void Test_Ipv4_Address::Device_Rules()
{
    QFETCH(QString, Address);
    QFETCH(QString, Mask);
    QFETCH(QString, Gateway);
    QFETCH(int, Rule);
    const auto Broken = Broken_Ip_Suite_Rule(*Parse_Ipv4(Address), *Parse_Ipv4(Mask), *Parse_Ipv4(Gateway));
    QCOMPARE(Broken ? int(*Broken) : -1, Rule);
    if (Broken)
        QVERIFY(!Ip_Suite_Rule_Text(*Broken).isEmpty());
}

QTEST_GUILESS_MAIN(Test_Ipv4_Address)
#include "test_ipv4_address.moc"
