// The command line's registry: every command's own help and the refusals of
// wrong usage, read once for all commands from one table.
#include "support/Cli_In_Process.h"

#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

namespace {

const QString Device_Mac = QStringLiteral("02:06:10:00:00:01");

} // namespace

class Test_Command_Registry : public QObject {
    Q_OBJECT

    QTemporaryDir Dir;

    Run_Result Run(const QStringList& Arguments) { return Run_In_Process(Arguments, Dir.filePath("program")); }

private slots:
    void initTestCase() { QVERIFY(Dir.isValid()); }

    void each_command_s_help_and_usage_data()
    {
        QTest::addColumn<QString>("Command");
        QTest::addColumn<QStringList>("Help_Holds");  // what the command's own help shows
        QTest::addColumn<QStringList>("Wrong");       // a wrong use of it
        QTest::addColumn<QString>("Refusal");

        const QString Quiet = QStringLiteral("-q, --quiet");
        const QString Separator = QStringLiteral("--decimal-separator . | ,");
        QTest::newRow("compile") << "compile" << QStringList{"compile CONFIG_DIR", Quiet, Separator}
                                 << QStringList{"compile", "x", "--json"} << "compile: option --json does not apply";
        QTest::newRow("gsdml") << "gsdml" << QStringList{"gsdml CONFIG_DIR [-o FILE]", Quiet, Separator}
                               << QStringList{"gsdml"} << "gsdml: no configuration folder given";
        QTest::newRow("check") << "check" << QStringList{"check CONFIG_DIR [--json]", Quiet}
                               << QStringList{"check", "a", "b"} << "check: unexpected argument 'b'";
        QTest::newRow("update-file")
            << "update-file"
            << QStringList{"update-file CONFIG_DIR --device ADDRESS",
                           "[--option firmware+configuration|firmware|configuration]", "[--no-read-back]", "[-o FILE]"}
            << QStringList{"update-file", "x"} << "update-file: --device ADDRESS is required";
        QTest::newRow("diff") << "diff" << QStringList{"diff CONFIG_A CONFIG_B [--json]", Separator}
                              << QStringList{"diff", "a"}
                              << "diff: two configuration folders are needed, CONFIG_A and CONFIG_B";
        QTest::newRow("report") << "report" << QStringList{"report CONFIG_DIR [-o FILE]", Quiet, Separator}
                                << QStringList{"report", "x", "--json"} << "report: option --json does not apply";
        // An option before the command is the command's all the same.
        QTest::newRow("history") << "history" << QStringList{"history CONFIG_DIR [--json]"}
                                 << QStringList{"-q", "history", "x"} << "history: option --quiet does not apply";
        QTest::newRow("restore") << "restore" << QStringList{"restore CONFIG_DIR VERSION"}
                                 << QStringList{"restore", "x"}
                                 << "restore: a configuration folder and a version are needed";
        // An option's value before the command is never taken for the command.
        QTest::newRow("discover") << "discover" << QStringList{"discover [--interface IF] [--timeout MS] [--json]"}
                                  << QStringList{"--timeout", "300", "discover", "--mac", Device_Mac}
                                  << "discover: option --mac does not apply";
        QTest::newRow("set-name") << "set-name" << QStringList{"set-name NAME --interface IF --mac MAC [--temporary]"}
                                  << QStringList{"set-name", "--interface", "lo", "gw-1"}
                                  << "set-name: --mac MAC is required";
        QTest::newRow("set-ip") << "set-ip"
                                << QStringList{"set-ip ADDRESS MASK GATEWAY --interface IF --mac MAC [--temporary]"}
                                << QStringList{"set-ip", "--interface", "lo", "--mac", Device_Mac, "10.0.0.1"}
                                << "set-ip: ADDRESS, MASK and GATEWAY are needed";
        QTest::newRow("flash") << "flash" << QStringList{"flash --interface IF --mac MAC"}
                               << QStringList{"flash", "--mac", Device_Mac} << "flash: --interface IF is required";
        QTest::newRow("commission")
            << "commission"
            << QStringList{"commission PLANT.csv --interface IF [--update] [--dry-run] [--json] [--record FILE.pdf]",
                           "[--timeout MS]"}
            << QStringList{"commission", "--interface", "lo"} << "commission: the plant list PLANT.csv is needed";
        QTest::newRow("reset-to-factory")
            << "reset-to-factory" << QStringList{"reset-to-factory --interface IF --mac MAC"}
            << QStringList{"reset-to-factory", "--interface", "", "--mac", Device_Mac}
            << "option --interface needs an interface name";
    }

    void each_command_s_help_and_usage()
    {
        QFETCH(QString, Command);
        QFETCH(QStringList, Help_Holds);
        QFETCH(QStringList, Wrong);
        QFETCH(QString, Refusal);

        const Run_Result Help = Run({Command, "--help"});
        QCOMPARE(Help.Err, QString());
        QCOMPARE(Help.Exit_Code, 0);
        QVERIFY2(Help.Out.startsWith(QStringLiteral("Usage: sw40610 ") + Help_Holds.first()), qPrintable(Help.Out));
        for (const QString& Part : Help_Holds)
            QVERIFY2(Help.Out.contains(Part), qPrintable(Part + " not in\n" + Help.Out));
        // The whole help lists the command as its own help does.
        const Run_Result All = Run({"--help"});
        QVERIFY2(All.Out.contains(QStringLiteral("  ") + Help_Holds.first()), qPrintable(Help_Holds.first()));

        const Run_Result R = Run(Wrong);
        QCOMPARE(R.Err, QStringLiteral("sw40610: %1\nTry 'sw40610 --help'.\n").arg(Refusal));
        QCOMPARE(R.Exit_Code, 2);
        QCOMPARE(R.Out, QString());
    }

    void shared_options_are_read_alike_for_every_command_data()
    {
        QTest::addColumn<QStringList>("Arguments");
        QTest::addColumn<QString>("Refusal");
        // One wording for every command that takes it.
        const QStringList Bad_Separator{"--decimal-separator", ";"};
        for (const QStringList& Command :
             {QStringList{"compile", "x"}, QStringList{"gsdml", "x"}, QStringList{"check", "x"},
              QStringList{"update-file", "x", "--device", "127.0.0.1"}, QStringList{"diff", "a", "b"},
              QStringList{"report", "x"}})
            QTest::addRow("separator, %s", qPrintable(Command.first()))
                << Command + Bad_Separator << "--decimal-separator must be '.' or ','";
        for (const char* Command : {"gsdml", "report"})
            QTest::addRow("empty output, %s", Command) << QStringList{QString::fromLatin1(Command), "x", "-o", ""}
                                                      << "option --output needs a file name";
        QTest::newRow("unknown option") << QStringList{"history", "x", "--fast"} << "Unknown option 'fast'.";
        QTest::newRow("unknown command") << QStringList{"build", "x"} << "unknown command 'build'";
        QTest::newRow("no command") << QStringList{"--json"} << "no command given";
    }

    void shared_options_are_read_alike_for_every_command()
    {
        QFETCH(QStringList, Arguments);
        QFETCH(QString, Refusal);
        const Run_Result R = Run(Arguments);
        QCOMPARE(R.Err, QStringLiteral("sw40610: %1\nTry 'sw40610 --help'.\n").arg(Refusal));
        QCOMPARE(R.Exit_Code, 2);
    }
};

QTEST_GUILESS_MAIN(Test_Command_Registry)
#include "test_command_registry.moc"
