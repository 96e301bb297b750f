#include "localisation/TFSoftOptions.h"
#include "localisation/Version_Check.h"
#include "localisation/Version_Watch.h"
#include "platform/Qt_Http_Client.h"
#include "foundation/Workspace.h"
#include "support/Scripted_Prompter.h"
#include "support/Test_Support.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using Test_Support::Find;

namespace {

// An HTTP server on 127.0.0.1 run by the test's own event loop: it records each
// request and answers it with fixed bytes, or never answers at all.
class Loopback_Server : public QObject {
public:
    Loopback_Server()
    {
        if (!Server.listen(QHostAddress::LocalHost, 0))
            qFatal("cannot listen on 127.0.0.1");
        connect(&Server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* Socket = Server.nextPendingConnection()) {
                auto Received = std::make_shared<QByteArray>();
                connect(Socket, &QTcpSocket::readyRead, Socket, [this, Socket, Received] {
                    *Received += Socket->readAll();
                    if (!Received->contains("\r\n\r\n"))
                        return;
                    Requests.append(*Received);
                    Received->clear();
                    if (Silent)
                        return;
                    Socket->write(Reply);
                    Socket->disconnectFromHost();
                });
            }
        });
    }

    Version_Check::Server Where() const { return {QStringLiteral("127.0.0.1"), Server.serverPort()}; }

    QTcpServer Server;
    QByteArray Reply;
    bool Silent = false;
    QList<QByteArray> Requests;
};

std::expected<QByteArray, QString> Ask(Loopback_Server& Server, int Timeout_Ms = 5000)
{
    return Qt_Http_Client(Timeout_Ms).Get(Version_Check::Request(Server.Where()));
}

} // namespace

class Test_Version_Query : public QObject {
    Q_OBJECT
private slots:
    void Sends_Exact_Request_Without_Cookies();
    void Reads_Replies_data();
    void Reads_Replies();
    void Gives_Up_On_A_Silent_Server();
    void Refused_Connection_Fails_At_Once();
    void Reads_At_Most_64_KiB_Of_A_Large_Body_data();
    void Reads_At_Most_64_KiB_Of_A_Large_Body();
    void Drops_Input_But_Keeps_Running_Events();
    void Manual_Check_In_Options_Dialog_data();
    void Manual_Check_In_Options_Dialog();
};

void Test_Version_Query::Sends_Exact_Request_Without_Cookies()
{
    Loopback_Server Server;
    Server.Reply = "HTTP/1.1 200 OK\r\nSet-Cookie: session=42; Path=/\r\nContent-Length: 10\r\n\r\nVER. 1.000";
    QVERIFY(Ask(Server).has_value());
    QVERIFY(Ask(Server).has_value());
    const QByteArray Expected = "GET /home/download/GetversionSW.asp?nomesw=SW40610 HTTP/1.0\r\n"
                                "Host: 127.0.0.1:" + QByteArray::number(Server.Server.serverPort()) + "\r\n"
                                "Accept: text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8\r\n"
                                "User-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n"
                                "\r\n";
    QCOMPARE(Server.Requests.size(), 2);
    QCOMPARE(Server.Requests[0], Expected);
    // The cookie the server set is not sent back.
    QCOMPARE(Server.Requests[1], Expected);
}

void Test_Version_Query::Reads_Replies_data()
{
    QTest::addColumn<QByteArray>("Reply");
    QTest::addColumn<QByteArray>("Body"); // what Get returns
    QTest::addColumn<bool>("Ok");
    QTest::addColumn<bool>("Newer");
    QTest::newRow("200 with length") << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nVER. 1.001")
                                     << QByteArray("VER. 1.001") << true << true;
    QTest::newRow("200 read to the close") << QByteArray("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\nVER. 0.000\r\n")
                                           << QByteArray("VER. 0.000\r\n") << true << false;
    QTest::newRow("length shorter than the data") << QByteArray("HTTP/1.0 200 OK\r\ncontent-length: 5\r\n\r\n2.000 and more")
                                                  << QByteArray("2.000") << true << true;
    QTest::newRow("bare line feeds") << QByteArray("HTTP/1.0 200 OK\nContent-Length: 10\n\nVER. 1.001")
                                     << QByteArray("VER. 1.001") << true << true;
    QTest::newRow("empty body") << QByteArray("HTTP/1.0 204 No Content\r\n\r\n") << QByteArray() << true << false;
    QTest::newRow("404 with a version in its page")
        << QByteArray("HTTP/1.1 404 Not Found\r\nContent-Length: 10\r\n\r\nVER. 9.999") << QByteArray() << false << false;
    QTest::newRow("500") << QByteArray("HTTP/1.1 500 Internal Server Error\r\n\r\n<html>error</html>") << QByteArray()
                         << false << false;
    QTest::newRow("redirect not followed")
        << QByteArray("HTTP/1.1 302 Found\r\nLocation: http://127.0.0.1:1/\r\n\r\n") << QByteArray() << false << false;
    QTest::newRow("transfer broken off") << QByteArray("HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\nVER. 1.001")
                                         << QByteArray() << false << false;
    QTest::newRow("not HTTP") << QByteArray("VER. 2.000\r\n\r\n") << QByteArray() << false << false;
    QTest::newRow("closed without a reply") << QByteArray() << QByteArray() << false << false;
}

void Test_Version_Query::Reads_Replies()
{
    QFETCH(QByteArray, Reply);
    QFETCH(QByteArray, Body);
    QFETCH(bool, Ok);
    QFETCH(bool, Newer);
    Loopback_Server Server;
    Server.Reply = Reply;
    const auto Result = Ask(Server);
    QCOMPARE(Result.has_value(), Ok);
    if (Ok)
        QCOMPARE(*Result, Body);
    else
        QVERIFY(!Result.error().isEmpty());
    Qt_Http_Client Client(5000);
    QCOMPARE(Version_Check::Is_Newer_Published(&Client, Server.Where()), Newer);
}

