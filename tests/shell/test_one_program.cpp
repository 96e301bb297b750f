// One program per configuration: a second program on the same configuration
// (a second process in these tests) is told who holds it and opens it
// read-only or not at all.
#include "project/Par_Gen_File.h"
#include "project/Project_Lock.h"
#include "support/Program_Folder.h"
#include "support/Test_Support.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QSysInfo>
#include <QTest>

#include <cstdio>
#include <iostream>

using Test_Support::Find;
using Test_Support::Read_File;
using Test_Support::When_Modal;

namespace {

// Run as the other program: holds the lock of the folder given until its
// standard input closes; exit code 5 when the lock is held by someone else.
int Hold_Lock(const QString& Dir)
{
    Project_Lock Lock;
    if (Lock.Take(Dir) != Project_Lock::Outcome::Taken)
        return 5;
    std::cout << "held" << std::endl;
    std::getchar();
    return 0;
}

struct Other_Program {
    QProcess Process;
    explicit Other_Program(const QString& Dir)
    {
        QProcessEnvironment Env = QProcessEnvironment::systemEnvironment();
        Env.insert("SW_TEST_HOLD_LOCK", Dir);
        Process.setProcessEnvironment(Env);
        Process.start(QCoreApplication::applicationFilePath(), {});
    }
    bool Holds()
    {
        return Process.waitForReadyRead(20000) && Process.readLine().trimmed() == "held";
    }
    int Finish()
    {
        Process.closeWriteChannel();
        Process.waitForFinished(20000);
        return Process.exitCode();
    }
    ~Other_Program()
    {
        if (Process.state() != QProcess::NotRunning)
            Finish();
    }
};

// Plant1 (remembered as the last one open) and Plant2, each with general parameters.
struct Fixture : Program_Folder {
    Fixture()
    {
        for (const char* Name : {"Plant1", "Plant2"})
            Par_Gen::Save(Add_Project(Name) + "/ParGen.xml", Par_Gen::Defaults());
        Remember_Project("Plant1");
    }
    QString Project(const QString& Name) const { return Exe_Dir + "/PROJECTS/" + Name; }
    QString Shown_Name() const { return Find<QLabel>(Window.get(), "L_Name_Conf_L2")->text(); }
    void Open_Through_Dialog(const QString& Name)
    {
        When_Modal([Name](QWidget* Open) {
            auto* List = Find<QListWidget>(Open, "ListBox1");
            List->setCurrentItem(List->findItems(Name, Qt::MatchExactly).value(0));
            QTest::mouseClick(Find<QPushButton>(Open, "Btn_OK"), Qt::LeftButton);
        });
        Click("Btn_Open");
    }
};

} // namespace

class Test_One_Program : public QObject {
    Q_OBJECT
private slots:
    void the_second_program_opens_read_only_and_saves_nothing()
    {
        Fixture F;
        Other_Program Other(F.Project("Plant1"));
        QVERIFY(Other.Holds());
        const QByteArray Before = Read_File(F.Project("Plant1") + "/ParGen.xml");
        F.Prompts.Answers = {Prompt_Answer::Yes};
        F.Start();

        // Told which program holds it.
        QCOMPARE(F.Prompts.Messages.size(), 1);
        const QString Question = F.Prompts.Messages[0].Text;
        QCOMPARE(F.Prompts.Messages[0].Buttons, Prompt_Buttons::Yes_No_Default_No);
        for (const QString& Part : {QString("Plant1"), QString::number(Other.Process.processId()),
                                    QSysInfo::machineHostName(), QDate::currentDate().toString("yyyy-MM-dd")})
            // (Windows names the computer in capitals where Qt gives its host name in small letters.)
            QVERIFY2(Question.contains(Part, Qt::CaseInsensitive), qPrintable(Question + " lacks " + Part));
        QVERIFY(F.Space.Is_Project_Active());
        QCOMPARE(F.Shown_Name(), QString("Plant1 (read-only)"));
        QCOMPARE(F.Window->Read_Only_Reason().isEmpty(), false);

        // The editor shows the file, and OK is refused with the reason.
        When_Modal([](QWidget* Editor) {
            QCOMPARE(Editor->objectName(), QString("TFParGen"));
            QTest::mouseClick(Find<QPushButton>(Editor, "Btn_OK"), Qt::LeftButton);
            QTest::mouseClick(Find<QPushButton>(Editor, "Btn_Cancel"), Qt::LeftButton);
        });
        F.Click("Btn_Prm_Gen");
        QCOMPARE(F.Prompts.Last_Text(), F.Window->Read_Only_Reason());
        QVERIFY(F.Window->Read_Only_Reason().contains(QString::number(Other.Process.processId())));
        QCOMPARE(Read_File(F.Project("Plant1") + "/ParGen.xml"), Before);

        // Compiling writes into the folder: refused as well.
        F.Prompts.Messages.clear();
        F.Click("Btn_CreateBin");
        QCOMPARE(F.Prompts.Texts(), QStringList{F.Window->Read_Only_Reason()});
        QVERIFY(!QFileInfo::exists(F.Project("Plant1") + "/bin/bank1.bin"));
        QVERIFY(!QFileInfo::exists(F.Project("Plant1") + "/.history"));

        // The other program keeps its lock.
        QCOMPARE(Project_Lock::Holder_Of(F.Project("Plant1"))->Pid, Other.Process.processId());
        QCOMPARE(Other.Finish(), 0);
    }

