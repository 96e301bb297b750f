// "History…" in the open dialog: the kept versions of a configuration, what
// each differs in from the current file, and a restore that can be undone.
#include "project/Par_Gen_File.h"
#include "project/Project_History.h"
#include "support/Program_Folder.h"
#include "support/Test_Support.h"

#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QTest>
#include <QTreeWidget>

using Test_Support::Find;
using Test_Support::Read_File;
using Test_Support::When_Modal;

namespace {

struct Fixture : Program_Folder {
    QString Plant;
    Fixture()
    {
        qputenv("TMPDIR", Dir.path().toUtf8());
        Plant = Add_Project("Plant1");
        Add_Project("Plant2");
        Save_Station("gw-old");
        Save_Station("gw-new");
        Remember_Project("Plant2");
        Start();
    }
    void Save_Station(const QString& Name)
    {
        Par_Gen::Values Data = Par_Gen::Defaults();
        Data[Par_Gen::PROFINET_NAME_STA] = Name;
        QVERIFY(Par_Gen::Save(Plant + "/ParGen.xml", Data));
    }
    // Runs Action on the history of Plant1, opened from the open dialog.
    void In_History(std::function<void(QWidget*)> Action)
    {
        When_Modal([Action](QWidget* Open) {
            auto* List = Find<QListWidget>(Open, "ListBox1");
            List->setCurrentItem(List->findItems("Plant1", Qt::MatchExactly).value(0));
            When_Modal([Action](QWidget* History) {
                QCOMPARE(History->objectName(), QString("TFHistory"));
                Action(History);
                QTest::mouseClick(Find<QPushButton>(History, "Btn_Close"), Qt::LeftButton);
            });
            QTest::mouseClick(Find<QPushButton>(Open, "Btn_History"), Qt::LeftButton);
            QTest::mouseClick(Find<QPushButton>(Open, "Btn_Cancel"), Qt::LeftButton);
        });
        Click("Btn_Open");
    }
};

QStringList Rows(QTreeWidget* Tree)
{
    QStringList Texts;
    for (int I = 0; I < Tree->topLevelItemCount(); ++I) {
        QStringList Cells;
        for (int C = 0; C < Tree->columnCount(); ++C)
            Cells << Tree->topLevelItem(I)->text(C);
        Texts << Cells.join(" | ");
    }
    return Texts;
}

} // namespace

class Test_History_Window : public QObject {
    Q_OBJECT
private slots:
    void lists_the_versions_with_what_differs()
    {
        Fixture F;
        QStringList Versions;
        QStringList Differences;
        F.In_History([&](QWidget* History) {
            Versions = Rows(Find<QTreeWidget>(History, "Tree_Versions"));
            Differences = Rows(Find<QTreeWidget>(History, "Tree_Differences"));
        });
        QCOMPARE(Versions.size(), 1);
        QVERIFY2(Versions[0].startsWith("ParGen.xml | "), qPrintable(Versions[0]));
        QVERIFY2(Versions[0].endsWith(" | 1 difference"), qPrintable(Versions[0]));
        QCOMPARE(Differences.size(), 1);
        QVERIFY2(Differences[0].contains("gw-old | gw-new"), qPrintable(Differences[0]));
    }

    void a_restore_is_kept_and_can_be_undone()
    {
        Fixture F;
        const QByteArray New = Read_File(F.Plant + "/ParGen.xml");
        const QByteArray Old = Read_File(Project_History::List(F.Plant).first().Path);
        F.Prompts.Answers = {Prompt_Answer::Yes};
        QStringList After_Restore;
        F.In_History([&](QWidget* History) {
            QTest::mouseClick(Find<QPushButton>(History, "Btn_Restore"), Qt::LeftButton);
            After_Restore = Rows(Find<QTreeWidget>(History, "Tree_Versions"));
        });
        QCOMPARE(F.Prompts.Messages.size(), 2);
        QCOMPARE(F.Prompts.Messages[0].Buttons, Prompt_Buttons::Yes_No_Default_No);
        QCOMPARE(Read_File(F.Plant + "/ParGen.xml"), Old);
        // The version replaced by the restore is the newest, listed first.
        QCOMPARE(After_Restore.size(), 2);
        QCOMPARE(Read_File(Project_History::List(F.Plant).first().Path), New);

        // Undone: the newest version restored.
        F.Prompts.Answers = {Prompt_Answer::Yes};
        F.In_History([&](QWidget* History) {
            QTest::mouseClick(Find<QPushButton>(History, "Btn_Restore"), Qt::LeftButton);
        });
        QCOMPARE(Read_File(F.Plant + "/ParGen.xml"), New);
    }

    void a_restore_not_confirmed_changes_nothing()
    {
        Fixture F;
        const QByteArray New = Read_File(F.Plant + "/ParGen.xml");
        F.Prompts.Answers = {Prompt_Answer::No};
        F.In_History([&](QWidget* History) {
            QTest::mouseClick(Find<QPushButton>(History, "Btn_Restore"), Qt::LeftButton);
        });
        QCOMPARE(Read_File(F.Plant + "/ParGen.xml"), New);
        QCOMPARE(Project_History::List(F.Plant).size(), 1);
    }
};

QTEST_MAIN(Test_History_Window)
#include "test_history_window.moc"
