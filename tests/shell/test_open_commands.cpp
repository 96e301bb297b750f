// The open dialog's commands: duplicate, rename and delete, run from the main window.
#include "project/Par_Gen_File.h"
#include "shell/TFOpenConf.h"
#include "support/Program_Folder.h"
#include "support/Test_Support.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QTest>

using Test_Support::Find;
using Test_Support::Read_File;
using Test_Support::When_Modal;
using Test_Support::Write_File;

namespace {

// A program folder with configurations "Alpha" (active), "beta" and
// "Gamma", and a trash of its own through XDG_DATA_HOME.
struct Fixture : Program_Folder {
    QString Data_Home = Dir.path() + "/data";

    Fixture()
    {
        for (const QString& Name : {"Gamma", "Alpha", "beta"}) {
            Add_Project(Name);
            Write_File(Project(Name) + "/ParGen.xml", "<ParGen>" + Name.toUtf8() + "</ParGen>");
        }
        Remember_Project("Alpha");
        qputenv("XDG_DATA_HOME", Data_Home.toUtf8());
        Start();
    }
    QString Project(const QString& Name) const { return Exe_Dir + "/PROJECTS/" + Name; }
    QString Shown_Name() const { return Find<QLabel>(Window.get(), "L_Name_Conf_L2")->text(); }
    QByteArray Settings() const { return Read_File(Exe_Dir + "/Tavorix.xml"); }
};

// Selects Name in the open dialog's list by clicking it.
void Select(QWidget* Open, const QString& Name)
{
    auto* List = Find<QListWidget>(Open, "ListBox1");
    const auto Items = List->findItems(Name, Qt::MatchExactly);
    QVERIFY(!Items.isEmpty());
    QTest::mouseClick(List->viewport(), Qt::LeftButton, {}, List->visualItemRect(Items.first()).center());
}

// Answers the name dialog with each of Names in turn, confirming each with
// OK, until the dialog closes; Preset receives the name it was opened with.
void Answer_Names(const QStringList& Names, QString* Preset = nullptr)
{
    When_Modal([Names, Preset](QWidget* Modal) {
        QCOMPARE(Modal->objectName(), QString("TFConf_Name"));
        auto* Edit = Find<QLineEdit>(Modal, "E_Name");
        if (Preset)
            *Preset = Edit->text();
        for (const QString& Name : Names) {
            if (!Modal->isVisible())
                break;
            Edit->selectAll();
            QTest::keyClicks(Edit, Name);
            QTest::mouseClick(Find<QPushButton>(Modal, "Btn_OK"), Qt::LeftButton);
        }
        if (Modal->isVisible())
            QTest::mouseClick(Find<QPushButton>(Modal, "Btn_Cancel"), Qt::LeftButton);
    });
}

} // namespace

class Test_Open_Commands : public QObject {
    Q_OBJECT
private slots:
    void List_Sorted_Ignoring_Case();
    void Duplicate_Refuses_Name_Then_Selects_Copy();
    void Rename_Active_Follows_In_Settings();
    void Delete_Asks_And_Moves_To_Trash();
    void Commands_Need_Selection();
    void Compare_Shows_Differences_By_File();
    void Compare_Refusals();
    void Compare_Shows_Long_Names_Readably();
};