    void answering_no_opens_nothing()
    {
        Fixture F;
        Other_Program Other(F.Project("Plant1"));
        QVERIFY(Other.Holds());
        F.Prompts.Answers = {Prompt_Answer::No};
        F.Start();
        QVERIFY(!F.Space.Is_Project_Active());
        QCOMPARE(F.Shown_Name(), QString("Use Step1 to open or create new configuration"));
    }

    void the_window_holds_its_configuration_until_another_is_opened()
    {
        Fixture F;
        F.Start();
        QVERIFY(F.Prompts.Messages.isEmpty());
        QCOMPARE(Project_Lock::Holder_Of(F.Project("Plant1"))->Pid, QCoreApplication::applicationPid());
        {
            // A second program cannot take it.
            Other_Program Other(F.Project("Plant1"));
            QVERIFY(Other.Process.waitForFinished(20000));
            QCOMPARE(Other.Process.exitCode(), 5);
        }
        F.Open_Through_Dialog("Plant2");
        QCOMPARE(F.Space.Project_Name, QString("Plant2"));
        QVERIFY(!Project_Lock::Holder_Of(F.Project("Plant1")));
        QCOMPARE(Project_Lock::Holder_Of(F.Project("Plant2"))->Pid, QCoreApplication::applicationPid());
        Other_Program Now_Free(F.Project("Plant1"));
        QVERIFY(Now_Free.Holds());
    }

    void refusing_a_held_configuration_keeps_the_one_open()
    {
        Fixture F;
        F.Start();
        Other_Program Other(F.Project("Plant2"));
        QVERIFY(Other.Holds());
        F.Prompts.Answers = {Prompt_Answer::No};
        F.Open_Through_Dialog("Plant2");
        QCOMPARE(F.Prompts.Messages.size(), 1);
        QCOMPARE(F.Space.Project_Name, QString("Plant1"));
        QCOMPARE(F.Shown_Name(), QString("Plant1"));
        QCOMPARE(Project_Lock::Holder_Of(F.Project("Plant1"))->Pid, QCoreApplication::applicationPid());
        // And a save there goes on as before.
        QVERIFY(F.Window->Read_Only_Reason().isEmpty());
    }

    void a_configuration_held_elsewhere_is_neither_renamed_nor_deleted()
    {
        Fixture F;
        F.Start();
        Other_Program Other(F.Project("Plant2"));
        QVERIFY(Other.Holds());
        for (const char* Command : {"Btn_Rename", "Btn_Delete"}) {
            When_Modal([Command](QWidget* Open) {
                auto* List = Find<QListWidget>(Open, "ListBox1");
                List->setCurrentItem(List->findItems("Plant2", Qt::MatchExactly).value(0));
                QTest::mouseClick(Find<QPushButton>(Open, Command), Qt::LeftButton);
                QTest::mouseClick(Find<QPushButton>(Open, "Btn_Cancel"), Qt::LeftButton);
            });
            F.Click("Btn_Open");
            QVERIFY2(F.Prompts.Last_Text().contains(QString::number(Other.Process.processId())),
                     qPrintable(F.Prompts.Last_Text()));
        }
        QVERIFY(QFileInfo(F.Project("Plant2")).isDir());
    }
};

int main(int argc, char* argv[])
{
    if (const QString Folder = qEnvironmentVariable("SW_TEST_HOLD_LOCK"); !Folder.isEmpty()) {
        QCoreApplication App(argc, argv);
        return Hold_Lock(Folder);
    }
    QApplication App(argc, argv);
    Test_One_Program Test;
    return QTest::qExec(&Test, argc, argv);
}

#include "test_one_program.moc"
