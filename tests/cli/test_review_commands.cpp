// "sw40610 diff" and "sw40610 report" run as commands, without a display.
#include "project/Par_Gen_File.h"
#include "project/Variables_File.h"
#include "support/Built_Program.h"
#include "support/Test_Files.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>

using Run_Result = Test_Support::Program_Run;

class Test_Review_Commands : public QObject {
    Q_OBJECT

    QTemporaryDir Dir;
    QString A;
    QString B;

    Run_Result Run(const QStringList& Arguments)
    {
        QProcessEnvironment Env = QProcessEnvironment::systemEnvironment();
        // No display of any kind: a windowing plugin would fail to start.
        Env.remove(QStringLiteral("DISPLAY"));
        Env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        Env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        // The graphics application of "report" wants a runtime folder: one of the test's own.
        Env.insert(QStringLiteral("XDG_RUNTIME_DIR"), Dir.path() + "/runtime");
        const Run_Result Result = Test_Support::Run_Program(Test_Support::Built_Program(), Arguments, Dir.path(), Env, 60000);
        if (Result.Timed_Out)
            qFatal("sw40610 did not end");
        return Result;
    }

    void Write(const QString& Folder, const QString& Station, const QString& Factor, const QString& Description = {})
    {
        Par_Gen::Values Par = Par_Gen::Defaults();
        Par[Par_Gen::PROFINET_NAME_STA] = Station;
        QVERIFY(Par_Gen::Save(Folder + "/ParGen.xml", Par));
        QVERIFY(Variables_File::Save(Folder + "/IEC61850_Variables.xml",
                                     {{"Y", "Temp", "FLOAT", "4", "N", "0", "0", "", Factor, "N", "N", Description}}));
    }

private slots:
    void initTestCase()
    {
        A = Dir.path() + "/Plant A";
        B = Dir.path() + "/Plant B";
        QDir().mkpath(A);
        QDir().mkpath(B);
        QDir().mkpath(Dir.path() + "/runtime");
        QFile::setPermissions(Dir.path() + "/runtime", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void Same_Device_Configuration()
    {
        Write(A, "line-1", "1.5");
        Write(B, "line-1", "1,5");
        const Run_Result R = Run({"diff", A, B});
        QCOMPARE(R.Err, QString());
        QCOMPARE(R.Out, QString());
        QCOMPARE(R.Exit_Code, 0);
    }

    void Descriptions_Are_Told_But_Leave_The_Device_Configuration_Alike()
    {
        Write(A, "line-1", "1.5", "outside air");
        Write(B, "line-1", "1.5", "hall 2");
        const Run_Result R = Run({"diff", A, B});
        QCOMPARE(R.Err, QString());
        QCOMPARE(R.Out, QString("IEC61850_Variables.xml: variable Temp: Mnemonic: outside air -> hall 2 "
                                "(description only, not sent to the device)\n"));
        QCOMPARE(R.Exit_Code, 0);

        const Run_Result J = Run({"diff", "--json", A, B});
        QCOMPARE(J.Exit_Code, 0);
        const QJsonArray List = QJsonDocument::fromJson(J.Out.toUtf8())["differences"].toArray();
        QCOMPARE(List.size(), 1);
        QCOMPARE(List[0].toObject(), (QJsonObject{{"file", "IEC61850_Variables.xml"},
                                                  {"item", "variable Temp: Mnemonic"},
                                                  {"a", "outside air"},
                                                  {"b", "hall 2"},
                                                  {"sent_to_device", false}}));

        // With a value that the device is given: different.
        Write(B, "line-2", "1.5", "hall 2");
        QCOMPARE(Run({"diff", A, B}).Exit_Code, 1);
    }

    void Differences_As_Lines_And_Json()
    {
        Write(A, "line-1", "1.5");
        Write(B, "line-2", "2.5");
        const Run_Result R = Run({"diff", A, B});
        QCOMPARE(R.Exit_Code, 1);
        QCOMPARE(R.Out, QString("ParGen.xml: PROFINET_NAME_STA: line-1 -> line-2\n"
                                "IEC61850_Variables.xml: variable Temp: MultiplicationFactor: 1.5 -> 2.5\n"));

        const Run_Result J = Run({"diff", "--json", A, B});
        QCOMPARE(J.Exit_Code, 1);
        QJsonParseError Error;
        const QJsonDocument Doc = QJsonDocument::fromJson(J.Out.toUtf8(), &Error);
        QCOMPARE(Error.error, QJsonParseError::NoError);
        QCOMPARE(Doc["a"].toString(), QDir::toNativeSeparators(A));
        QCOMPARE(Doc["b"].toString(), QDir::toNativeSeparators(B));
        const QJsonArray List = Doc["differences"].toArray();
        QCOMPARE(List.size(), 2);
        QCOMPARE(List[0].toObject(), (QJsonObject{{"file", "ParGen.xml"}, {"item", "PROFINET_NAME_STA"},
                                                  {"a", "line-1"}, {"b", "line-2"}}));
    }

    void Refusals_data()
    {
        QTest::addColumn<QStringList>("Arguments");
        QTest::addColumn<int>("Exit_Code");
        QTest::addColumn<QString>("Err_Part");
        QTest::newRow("one folder") << QStringList{"diff", "Plant A"} << 2 << "two configuration folders";
        QTest::newRow("three folders") << QStringList{"diff", "Plant A", "Plant B", "x"} << 2 << "diff: unexpected argument 'x'";
        QTest::newRow("unknown option") << QStringList{"diff", "--quick", "Plant A", "Plant B"} << 2 << "quick";
        QTest::newRow("bad separator") << QStringList{"diff", "--decimal-separator", ";", "Plant A", "Plant B"} << 2
                                       << "decimal-separator";
        QTest::newRow("missing folder") << QStringList{"diff", "Plant A", "Plant Z"} << 3 << "Plant Z";
    }

    void Refusals()
    {
        QFETCH(QStringList, Arguments);
        QFETCH(int, Exit_Code);
        QFETCH(QString, Err_Part);
        Write(A, "line-1", "1.5");
        Write(B, "line-1", "1.5");
        const Run_Result R = Run(Arguments);
        QCOMPARE(R.Exit_Code, Exit_Code);
        QCOMPARE(R.Out, QString());
        QVERIFY2(R.Err.startsWith("sw40610: ") && R.Err.contains(Err_Part), qPrintable(R.Err));
    }

    void Report_Without_Display()
    {
        Write(A, "line-1", "1.5");
        const Run_Result R = Run({"report", A});
        QCOMPARE(R.Exit_Code, 0);
        const QString Default = A + "/Plant A-report.pdf";
        QCOMPARE(R.Out, "Report written: " + QDir::toNativeSeparators(Default) + "\n");
        QVERIFY(Test_Support::Read_File(Default).startsWith("%PDF-"));

        const Run_Result Named = Run({"report", A, "-o", "named.pdf", "-q"});
        QCOMPARE(Named.Exit_Code, 0);
        QCOMPARE(Named.Out, QString());
        QVERIFY(Test_Support::Read_File(Dir.path() + "/named.pdf").startsWith("%PDF-"));
    }

    void Report_Refusals_data()
    {
        QTest::addColumn<QStringList>("Arguments");
        QTest::addColumn<int>("Exit_Code");
        QTest::newRow("no folder given") << QStringList{"report"} << 2;
        QTest::newRow("two folders") << QStringList{"report", "Plant A", "Plant B"} << 2;
        QTest::newRow("unknown option") << QStringList{"report", "Plant A", "--json"} << 2;
        QTest::newRow("missing folder") << QStringList{"report", "Plant Z"} << 3;
        QTest::newRow("output folder missing") << QStringList{"report", "Plant A", "-o", "no/such/r.pdf"} << 3;
    }

    void Report_Refusals()
    {
        QFETCH(QStringList, Arguments);
        QFETCH(int, Exit_Code);
        Write(A, "line-1", "1.5");
        const Run_Result R = Run(Arguments);
        QCOMPARE(R.Exit_Code, Exit_Code);
        QCOMPARE(R.Out, QString());
        QVERIFY2(R.Err.contains("sw40610: "), qPrintable(R.Err));
        QVERIFY(!QFile::exists(Dir.path() + "/no"));
    }

    void Unreadable_File()
    {
        Write(A, "line-1", "1.5");
        Write(B, "line-1", "1.5");
        Test_Support::Write_File(B + "/IEC61850_Variables.xml", "<IEC61850_Variables><row Name=");
        const Run_Result R = Run({"diff", A, B});
        QCOMPARE(R.Exit_Code, 3);
        QVERIFY2(R.Err.contains(QDir::toNativeSeparators(B + "/IEC61850_Variables.xml")), qPrintable(R.Err));
    }
};

QTEST_GUILESS_MAIN(Test_Review_Commands)
#include "test_review_commands.moc"
