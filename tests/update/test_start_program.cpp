#include "platform/Clock.h"
#include "platform/Process_Runner.h"
#include "update/Start_Program.h"
#include "update/Update_Fakes.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

class Test_Start_Program : public QObject {
    Q_OBJECT
private slots:
    void Waits_For_The_Process_data();
    void Waits_For_The_Process();
    void Missing_Program_Returns_At_Once();
    void Passes_Parameters_And_Show_State();
    void Real_Short_Program_Ends();
    void Real_Missing_Program();
    void Real_Program_Outlives_Runner();
};

void Test_Start_Program::Waits_For_The_Process_data()
{
    QTest::addColumn<qint64>("Run_Ms");
    QTest::addColumn<qint64>("Code");
    QTest::addColumn<int>("Outcome");
    QTest::addColumn<qint64>("Returns_At");

    // The end is seen at the first look at or after 3000 ms, then one more pause.
    QTest::newRow("ends after 3 s") << qint64(3000) << qint64(0) << int(Start_Program_Outcome::Ended) << qint64(3010);
    QTest::newRow("ends with an error code")
        << qint64(3000) << qint64(1) << int(Start_Program_Outcome::Ended) << qint64(3010);
    QTest::newRow("runs 200 s") << qint64(200000) << qint64(0) << int(Start_Program_Outcome::Timed_Out)
                                << qint64(150000);
    QTest::newRow("never ends") << qint64(-1) << qint64(0) << int(Start_Program_Outcome::Timed_Out) << qint64(150000);
    QTest::newRow("exit code 259 counts as running")
        << qint64(10) << qint64(259) << int(Start_Program_Outcome::Timed_Out) << qint64(150000);
    QTest::newRow("ends at once") << qint64(0) << qint64(0) << int(Start_Program_Outcome::Ended) << qint64(10);
}

void Test_Start_Program::Waits_For_The_Process()
{
    QFETCH(qint64, Run_Ms);
    QFETCH(qint64, Code);
    QFETCH(int, Outcome);
    QFETCH(qint64, Returns_At);
    Fake_Clock Time;
    Time.Now = 500000; // the tick count does not start at 0
    Fake_Process_Runner Runner(Time);
    Runner.Run_Ms = Run_Ms;
    Runner.Code = Code;

    QList<qint64> Waited;
    const auto Result = Start_Program(Runner, Time, QStringLiteral("/prog/Ethernet_Update"), QString(), 0,
                                      [&](qint64 Ms) { Waited.append(Ms); });

    QCOMPARE(int(Result), Outcome);
    QCOMPARE(Time.Now - 500000, Returns_At);
    // Every pause is one 10 ms sleep; before each pause while the program
    // runs, the caller hears the time waited and window messages run.
    QCOMPARE(qint64(Time.Sleeps) * 10, Returns_At);
    const int Running_Pauses = Time.Sleeps - (Outcome == int(Start_Program_Outcome::Ended) ? 1 : 0);
    QCOMPARE(Time.Message_Pumps, Running_Pauses);
    QCOMPARE(Waited.size(), Running_Pauses);
    for (qsizetype I = 0; I < Waited.size(); ++I)
        QCOMPARE(Waited[I], qint64(10) * I);
}

void Test_Start_Program::Missing_Program_Returns_At_Once()
{
    Fake_Clock Time;
    Fake_Process_Runner Runner(Time);
    Runner.Startable = false;
    QCOMPARE(Start_Program(Runner, Time, QStringLiteral("/nowhere/x"), QString(), 0),
             Start_Program_Outcome::Not_Started);
    QCOMPARE(Time.Now, 0);
    QCOMPARE(Runner.Looks, 0);
}

void Test_Start_Program::Passes_Parameters_And_Show_State()
{
    Fake_Clock Time;
    Fake_Process_Runner Runner(Time);
    Start_Program(Runner, Time, QStringLiteral("/p/a"), QStringLiteral("-x 1"), 0);
    Start_Program(Runner, Time, QStringLiteral("/p/b"), QString(), 1);
    Start_Program(Runner, Time, QStringLiteral("/p/c"), QString(), 255);
    QCOMPARE(Runner.Starts.size(), 3);
    QCOMPARE(Runner.Starts[0].Program, QStringLiteral("/p/a"));
    QCOMPARE(Runner.Starts[0].Parameters, QStringLiteral("-x 1"));
    QVERIFY(!Runner.Starts[0].Hidden);
    QVERIFY(Runner.Starts[1].Hidden);
    QVERIFY(Runner.Starts[2].Hidden);
}

void Test_Start_Program::Real_Short_Program_Ends()
{
    QTemporaryDir Dir;
    const QString Mark = Dir.filePath(QStringLiteral("ran"));
    Qt_Process_Runner Runner;
    System_Clock Time;
    const qint64 Begin = Time.Tick_Ms();
    const auto Result = Start_Program(Runner, Time, QStringLiteral(SW_MARK_AFTER),
                                      QStringLiteral("200 \"%1\" 3").arg(QDir::toNativeSeparators(Mark)), 0);
    QCOMPARE(Result, Start_Program_Outcome::Ended);
    QVERIFY(QFileInfo::exists(Mark));
    QVERIFY(Time.Tick_Ms() - Begin < 20000);
    QCOMPARE(Runner.Exit_Code(), qint64(3));
}

void Test_Start_Program::Real_Missing_Program()
{
    QTemporaryDir Dir;
    Qt_Process_Runner Runner;
    System_Clock Time;
    QCOMPARE(Start_Program(Runner, Time, Dir.filePath(QStringLiteral("Ethernet_Update")), QString(), 0),
             Start_Program_Outcome::Not_Started);
}

void Test_Start_Program::Real_Program_Outlives_Runner()
{
    // A program still running when the wait ends must go on, even when the
    // configurator ends with it.
    QTemporaryDir Dir;
    const QString Mark = Dir.filePath(QStringLiteral("still ran"));
    {
        Qt_Process_Runner Runner;
        QVERIFY(Runner.Start(QStringLiteral(SW_MARK_AFTER),
                             QStringLiteral("500 \"%1\" 0").arg(QDir::toNativeSeparators(Mark)), false));
        QCOMPARE(Runner.Exit_Code(), Process_Runner::Still_Active);
    }
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(Mark), 10000);
}

QTEST_GUILESS_MAIN(Test_Start_Program)
#include "test_start_program.moc"