// Two long names: both headers elided in the middle with the whole name in
// the tooltip; the first column as wide as its items.
void Test_Open_Commands::Compare_Shows_Long_Names_Readably()
{
    Fixture F;
    const QString Long_A = "Alpha";
    const QString Long_B = "Substation North Plant Building Seven Line Three Feeder " + QString(40, 'x') + " END";
    F.Add_Project(Long_B);
    Par_Gen::Values Changed = Par_Gen::Defaults();
    Changed[Par_Gen::PROFINET_NAME_STA] = "a-station-name-that-is-long";
    QVERIFY(Par_Gen::Save(F.Project(Long_B) + "/ParGen.xml", Changed));
    QStringList Headers;
    QStringList Tips;
    QString Heading;
    QString Heading_Tip;
    int First_Width = 0;
    int First_Needs = 0;
    int Header_Room = 0;
    When_Modal([&](QWidget* Open) {
        Select(Open, Long_B);
        When_Modal([&](QWidget* Compare) {
            auto* Tree = Find<QTreeWidget>(Compare, "Tree_Differences");
            for (int Column = 1; Column < 3; ++Column) {
                Headers << Tree->headerItem()->text(Column);
                Tips << Tree->headerItem()->toolTip(Column);
            }
            Header_Room = Tree->columnWidth(2);
            First_Width = Tree->columnWidth(0);
            for (QTreeWidgetItemIterator It(Tree); *It; ++It)
                if ((*It)->parent())
                    First_Needs = std::max(First_Needs, Tree->indentation()
                                                            + Tree->fontMetrics().horizontalAdvance((*It)->text(0)));
            Heading = Find<QLabel>(Compare, "L_Heading")->text();
            Heading_Tip = Find<QLabel>(Compare, "L_Heading")->toolTip();
            QTest::mouseClick(Find<QPushButton>(Compare, "Btn_Close"), Qt::LeftButton);
        });
        QTest::mouseClick(Find<QPushButton>(Open, "Btn_Compare"), Qt::LeftButton);
        QTest::mouseClick(Find<QPushButton>(Open, "Btn_Cancel"), Qt::LeftButton);
    });
    F.Click("Btn_Open");
    QCOMPARE(Headers[0], Long_A);
    QCOMPARE(Tips, (QStringList{Long_A, Long_B}));
    // Elided in the middle: both ends of the long name stay readable.
    QVERIFY2(Headers[1].contains(QChar(0x2026)) && Headers[1].startsWith("Substation") && Headers[1].endsWith("END"),
             qPrintable(Headers[1]));
    QVERIFY(QFontMetrics(QApplication::font()).horizontalAdvance(Headers[1]) < Header_Room);
    QVERIFY2(Heading.contains("Alpha") && Heading.contains(QChar(0x2026)) && Heading.contains("END"), qPrintable(Heading));
    QVERIFY(Heading_Tip.contains(Long_B));
    QVERIFY(First_Width >= First_Needs);
}

void Test_Open_Commands::List_Sorted_Ignoring_Case()
{
    Fixture F;
    QStringList Listed;
    When_Modal([&](QWidget* Open) {
        auto* List = Find<QListWidget>(Open, "ListBox1");
        for (int I = 0; I < List->count(); ++I)
            Listed << List->item(I)->text();
        QTest::mouseClick(Find<QPushButton>(Open, "Btn_Cancel"), Qt::LeftButton);
    });
    F.Click("Btn_Open");
    QCOMPARE(Listed, (QStringList{"Alpha", "beta", "Gamma"}));
}

void Test_Open_Commands::Duplicate_Refuses_Name_Then_Selects_Copy()
{
    Fixture F;
    bool Stayed = false;
    QString Selected_After;
    When_Modal([&](QWidget* Open) {
        Select(Open, "beta");
        // An existing name in other case, an unsafe one, then a free one.
        Answer_Names({"GAMMA", "../x", "Delta"});
        QTest::mouseClick(Find<QPushButton>(Open, "Btn_Duplicate"), Qt::LeftButton);
        // The dialog stays, the copy selected in its list; nothing is opened before OK.
        Stayed = Open->isVisible();
        auto* List = Find<QListWidget>(Open, "ListBox1");
        Selected_After = List->currentItem() ? List->currentItem()->text() : QString();
        QCOMPARE(F.Space.Project_Name, QString("Alpha"));
        QTest::mouseClick(Find<QPushButton>(Open, "Btn_OK"), Qt::LeftButton);
    });
    F.Click("Btn_Open");
    QVERIFY(Stayed);
    QCOMPARE(Selected_After, QString("Delta"));
    QCOMPARE(F.Prompts.Texts(), (QStringList{"Error! Name project is not valid because directory already exists",
                                             "Error! Name project is not valid: the character \"/\" is not allowed in a configuration name."}));
    // OK opens the copy, as any configuration chosen.
    QCOMPARE(F.Space.Project_Name, QString("Delta"));
    QCOMPARE(F.Shown_Name(), QString("Delta"));
    QCOMPARE(Read_File(F.Project("Delta") + "/ParGen.xml"), QByteArray("<ParGen>beta</ParGen>"));
    QVERIFY(!QFileInfo::exists(F.Exe_Dir + "/x"));
}

