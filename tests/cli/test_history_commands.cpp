// "sw40610 history" and "sw40610 restore".
#include "support/Cli_In_Process.h"
#include "project/Par_Gen_File.h"
#include "project/Project_History.h"
#include "project/Project_Lock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

namespace {

QByteArray Bytes_Of(const QString& Path)
{
    QFile File(Path);
    return File.open(QIODevice::ReadOnly) ? File.readAll() : QByteArray();
}

} // namespace

class Test_History_Commands : public QObject {
    Q_OBJECT

    QTemporaryDir Dir;
    QString Config;

    Run_Result Run(const QStringList& Arguments) { return Run_In_Process(Arguments, Dir.filePath("program")); }

    void Save_Station(const QString& Name)
    {
        Par_Gen::Values Data = Par_Gen::Defaults();
        Data[Par_Gen::PROFINET_NAME_STA] = Name;
        QVERIFY(Par_Gen::Save(Config + "/ParGen.xml", Data));
    }

private slots:
    void init()
    {
        Config = Dir.filePath("Plant1");
        QDir(Config).removeRecursively();
        QVERIFY(QDir().mkpath(Config));
        QVERIFY(QDir().mkpath(Dir.filePath("program")));
    }

    void history_lists_each_kept_version()
    {
        Save_Station("first");
        QCOMPARE(Run({"history", Config}).Exit_Code, 0);
        QVERIFY(Run({"history", Config}).Out.isEmpty());
        Save_Station("second");
        const QList<Project_History::Version> Kept = Project_History::List(Config);
        QCOMPARE(Kept.size(), 1);

        const Run_Result Lines = Run({"history", Config});
        QCOMPARE(Lines.Exit_Code, 0);
        QVERIFY2(Lines.Out.startsWith(Kept[0].Name + "\tParGen.xml\t"), qPrintable(Lines.Out));

        const Run_Result Json = Run({"history", Config, "--json"});
        QCOMPARE(Json.Exit_Code, 0);
        const QJsonArray Versions = QJsonDocument::fromJson(Json.Out.toUtf8()).array();
        QCOMPARE(Versions.size(), 1);
        const QJsonObject V = Versions[0].toObject();
        QCOMPARE(V["file"].toString(), QString("ParGen.xml"));
        QCOMPARE(V["version"].toString(), Kept[0].Name);
        QCOMPARE(V["size"].toInteger(), Kept[0].Size);
        QCOMPARE(QDateTime::fromString(V["time"].toString(), Qt::ISODate), Kept[0].Time);
    }

    void restore_exit_codes_data()
    {
        QTest::addColumn<QStringList>("Arguments");  // after "restore"; CONFIG stands for the folder
        QTest::addColumn<int>("Exit_Code");
        QTest::addColumn<bool>("Restored");
        QTest::newRow("kept version") << QStringList{"CONFIG", "KEPT"} << 0 << true;
        QTest::newRow("no such version") << QStringList{"CONFIG", "ParGen.20000101-000000.xml"} << 1 << false;
        QTest::newRow("a name outside the history") << QStringList{"CONFIG", "../ParGen.xml"} << 1 << false;
        QTest::newRow("version missing") << QStringList{"CONFIG"} << 2 << false;
        QTest::newRow("not a configuration") << QStringList{"EMPTY", "KEPT"} << 2 << false;
        QTest::newRow("current file not keepable") << QStringList{"CONFIG", "KEPT", "BLOCK"} << 3 << false;
    }

    void restore_exit_codes()
    {
        QFETCH(QStringList, Arguments);
        QFETCH(int, Exit_Code);
        QFETCH(bool, Restored);
        Save_Station("old");
        const QByteArray Old = Bytes_Of(Config + "/ParGen.xml");
        Save_Station("new");
        const QByteArray New = Bytes_Of(Config + "/ParGen.xml");
        const QString Kept = Project_History::List(Config).first().Name;
        const QString Empty = Dir.filePath("empty");
        QVERIFY(QDir().mkpath(Empty));
        const bool Blocked = Arguments.removeAll("BLOCK") > 0;
        if (Blocked) {
            // A folder in the file's place: its current version cannot be kept, so nothing is replaced.
            QVERIFY(QFile::remove(Config + "/ParGen.xml"));
            QVERIFY(QDir(Config).mkdir("ParGen.xml"));
        }
        QStringList Args{"restore"};
        for (const QString& A : Arguments)
            Args << (A == "CONFIG" ? Config : A == "EMPTY" ? Empty : A == "KEPT" ? Kept : A);
        const Run_Result Result = Run(Args);
        QCOMPARE(Result.Exit_Code, Exit_Code);
        if (Blocked)
            QVERIFY(QFileInfo(Config + "/ParGen.xml").isDir());
        else
            QCOMPARE(Bytes_Of(Config + "/ParGen.xml"), Restored ? Old : New);
        if (Exit_Code != 0)
            QVERIFY(!Result.Err.isEmpty());
    }

    void restore_refuses_a_configuration_open_elsewhere()
    {
        Save_Station("old");
        Save_Station("new");
        const QByteArray New = Bytes_Of(Config + "/ParGen.xml");
        // This process holds the lock; the command takes its own, as a second program would.
        Project_Lock Window;
        QCOMPARE(Window.Take(Config), Project_Lock::Outcome::Taken);
        const Run_Result Result = Run({"restore", Config, Project_History::List(Config).first().Name});
        QCOMPARE(Result.Exit_Code, 3);
        QVERIFY2(Result.Err.contains("another program"), qPrintable(Result.Err));
        QCOMPARE(Bytes_Of(Config + "/ParGen.xml"), New);
    }
};

QTEST_GUILESS_MAIN(Test_History_Commands)
#include "test_history_commands.moc"
