#include "update/Reachability.h"
#include "update/Update_Fakes.h"

#include <QTest>

class Test_Reachability : public QObject {
    Q_OBJECT
private slots:
    void Replies_data();
    void Replies();
    void Unusable_Host_Ends_At_Once();
    void Request_Carries_The_Address_Text();
    void Stop_Ends_After_The_Attempt();
};

void Test_Reachability::Replies_data()
{
    QTest::addColumn<QList<int>>("Replies");
    QTest::addColumn<int>("Default_Reply");
    QTest::addColumn<bool>("Answered");
    QTest::addColumn<int>("Ping_Res");
    QTest::addColumn<int>("Attempts");
    QTest::addColumn<qint64>("Elapsed_Min");
    QTest::addColumn<qint64>("Elapsed_Max");

    // 13 silent attempts of 400 + 10 ms: the last one starts at 4920 ms.
    QTest::newRow("answering gateway") << QList<int>{} << 32 << true << 1 << 2 << qint64(0) << qint64(100);
    QTest::newRow("silent gateway") << QList<int>{} << 0 << false << 2 << 13 << qint64(5000) << qint64(5400);
    QTest::newRow("one lost reply") << QList<int>{32, 0, 32} << 0 << true << 1 << 3 << qint64(400) << qint64(500);
    QTest::newRow("answers once, then silent")
        << QList<int>{32} << 0 << false << 2 << 14 << qint64(4900) << qint64(5400);
    QTest::newRow("silent, then answers twice late")
        << QList<int>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 32, 32} << 0 << true << 1 << 14 << qint64(4900)
        << qint64(5400);
}

void Test_Reachability::Replies()
{
    QFETCH(QList<int>, Replies);
    QFETCH(int, Default_Reply);
    QFETCH(bool, Answered);
    QFETCH(int, Ping_Res);
    QFETCH(int, Attempts);
    QFETCH(qint64, Elapsed_Min);
    QFETCH(qint64, Elapsed_Max);
    Fake_Clock Time;
    Time.Now = 123456;
    Fake_Echo_Client Echo(Time);
    Echo.Replies = Replies;
    Echo.Default_Reply = Default_Reply;
    Reachability_Check Check(Echo, Time);

    QCOMPARE(Check.Send_Ping(QStringLiteral("127.0.0.1")), Answered);
    QCOMPARE(Check.ping_res, Ping_Res);
    QCOMPARE(Echo.Requests.size(), Attempts);
    const qint64 Elapsed = Time.Now - 123456;
    QVERIFY2(Elapsed >= Elapsed_Min && Elapsed <= Elapsed_Max, qPrintable(QString::number(Elapsed)));
    // Window messages run after every attempt.
    QCOMPARE(Time.Message_Pumps, Attempts);
}

void Test_Reachability::Unusable_Host_Ends_At_Once()
{
    Fake_Clock Time;
    Fake_Echo_Client Echo(Time);
    Echo.Error = QStringLiteral("no such host");
    Reachability_Check Check(Echo, Time);
    QVERIFY(!Check.Send_Ping(QStringLiteral("gate.way.")));
    QCOMPARE(Check.ping_res, 0);
    QCOMPARE(Echo.Requests.size(), 1);
    QCOMPARE(Check.Failure, QStringLiteral("no such host"));

    // An earlier run's result does not leak into the next one.
    Echo.Error.clear();
    Echo.Default_Reply = 0;
    QVERIFY(!Check.Send_Ping(QStringLiteral("127.0.0.1")));
    QCOMPARE(Check.ping_res, 2);
    Echo.Error = QStringLiteral("no such host");
    QVERIFY(!Check.Send_Ping(QStringLiteral("x")));
    QCOMPARE(Check.ping_res, 0);
}

void Test_Reachability::Request_Carries_The_Address_Text()
{
    Fake_Clock Time;
    Fake_Echo_Client Echo(Time);
    Echo.Default_Reply = 10;
    Reachability_Check Check(Echo, Time);
    Check.Send_Ping(QStringLiteral("127.0.0.01"));
    for (const auto& R : Echo.Requests) {
        QCOMPARE(R.Host, QStringLiteral("127.0.0.01"));
        QCOMPARE(R.Data, QByteArray("127.0.0.01"));
        QCOMPARE(R.Timeout_Ms, 400);
    }
}

void Test_Reachability::Stop_Ends_After_The_Attempt()
{
    Fake_Clock Time;
    Fake_Echo_Client Echo(Time);
    Echo.Default_Reply = 32;
    Reachability_Check Check(Echo, Time);
    // Asked only once window messages have run, where a Cancel click lands.
    Check.Stop_Requested = [&] { return Time.Message_Pumps >= 1; };
    QVERIFY(!Check.Send_Ping(QStringLiteral("127.0.0.1")));
    QCOMPARE(Echo.Requests.size(), 1);
    QCOMPARE(Time.Message_Pumps, 1);
}

QTEST_GUILESS_MAIN(Test_Reachability)
#include "test_reachability.moc"