void Test_Open_Commands::Rename_Active_Follows_In_Settings()
{
    Fixture F;
    QString Preset;
    When_Modal([&](QWidget* Open) {
        Select(Open, "Alpha");
        Answer_Names({"Alpha North"}, &Preset);
        QTest::mouseClick(Find<QPushButton>(Open, "Btn_Rename"), Qt::LeftButton);
    });
    F.Click("Btn_Open");
    QCOMPARE(Preset, QString("Alpha"));
    QVERIFY(F.Prompts.Messages.isEmpty());
    QCOMPARE(F.Space.Project_Name, QString("Alpha North"));
    QCOMPARE(F.Space.File_ParGen, F.Project("Alpha North") + "/ParGen.xml");
    QCOMPARE(F.Shown_Name(), QString("Alpha North"));
    QVERIFY(F.Settings().contains("<projectname>Alpha North</projectname>"));
    QVERIFY(!QFileInfo::exists(F.Project("Alpha")));

    // A cancelled rename changes nothing.
    When_Modal([&](QWidget* Open) {
        Select(Open, "beta");
        Answer_Names({});
        QTest::mouseClick(Find<QPushButton>(Open, "Btn_Rename"), Qt::LeftButton);
        QVERIFY(Open->isVisible());
        QTest::mouseClick(Find<QPushButton>(Open, "Btn_Cancel"), Qt::LeftButton);
    });
    F.Click("Btn_Open");
    QVERIFY(QFileInfo(F.Project("beta")).isDir());
    QCOMPARE(F.Space.Project_Name, QString("Alpha North"));
}

void Test_Open_Commands::Delete_Asks_And_Moves_To_Trash()
{
#ifdef Q_OS_WIN
    QSKIP("on Windows the recycle bin is the user's own, outside the test's folder");
#endif
    Fixture F;
    QStringList After;
    When_Modal([&](QWidget* Open) {
        Select(Open, "Alpha");
        // First answered No (the default), then Yes.
        F.Prompts.Answers = {Prompt_Answer::No, Prompt_Answer::Yes};
        QTest::mouseClick(Find<QPushButton>(Open, "Btn_Delete"), Qt::LeftButton);
        QVERIFY(QFileInfo(F.Project("Alpha")).isDir());
        QTest::mouseClick(Find<QPushButton>(Open, "Btn_Delete"), Qt::LeftButton);
        auto* List = Find<QListWidget>(Open, "ListBox1");
        for (int I = 0; I < List->count(); ++I)
            After << List->item(I)->text();
        QTest::mouseClick(Find<QPushButton>(Open, "Btn_Cancel"), Qt::LeftButton);
    });
    F.Click("Btn_Open");
    QCOMPARE(F.Prompts.Messages.size(), 2);
    for (const auto& Asked : F.Prompts.Messages) {
        QCOMPARE(Asked.Text, QString("Move the configuration \"Alpha\" to the trash?"));
        QCOMPARE(Asked.Buttons, Prompt_Buttons::Yes_No_Default_No);
    }
    QCOMPARE(After, (QStringList{"beta", "Gamma"}));
    QCOMPARE(Read_File(F.Data_Home + "/Trash/files/Alpha/ParGen.xml"), QByteArray("<ParGen>Alpha</ParGen>"));
    // None active, as at a start without configuration, and remembered so.
    QVERIFY(!F.Space.Is_Project_Active());
    QCOMPARE(F.Shown_Name(), QString("Use Step1 to open or create new configuration"));
    QVERIFY(F.Settings().contains("<projectname/>"));
    F.Click("Btn_Prm_Gen");
    QCOMPARE(F.Prompts.Last_Text(), QString("Error! Project not Valid: no configuration is open. Open or create one with step 1 first."));
}

