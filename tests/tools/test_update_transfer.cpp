// The stand-in updater's side of the protocol: it listens only to the address
// and port it sent to, and learns its retry wait from the round trips.

#include "ethernet_update/Retry_Timer.h"
#include "ethernet_update/Update_Transfer.h"
#include "protocol/Update_Protocol.h"

#include <QNetworkDatagram>
#include <QTest>
#include <QUdpSocket>

#include <future>

using namespace Update_Protocol;

namespace {

Update_Plan One_Operation(quint16 Port)
{
    Update_Operation Op;
    Op.File_Name = QStringLiteral("bank2.bin");
    Op.Data = QByteArray(1200, '\x5A');
    Op.Device = QHostAddress(QHostAddress::LocalHost);
    Op.Port = Port;
    Op.Start_Address = 0x80000;
    Update_Plan Plan;
    Plan.Device = Op.Device;
    Plan.Operations.append(Op);
    return Plan;
}

} // namespace

class Test_Update_Transfer : public QObject {
    Q_OBJECT
private slots:
    void Replies_Only_From_The_Device_Port_data();
    void Replies_Only_From_The_Device_Port();
    void Retry_Wait_Follows_Round_Trips_data();
    void Retry_Wait_Follows_Round_Trips();
};

// A device on one loopback port and a stranger on another; for every request
// the stranger answers first with a well-formed reply from the same address.
void Test_Update_Transfer::Replies_Only_From_The_Device_Port_data()
{
    QTest::addColumn<Status>("Stranger_Says");
    QTest::addColumn<bool>("Device_Answers");
    QTest::addColumn<QString>("Failure");
    QTest::newRow("stranger reports an error, the device answers")
        << Status::Crc_Error << true << QString();
    QTest::newRow("stranger says ok, the device is silent")
        << Status::Ok << false << QStringLiteral("no answer from the device 127.0.0.1 port");
}

void Test_Update_Transfer::Replies_Only_From_The_Device_Port()
{
    QFETCH(Status, Stranger_Says);
    QFETCH(bool, Device_Answers);
    QFETCH(QString, Failure);
    QUdpSocket Device;
    QUdpSocket Stranger;
    QVERIFY(Device.bind(QHostAddress::LocalHost, 0));
    QVERIFY(Stranger.bind(QHostAddress::LocalHost, 0));
    const Update_Plan Plan = One_Operation(Device.localPort());

    auto Sent = std::async(std::launch::async, [&Plan] {
        Update_Transfer Transfer(Update_Transfer::Timing{50, 3});
        return Transfer.Run(Plan);
    });
    int Requests = 0;
    while (Sent.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
        if (!Device.waitForReadyRead(10))
            continue;
        while (Device.hasPendingDatagrams()) {
            const QNetworkDatagram Got = Device.receiveDatagram();
            const auto Request = Decode(Got.data());
            QVERIFY(Request);
            ++Requests;
            Packet Reply = *Request;
            Reply.Command |= Reply_Bit;
            Reply.Payload.clear();
            Reply.State = Stranger_Says;
            Stranger.writeDatagram(Encode(Reply), Got.senderAddress(), Got.senderPort());
            Reply.State = Status::Ok;
            if (Device_Answers)
                Device.writeDatagram(Encode(Reply), Got.senderAddress(), Got.senderPort());
        }
    }
    const auto Result = Sent.get();
    QVERIFY(Requests > 0);
    if (Failure.isEmpty()) {
        QVERIFY2(Result, qPrintable(Result ? QString() : Result.error()));
        QVERIFY(Requests >= 5); // Begin, three blocks, End
    } else {
        QVERIFY(!Result);
        QVERIFY2(Result.error().contains(Failure), qPrintable(Result.error()));
    }
}

// Each event is "lost" (a try went unanswered), "first N" (an answer N µs
// after the first try) or "later N" (an answer after a retry); the wait is
// the one for the try that comes next.
void Test_Update_Transfer::Retry_Wait_Follows_Round_Trips_data()
{
    QTest::addColumn<int>("Initial_Ms");
    QTest::addColumn<QStringList>("Events");
    QTest::addColumn<int>("Wait_Ms");
    QTest::addColumn<qint64>("Smoothed_Us");

    QTest::newRow("before any answer") << 300 << QStringList{} << 300 << qint64(-1);
    QTest::newRow("unanswered tries double the wait") << 300 << QStringList{"lost", "lost"} << 1200 << qint64(-1);
    QTest::newRow("up to a ceiling") << 300 << QStringList{"lost", "lost", "lost", "lost"} << 2000 << qint64(-1);
    QTest::newRow("a long wait asked for is kept") << 5000 << QStringList{"lost"} << 5000 << qint64(-1);
    // The first round trip R sets the smoothed R and the deviation R/2: R + 4 R/2.
    QTest::newRow("first round trip of 100 ms") << 300 << QStringList{"first 100000"} << 300 << qint64(100000);
    // Deviation 3/4 * 50 + 1/4 * 0; smoothed 7/8 * 100 + 1/8 * 100.
    QTest::newRow("steady round trip of 100 ms") << 300 << QStringList{"first 100000", "first 100000"} << 250
                                                 << qint64(100000);
    // Smoothed 7/8 * 100 + 1/8 * 180 = 110; deviation 3/4 * 50 + 1/4 * 80 = 57.5.
    QTest::newRow("a slower answer raises the wait") << 300 << QStringList{"first 100000", "first 180000"} << 340
                                                     << qint64(110000);
    QTest::newRow("loopback round trips: the floor") << 300 << QStringList{"first 80", "first 120", "first 95"} << 20
                                                     << qint64(86);
    QTest::newRow("fast device, one lost block") << 300 << QStringList{"first 80", "lost"} << 40 << qint64(80);
    QTest::newRow("an answer to a retry is not measured")
        << 300 << QStringList{"first 80", "lost", "later 900000"} << 40 << qint64(80);
    QTest::newRow("the next clean answer ends the back-off")
        << 300 << QStringList{"first 80", "lost", "later 900000", "first 80"} << 20 << qint64(80);
}

void Test_Update_Transfer::Retry_Wait_Follows_Round_Trips()
{
    QFETCH(int, Initial_Ms);
    QFETCH(QStringList, Events);
    QFETCH(int, Wait_Ms);
    QFETCH(qint64, Smoothed_Us);
    Retry_Timer Timer(Initial_Ms);
    for (const QString& Event : Events) {
        const QStringList Parts = Event.split(' ');
        if (Parts[0] == "lost")
            Timer.Timed_Out();
        else
            Timer.Answered(Parts[1].toLongLong(), Parts[0] == "first");
    }
    QCOMPARE(Timer.Wait_Ms(), Wait_Ms);
    QCOMPARE(Timer.Smoothed_Us(), Smoothed_Us);
}

QTEST_GUILESS_MAIN(Test_Update_Transfer)
#include "test_update_transfer.moc"
