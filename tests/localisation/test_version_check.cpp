#include "localisation/Options_Fakes.h"
#include "localisation/Version_Check.h"
#include "foundation/Workspace.h"

#include <QTest>

class Test_Version_Check : public QObject {
    Q_OBJECT
private slots:
    void Converts_Version_Texts_data();
    void Converts_Version_Texts();
    void Judges_Replies_data();
    void Judges_Replies();
    void Query_Names_Path_Software_And_Headers();
    void No_Client_Or_Failed_Query_Is_No_Update();
    void Link_Text_Is_Escaped();
};

void Test_Version_Check::Converts_Version_Texts_data()
{
    QTest::addColumn<QString>("Text");
    QTest::addColumn<int>("Number");
    QTest::newRow("own version") << "1.000" << 1000;
    QTest::newRow("plain") << "2.105" << 2105;
    QTest::newRow("with prefix") << "VER. 1.001" << 1001;
    QTest::newRow("lower-case prefix") << "ver. 2.000" << 2000;
    QTest::newRow("blanks around version") << "VER.    1.001  \r\n" << 1001;
    QTest::newRow("characters after the fifth ignored") << "VER. 1.0019 beta" << 1001;
    QTest::newRow("two-digit major") << "VER. 10.00" << -1;
    QTest::newRow("too short") << "VER. 1.2" << -1;
    QTest::newRow("letters") << "VER. a.bcd" << -1;
    QTest::newRow("blank inside") << "VER. 1. 00" << -1;
    QTest::newRow("empty") << "" << -1;
    QTest::newRow("blank only") << " " << -1;
    QTest::newRow("point not checked") << "1x234" << 1234;
    QTest::newRow("leading blank is the first blank") << " 1.500" << 1500;
}

void Test_Version_Check::Converts_Version_Texts()
{
    QFETCH(QString, Text);
    QFETCH(int, Number);
    QCOMPARE(Conv_Version(Text), Number);
}

void Test_Version_Check::Judges_Replies_data()
{
    QTest::addColumn<QByteArray>("Reply");
    QTest::addColumn<bool>("Newer");
    QTest::newRow("VER. 1.001") << QByteArray("VER. 1.001") << true;
    QTest::newRow("VER. 1.000 (own)") << QByteArray("VER. 1.000") << false;
    QTest::newRow("VER. 0.999") << QByteArray("VER. 0.999") << false;
    QTest::newRow("VER. 0.000") << QByteArray("VER. 0.000") << false;
    QTest::newRow("ver. 0.000") << QByteArray("ver. 0.000") << false;
    QTest::newRow("Ver. 0.000 with line break") << QByteArray("Ver. 0.000\r\n") << false;
    QTest::newRow("ver. 2.000") << QByteArray("ver. 2.000") << true;
    QTest::newRow("2.000 without prefix") << QByteArray("2.000") << true;
    QTest::newRow("VER. 10.00") << QByteArray("VER. 10.00") << false;
    QTest::newRow("VER. 1.2") << QByteArray("VER. 1.2") << false;
    QTest::newRow("newer with blanks around") << QByteArray("  VER. 1.001 \r\n") << true;
    QTest::newRow("HTML error page")
        << QByteArray("<html><head><title>500 Internal Server Error</title></head><body>VER. 9.999</body></html>")
        << false;
    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("blanks only") << QByteArray(" \r\n\t") << false;
}

void Test_Version_Check::Judges_Replies()
{
    QFETCH(QByteArray, Reply);
    QFETCH(bool, Newer);
    QCOMPARE(Version_Check::Reply_Is_Newer(QString::fromUtf8(Reply)), Newer);
    Fake_Http_Client Http;
    Http.Replies = {Reply};
    QCOMPARE(Version_Check::Is_Newer_Published(&Http, Version_Check::Maker_Server()), Newer);
    QCOMPARE(Http.Requests.size(), 1);
}

void Test_Version_Check::Query_Names_Path_Software_And_Headers()
{
    const Http_Request To_Maker = Version_Check::Request(Version_Check::Maker_Server());
    QCOMPARE(To_Maker.Host, Identity::Maker_Host);
    QCOMPARE(To_Maker.Port, quint16(80));
    QCOMPARE(To_Maker.Target, QByteArray("/home/download/GetversionSW.asp?nomesw=SW40610"));
    using Header = std::pair<QByteArray, QByteArray>;
    QCOMPARE(To_Maker.Headers,
             (QList<Header>{{"Accept", "text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8"},
                            {"User-Agent", "Mozilla/3.0 (compatible; Indy Library)"}}));

    Fake_Http_Client Http;
    Version_Check::Is_Newer_Published(&Http, {QStringLiteral("127.0.0.1"), 8080});
    QCOMPARE(Http.Requests.size(), 1);
    QCOMPARE(Http.Requests[0].Host, QString("127.0.0.1"));
    QCOMPARE(Http.Requests[0].Port, quint16(8080));
    QCOMPARE(Http.Requests[0].Target, To_Maker.Target);
}

void Test_Version_Check::No_Client_Or_Failed_Query_Is_No_Update()
{
    QVERIFY(!Version_Check::Is_Newer_Published(nullptr, Version_Check::Maker_Server()));
    Fake_Http_Client Http;
    Http.Replies = {std::unexpected(QStringLiteral("refused"))};
    QVERIFY(!Version_Check::Is_Newer_Published(&Http, Version_Check::Maker_Server()));
}

void Test_Version_Check::Link_Text_Is_Escaped()
{
    QCOMPARE(Version_Check::Link_Markup("http://h/p.asp#A", "New <b> & more"),
             QString("<a href=\"http://h/p.asp#A\">New &lt;b&gt; &amp; more</a>"));
}

QTEST_GUILESS_MAIN(Test_Version_Check)
#include "test_version_check.moc"