void Test_Open_Commands::Commands_Need_Selection()
{
#ifdef Q_OS_WIN
    QSKIP("Windows keeps the folder of the open configuration from being deleted while the program holds its lock file open");
#endif
    Fixture F;
    for (const QString& Name : {"Alpha", "beta", "Gamma"})
        QVERIFY(QDir(F.Project(Name)).removeRecursively());
    When_Modal([&](QWidget* Open) {
        for (const char* Command : {"Btn_Duplicate", "Btn_Rename", "Btn_Delete"})
            QTest::mouseClick(Find<QPushButton>(Open, Command), Qt::LeftButton);
        QTest::mouseClick(Find<QPushButton>(Open, "Btn_Cancel"), Qt::LeftButton);
    });
    F.Click("Btn_Open");
    QCOMPARE(F.Prompts.Texts(), QStringList(3, "Select a configuration in the list first."));
}

void Test_Open_Commands::Compare_Shows_Differences_By_File()
{
    Fixture F;
    Par_Gen::Values Changed = Par_Gen::Defaults();
    Changed[Par_Gen::PROFINET_IP4] = "6";
    QVERIFY(Par_Gen::Save(F.Project("beta") + "/ParGen.xml", Changed));
    QStringList Shown;
    QStringList Headers;
    bool Same_Shown = true;
    bool Back_In_Open = false;
    When_Modal([&](QWidget* Open) {
        Select(Open, "beta");
        When_Modal([&](QWidget* Compare) {
            QCOMPARE(Compare->objectName(), QString("TFCompare"));
            auto* Tree = Find<QTreeWidget>(Compare, "Tree_Differences");
            for (int Column = 0; Column < 3; ++Column)
                Headers << Tree->headerItem()->text(Column);
            for (int G = 0; G < Tree->topLevelItemCount(); ++G) {
                QTreeWidgetItem* Group = Tree->topLevelItem(G);
                Shown << Group->text(0);
                for (int C = 0; C < Group->childCount(); ++C)
                    Shown << "  " + Group->child(C)->text(0) + "|" + Group->child(C)->text(1) + "|"
                                 + Group->child(C)->text(2);
            }
            Same_Shown = Find<QLabel>(Compare, "L_Same")->isVisible();
            QTest::mouseClick(Find<QPushButton>(Compare, "Btn_Close"), Qt::LeftButton);
        });
        QTest::mouseClick(Find<QPushButton>(Open, "Btn_Compare"), Qt::LeftButton);
        Back_In_Open = Open->isVisible();
        QTest::mouseClick(Find<QPushButton>(Open, "Btn_Cancel"), Qt::LeftButton);
    });
    F.Click("Btn_Open");
    QCOMPARE(Headers, (QStringList{"Item", "Alpha", "beta"}));
    QCOMPARE(Shown, (QStringList{"ParGen.xml", "  PROFINET_IP4|(absent)|6"}));
    QVERIFY(!Same_Shown);
    QVERIFY(Back_In_Open);
    QVERIFY(F.Prompts.Messages.isEmpty());
    // Comparing opens nothing.
    QCOMPARE(F.Space.Project_Name, QString("Alpha"));
}

void Test_Open_Commands::Compare_Refusals()
{
    Fixture F;
    Write_File(F.Project("Gamma") + "/IEC61850_Variables.xml", "<IEC61850_Variables><row");
    When_Modal([&](QWidget* Open) {
        Select(Open, "Gamma");
        QTest::mouseClick(Find<QPushButton>(Open, "Btn_Compare"), Qt::LeftButton);
        // Without an active configuration there is nothing to compare with.
        F.Space.Activate_Project(QString());
        QTest::mouseClick(Find<QPushButton>(Open, "Btn_Compare"), Qt::LeftButton);
        QTest::mouseClick(Find<QPushButton>(Open, "Btn_Cancel"), Qt::LeftButton);
    });
    F.Click("Btn_Open");
    QCOMPARE(F.Prompts.Messages.size(), 2);
    QVERIFY2(F.Prompts.Messages[0].Text.startsWith("The file \"" + QDir::toNativeSeparators(F.Project("Gamma") + "/IEC61850_Variables.xml")
                                                   + "\" could not be read: "),
             qPrintable(F.Prompts.Messages[0].Text));
    QCOMPARE(F.Prompts.Messages[1].Text,
             QString("Open a configuration first: the opened one is compared with the one selected here."));
}

QTEST_MAIN(Test_Open_Commands)
#include "test_open_commands.moc"