void Test_Version_Query::Gives_Up_On_A_Silent_Server()
{
    Loopback_Server Server;
    Server.Silent = true;
    QElapsedTimer Took;
    Took.start();
    const auto Result = Ask(Server, 300);
    QVERIFY(!Result);
    QVERIFY2(Took.elapsed() >= 250 && Took.elapsed() < 5000, qPrintable(QString::number(Took.elapsed())));
    QCOMPARE(Server.Requests.size(), 1);
    Qt_Http_Client Client(300);
    QVERIFY(!Version_Check::Is_Newer_Published(&Client, Server.Where()));
}

void Test_Version_Query::Refused_Connection_Fails_At_Once()
{
    quint16 Closed_Port = 0;
    {
        QTcpServer Probe;
        QVERIFY(Probe.listen(QHostAddress::LocalHost, 0));
        Closed_Port = Probe.serverPort();
    }
    QElapsedTimer Took;
    Took.start();
    const auto Result = Qt_Http_Client(5000).Get(Version_Check::Request({QStringLiteral("127.0.0.1"), Closed_Port}));
    QVERIFY(!Result);
    QVERIFY(Took.elapsed() < 4000);
}

void Test_Version_Query::Reads_At_Most_64_KiB_Of_A_Large_Body_data()
{
    QTest::addColumn<bool>("With_Length");
    QTest::newRow("length announced") << true;
    QTest::newRow("read to the close") << false;
}

void Test_Version_Query::Reads_At_Most_64_KiB_Of_A_Large_Body()
{
    QFETCH(bool, With_Length);
    const QByteArray Body = "VER. 1.001 " + QByteArray(16 * 1024 * 1024, 'x');
    Loopback_Server Server;
    Server.Reply = "HTTP/1.0 200 OK\r\n"
                   + (With_Length ? "Content-Length: " + QByteArray::number(Body.size()) + "\r\n" : QByteArray())
                   + "\r\n" + Body;
    const auto Result = Ask(Server);
    QVERIFY(Result.has_value());
    QCOMPARE(Result->size(), 64 * 1024);
    QCOMPARE(*Result, Body.left(64 * 1024));
    Qt_Http_Client Client(5000);
    QVERIFY(Version_Check::Is_Newer_Published(&Client, Server.Where()));
}

void Test_Version_Query::Drops_Input_But_Keeps_Running_Events()
{
    Loopback_Server Server;
    Server.Silent = true;
    QPushButton Button(QStringLiteral("Check"));
    Button.show();
    QVERIFY(QTest::qWaitForWindowExposed(&Button));
    int Clicks = 0;
    connect(&Button, &QPushButton::clicked, [&] { ++Clicks; });
    int Ticks = 0;
    QTimer::singleShot(50, [&] {
        ++Ticks;
        QTest::mouseClick(&Button, Qt::LeftButton);
        QTest::keyClick(&Button, Qt::Key_Space);
    });
    QVERIFY(!Ask(Server, 400));
    QCOMPARE(Ticks, 1);
    QCOMPARE(Clicks, 0);
    QTest::mouseClick(&Button, Qt::LeftButton);
    QCOMPARE(Clicks, 1);
}

void Test_Version_Query::Manual_Check_In_Options_Dialog_data()
{
    QTest::addColumn<QByteArray>("Reply");
    QTest::addColumn<bool>("Silent");
    QTest::addColumn<bool>("Newer");
    QTest::newRow("newer") << QByteArray("HTTP/1.0 200 OK\r\n\r\nVER. 1.001") << false << true;
    QTest::newRow("nothing published") << QByteArray("HTTP/1.0 200 OK\r\n\r\nVER. 0.000") << false << false;
    QTest::newRow("404") << QByteArray("HTTP/1.0 404 Not Found\r\n\r\n") << false << false;
    QTest::newRow("never answers") << QByteArray() << true << false;
}

void Test_Version_Query::Manual_Check_In_Options_Dialog()
{
    QFETCH(QByteArray, Reply);
    QFETCH(bool, Silent);
    QFETCH(bool, Newer);
    Loopback_Server Server;
    Server.Reply = Reply;
    Server.Silent = Silent;

    QTemporaryDir Dir;
    Workspace Space(Dir.path());
    Space.Set_Identity();
    Space.Init_Language();
    Space.Enable_Internet = Space.Enable_Update = true;
    Scripted_Prompter Prompts;
    Qt_Http_Client Http(300);
    Platform_Services Services;
    Services.Prompts = &Prompts;
    Services.Http = &Http;
    Version_Watch Watch(&Http);
    Watch.Server = Server.Where();
    TFSoftOptions Dialog(Space, Services, Watch, {});
    Dialog.show();

    auto* Result = Find<QLabel>(&Dialog, "LL_Check_Update");
    QVERIFY(Result->isHidden());
    QTest::mouseClick(Find<QPushButton>(&Dialog, "Btn_Check_Update"), Qt::LeftButton);
    QCOMPARE(Server.Requests.size(), 1);
    QVERIFY(!Result->isHidden());
    QCOMPARE(Result->text(), Newer ? QString("<a href=\"http://www.korvex.com/Home/download/download.asp#GW40610\">"
                                             "New Version Available. Click Here for more Details</a>")
                                   : QString("No Update Available"));
}

QTEST_MAIN(Test_Version_Query)
#include "test_version_query.moc"
