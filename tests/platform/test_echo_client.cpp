#include "platform/Echo_Client.h"

#include <QElapsedTimer>
#include <QTest>

// Talks to 127.0.0.1 only.
class Test_Echo_Client : public QObject {
    Q_OBJECT
private slots:
    void Loopback_Answers();
    void Host_Text_Is_Checked();
    void Dotted_Address_Reads_Decimal_data();
    void Dotted_Address_Reads_Decimal();
};

void Test_Echo_Client::Loopback_Answers()
{
    if (Icmp_Echo_Client::Available_Socket() == Icmp_Echo_Client::Socket_Kind::None)
        QSKIP("this process may open neither an ICMP datagram socket (net.ipv4.ping_group_range excludes its "
              "group) nor a raw socket (no CAP_NET_RAW)");
    Icmp_Echo_Client Client;
    const bool Datagram = Icmp_Echo_Client::Available_Socket() == Icmp_Echo_Client::Socket_Kind::Datagram;
    qInfo() << "socket kind:" << (Datagram ? "datagram" : "raw");
    // Set where the test runs in a namespace that admits the unprivileged socket.
    if (qEnvironmentVariable("SW_EXPECT_ICMP_SOCKET") == QStringLiteral("datagram"))
        QVERIFY(Datagram);
    // Several requests in a row: each counts only its own reply, so none
    // takes the previous one's late answer or our own request on loopback.
    for (int I = 0; I < 3; ++I) {
        const auto Bytes = Client.Echo(QStringLiteral("127.0.0.1"), QByteArray("127.0.0.1"), 400);
        QVERIFY2(Bytes.has_value(), Bytes ? "" : qPrintable(Bytes.error()));
        QCOMPARE(*Bytes, 8 + 9); // echo header and the data sent
    }
    // A second client beside the first gets its own replies too.
    Icmp_Echo_Client Other;
    const auto Mine = Other.Echo(QStringLiteral("127.0.0.1"), QByteArray(100, 'x'), 400);
    QVERIFY(Mine.has_value());
    QCOMPARE(*Mine, 108);
}

void Test_Echo_Client::Host_Text_Is_Checked()
{
    Icmp_Echo_Client Client;
    QElapsedTimer Took;
    Took.start();
    const auto Empty = Client.Echo(QString(), QByteArray("x"), 400);
    QVERIFY(!Empty.has_value());
    QVERIFY(!Empty.error().isEmpty());
    QVERIFY(Took.elapsed() < 400); // fails at once, without waiting for a reply
}

// Only reads the text: nothing is sent, no name is looked up.
void Test_Echo_Client::Dotted_Address_Reads_Decimal_data()
{
    QTest::addColumn<QString>("Host");
    QTest::addColumn<quint32>("Address");
    QTest::newRow("plain") << QStringLiteral("192.168.2.205") << quint32(0xC0A802CD);
    // The resolver would read 002 and 010 as octal: 192.168.2.8, another device.
    QTest::newRow("leading zeros") << QStringLiteral("192.168.002.010") << quint32(0xC0A8020A);
    QTest::newRow("zero padded loopback") << QStringLiteral("127.000.000.001") << quint32(0x7F000001);
    QTest::newRow("blanks around") << QStringLiteral(" 10.0.0.255 ") << quint32(0x0A0000FF);
}

void Test_Echo_Client::Dotted_Address_Reads_Decimal()
{
    QFETCH(QString, Host);
    QFETCH(quint32, Address);
    const auto Resolved = Icmp_Echo_Client::Resolve_Host(Host);
    QVERIFY2(Resolved.has_value(), Resolved ? "" : qPrintable(Resolved.error()));
    QCOMPARE(*Resolved, Address);
}

QTEST_GUILESS_MAIN(Test_Echo_Client)
#include "test_echo_client.moc"
