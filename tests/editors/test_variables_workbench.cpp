#include "Editor_Fixture.h"
#include "editors/List_Files.h"
#include "editors/TFIEC61850_Variables.h"
#include "editors/Table_Rows.h"
#include "editors/Ui_Table_Undo.h"
#include "editors/Ui_Table_View.h"
#include "editors/Ui_Variable_Map.h"
#include "editors/Variables_Csv.h"
#include "support/Scripted_File_Dialogs.h"
#include "foundation/Lang_Strings.h"
#include "widgets/Ui_Fit_Text.h"
#include "support/Test_Support.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QScreen>
#include <QScrollBar>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using Test_Support::Find;
using Test_Support::Read_File;
using Test_Support::Write_File;
namespace V = IEC61850_Variables;

namespace {

// Rows 1 (bytes 10..13) and 2 (bytes 12..13) collide; row 3 is a digital
// variable on bit 5 of byte 20.
const QByteArray Overlapping_File =
    "<IEC61850_Variables>"
    "<row Enable=\"Y\" Name=\"Temp\" Type=\"Int\" Length=\"4\" ReadOnly=\"N\" Position=\"10\" StartBit=\"\" "
    "Conversion=\"None\" MultiplicationFactor=\"None\" Swap=\"N\" SwapWord=\"N\" Mnemonic=\"\"/>"
    "<row Enable=\"Y\" Name=\"Press\" Type=\"Int\" Length=\"2\" ReadOnly=\"N\" Position=\"12\" StartBit=\"\" "
    "Conversion=\"None\" MultiplicationFactor=\"None\" Swap=\"N\" SwapWord=\"N\" Mnemonic=\"\"/>"
    "<row Enable=\"Y\" Name=\"Alarm\" Type=\"Digital (Bit)\" Length=\"1\" ReadOnly=\"N\" Position=\"20\" StartBit=\"5\" "
    "Conversion=\"None\" MultiplicationFactor=\"None\" Swap=\"N\" SwapWord=\"N\" Mnemonic=\"\"/>"
    "</IEC61850_Variables><!--SW_VERSION = 1.000-->";

struct Workbench_Fixture : Editor_Fixture {
    Scripted_Save_Dialog Save_Dialog;
    Scripted_Open_Dialog Open_Dialog;
    TFIEC61850_Variables Dialog{Space, Prompts, nullptr, &Save_Dialog, &Open_Dialog};
    Table_View* Grid = Find<Table_View>(&Dialog, "ACG");
    Variable_Map* Map = Find<Variable_Map>(&Dialog, "Map_Data_Array");

    void Open() { Show_Editor(Dialog); }
    Table_Model& Table() { return Dialog.ACG_Model(); }
    void Click(const QString& Button) { Click_Button(&Dialog, Button); }
    // Types into a cell through its editor and leaves the cell, as a user does.
    void Type_Cell(int Row, int Column, const QString& Text)
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        Grid->Edit_Cell(Row, Column);
        auto* Editor = Find<QLineEdit>(Grid, QStringLiteral("Cell_Editor"));
        Editor->selectAll();
        QTest::keyClicks(Editor, Text);
        // Leaving the cell ends the editing.
        Grid->setFocus();
        Grid->setCurrentIndex(Grid->model()->index(Row == 40 ? 41 : 40, 0));
    }
    QString Description() const { return Map->accessibleDescription(); }
};

} // namespace

class Test_Variables_Workbench : public QObject {
    Q_OBJECT
private slots:
    void Question_On_OK_data();
    void Question_On_OK();
    void No_Question_Without_Findings_Or_Before_Validation();
    void Map_Shows_Hides_And_Follows_Edits();
    void Map_Keeps_The_Dialog_On_The_Screen();
    void Map_Hover_And_Click();
    void Csv_Export_And_Import_Through_The_Buttons();
    void Refused_Import_Leaves_The_Table();
    void Layout_Holds_In_Every_Language_data();
    void Layout_Holds_In_Every_Language();
};

void Test_Variables_Workbench::Question_On_OK_data()
{
    QTest::addColumn<Prompt_Answer>("Answer");
    QTest::newRow("No stays") << Prompt_Answer::No;
    QTest::newRow("Yes saves") << Prompt_Answer::Yes;
}

void Test_Variables_Workbench::Question_On_OK()
{
    QFETCH(Prompt_Answer, Answer);
    Workbench_Fixture F;
    Write_File(F.Space.File_IEC61850_Variables, Overlapping_File);
    F.Open();
    F.Table().Set_Cell(3, V::Col_Mnemonic, "edited");
    F.Table().Set_Cell(3, V::Col_Length, "3");  // a digital variable's Length does not count
    F.Grid->setCurrentIndex(F.Table().index(2, 5));
    F.Prompts.Answers = {Answer};
    F.Click("Btn_OK");

    QCOMPARE(F.Prompts.Messages.size(), 1);
    QCOMPARE(F.Prompts.Messages[0].Kind, Prompt_Kind::Confirmation);
    QCOMPARE(F.Prompts.Messages[0].Buttons, Prompt_Buttons::Yes_No_Default_No);
    QCOMPARE(F.Prompts.Messages[0].Text, F.Space.Str(988) + "\n\nRows 1 and 2 share bytes 12 to 13\n\n" + F.Space.Str(989));
    if (Answer == Prompt_Answer::No) {
        QVERIFY(F.Dialog.isVisible());
        QCOMPARE(Read_File(F.Space.File_IEC61850_Variables), Overlapping_File);
        QCOMPARE(F.Table().Current_Row(), 1);
        QCOMPARE(F.Table().Cell(3, V::Col_Mnemonic), QString("edited"));
    } else {
        QVERIFY(!F.Dialog.isVisible());
        QCOMPARE(F.Dialog.result(), int(QDialog::Accepted));
        QByteArray Expected = Overlapping_File;
        Expected.replace("Length=\"1\" ReadOnly=\"N\" Position=\"20\"", "Length=\"3\" ReadOnly=\"N\" Position=\"20\"");
        Expected.replace("Mnemonic=\"\"/></IEC", "Mnemonic=\"edited\"/></IEC");
        QCOMPARE(Read_File(F.Space.File_IEC61850_Variables), Expected);
    }
}

void Test_Variables_Workbench::No_Question_Without_Findings_Or_Before_Validation()
{
    Workbench_Fixture F;
    Write_File(F.Space.File_IEC61850_Variables, Overlapping_File);
    F.Open();
    // The validation speaks first: an invalid row is reported alone.
    F.Table().Set_Cell(2, V::Col_Length, "7");
    F.Click("Btn_OK");
    QCOMPARE(F.Prompts.Texts(), QStringList{F.Space.Str(929) + "2" + F.Space.Str(941)});
    QCOMPARE(Read_File(F.Space.File_IEC61850_Variables), Overlapping_File);

    // Moved apart, the rows save without a question.
    F.Prompts.Messages.clear();
    F.Table().Set_Cell(2, V::Col_Length, "2");
    F.Table().Set_Cell(2, V::Col_Position, "14");
    F.Click("Btn_OK");
    QVERIFY(F.Prompts.Messages.isEmpty());
    QVERIFY(!F.Dialog.isVisible());
    QByteArray Expected = Overlapping_File;
    Expected.replace("Position=\"12\"", "Position=\"14\"");
    QCOMPARE(Read_File(F.Space.File_IEC61850_Variables), Expected);
}

void Test_Variables_Workbench::Map_Shows_Hides_And_Follows_Edits()
{
    Workbench_Fixture F;
    F.Open();
    auto* Toggle = Find<QPushButton>(&F.Dialog, "Btn_Map");
    QCOMPARE(Toggle->accessibleName(), F.Space.Str(974));
    QVERIFY(!F.Map->isVisible());
    const int Height = F.Dialog.height();
    F.Click("Btn_Map");
    QVERIFY(F.Map->isVisible());
    // The dialog grows for the map as far as the screen lets it.
    QVERIFY(F.Dialog.frameGeometry().height()
            >= std::min(Height + F.Map->height(), F.Dialog.screen()->availableGeometry().height()));
    QCOMPARE(Toggle->accessibleName(), F.Space.Str(975));
    QCOMPARE(F.Map->accessibleName(), F.Space.Str(976));
    QCOMPARE(F.Description(), "No findings on the data array\nFree bytes: 0 to 1437");
    // The map and the table do not cover each other.
    QVERIFY(!F.Map->geometry().intersects(F.Grid->geometry()));
    QVERIFY(!F.Map->geometry().intersects(Toggle->geometry()));

    F.Type_Cell(1, V::Col_Name, "Temp");
    F.Table().setData(F.Table().index(0, V::Col_Type - 1), "Float", Qt::EditRole);  // chosen from the pick list
    F.Type_Cell(1, V::Col_Length, "2");
    F.Type_Cell(1, V::Col_Position, "100");
    QCOMPARE(F.Description(), "Row 1 is a Float of 2 bytes instead of 4: bytes 100 to 101\n"
                              "Free bytes: 0 to 99, 102 to 1437");
    F.Type_Cell(1, V::Col_Length, "4");
    F.Type_Cell(2, V::Col_Name, "Press");
    F.Type_Cell(2, V::Col_Length, "2");
    F.Type_Cell(2, V::Col_Position, "102");
    QCOMPARE(F.Description(), "Rows 1 and 2 share bytes 102 to 103\nFree bytes: 0 to 99, 104 to 1437");

    // Disabling row 2 with its check box takes it off the map.
    QTest::mouseClick(F.Grid->viewport(), Qt::LeftButton, {},
                      F.Grid->visualRect(F.Table().index(1, V::Col_Enable - 1)).center());
    QCOMPARE(F.Table().Cell(2, V::Col_Enable), QString("N"));
    QCOMPARE(F.Description(), "No findings on the data array\nFree bytes: 0 to 99, 104 to 1437");

    // A Name blanked ends the list there.
    F.Type_Cell(1, V::Col_Name, " ");
    QCOMPARE(F.Description(), "No findings on the data array\nFree bytes: 0 to 1437");

    F.Click("Btn_Map");
    QVERIFY(!F.Map->isVisible());
    QCOMPARE(F.Dialog.height(), Height);
}

// The dialog with the map is taller than a small screen: it moves up and the
// table gives up rows, so that OK and Cancel stay on the screen.
void Test_Variables_Workbench::Map_Keeps_The_Dialog_On_The_Screen()
{
    Workbench_Fixture F;
    F.Open();
    const QRect Available = F.Dialog.screen()->availableGeometry();
    const int Height = F.Dialog.height();
    F.Dialog.move(F.Dialog.x(), Available.top() + Available.height() / 3);
    F.Click("Btn_Map");
    QVERIFY(F.Map->isVisible());

    const QRect Frame = F.Dialog.frameGeometry();
    QVERIFY2(Frame.top() >= Available.top() && Frame.bottom() <= Available.bottom(),
             qPrintable(QStringLiteral("dialog from %1 to %2 leaves the screen's %3 to %4")
                            .arg(Frame.top()).arg(Frame.bottom()).arg(Available.top()).arg(Available.bottom())));
    for (const char* Name : {"Btn_OK", "Btn_Cancel", "Btn_Map"})
        QVERIFY2(F.Dialog.rect().contains(Find<QPushButton>(&F.Dialog, Name)->geometry()), Name);
    // The table keeps its header and at least five rows, and neither covers the map.
    QVERIFY(F.Grid->height() >= F.Grid->horizontalHeader()->height() + 5 * F.Grid->verticalHeader()->defaultSectionSize());
    QVERIFY(!F.Map->geometry().intersects(F.Grid->geometry()));
    QVERIFY(F.Map->geometry().bottom() < Find<QPushButton>(&F.Dialog, "Btn_OK")->geometry().top());

    // Hidden again, the table gets its rows back.
    F.Click("Btn_Map");
    QCOMPARE(F.Dialog.height(), Height);
}

void Test_Variables_Workbench::Map_Hover_And_Click()
{
    Workbench_Fixture F;
    Write_File(F.Space.File_IEC61850_Variables, Overlapping_File);
    F.Open();
    F.Click("Btn_Map");
    auto* Info = Find<QLabel>(&F.Dialog, "L_Map_Info");

    QTest::mouseMove(F.Map, F.Map->Cell_Rect(12).center());
    QTRY_COMPARE(Info->text(), QString("Byte 12: Row 1 Temp: bytes 10 to 13; Row 2 Press: bytes 12 to 13"));
    QCOMPARE(F.Map->toolTip(), Info->text());
    QTest::mouseMove(F.Map, F.Map->Cell_Rect(20).center());
    QTRY_COMPARE(Info->text(), QString("Byte 20: Row 3 Alarm: bit 5 of byte 20"));
    QTest::mouseMove(F.Map, F.Map->Cell_Rect(1437).center());
    QTRY_COMPARE(Info->text(), QString("Byte 1437: free"));

    QCOMPARE(F.Table().Current_Row(), 1);
    QTest::mouseClick(F.Map, Qt::LeftButton, {}, F.Map->Cell_Rect(20).center());
    QCOMPARE(F.Table().Current_Row(), 3);
    QTest::mouseClick(F.Map, Qt::LeftButton, {}, F.Map->Cell_Rect(13).center());
    QCOMPARE(F.Table().Current_Row(), 1);
    // A free byte leaves the current row.
    QTest::mouseClick(F.Map, Qt::LeftButton, {}, F.Map->Cell_Rect(500).center());
    QCOMPARE(F.Table().Current_Row(), 1);
    QCOMPARE(F.Map->Byte_At(F.Map->Cell_Rect(1437).center() + QPoint(F.Map->Cell_Rect(0).width(), 0)), -1);
}

void Test_Variables_Workbench::Csv_Export_And_Import_Through_The_Buttons()
{
    Workbench_Fixture F;
    Write_File(F.Space.File_IEC61850_Variables, Overlapping_File);
    F.Open();
    QCOMPARE(Find<QPushButton>(&F.Dialog, "Btn_ExportCsv")->accessibleName(), F.Space.Str(970));
    QCOMPARE(Find<QPushButton>(&F.Dialog, "Btn_ImportCsv")->accessibleName(), F.Space.Str(971));
    F.Table().Set_Cell(1, V::Col_Mnemonic, "Kessel, \"oben\"\nzweite Zeile");
    F.Table().Set_Cell(2, V::Col_Name, "Druck Ω");
    const QList<QStringList> Before = V::Rows(F.Table());

    const QString Csv = F.Space.Project_Dir + "/list.csv";
    F.Save_Dialog.Answer = Csv;
    F.Click("Btn_ExportCsv");
    QCOMPARE(F.Save_Dialog.Requests.size(), 1);
    QCOMPARE(F.Save_Dialog.Requests[0].Initial_Folder, F.Space.Project_Dir);
    QVERIFY(Read_File(Csv).startsWith("\xEF\xBB\xBF" "Enable,Name,Type"));
    const int Exported = Variables_Csv::Exported_Rows(Before);
    QCOMPARE(F.Prompts.Texts(), QStringList{F.Space.Str(1533).arg(Exported).arg(QDir::toNativeSeparators(Csv))});
    F.Prompts.Messages.clear();

    // Another table, then the file read back: the table is replaced only
    // after the user agreed, and the question counts both sides.
    F.Table().Set_Cell(1, V::Col_Name, "Other");
    F.Table().Set_Cell(5, V::Col_Name, "Extra");
    const QList<QStringList> Edited = V::Rows(F.Table());
    int Held = 0;
    for (int Row = 1; Row < F.Table().Row_Count(); ++Row)
        Held += Row_Holds_Data(F.Table(), Row);
    QVERIFY(Held >= 2);
    const QString Question = F.Space.Str(1532).arg(Held).arg(Exported).arg("list.csv");
    F.Open_Dialog.Answer = Csv;
    for (const Prompt_Answer Answer : {Prompt_Answer::No, Prompt_Answer::Yes}) {
        F.Prompts.Messages.clear();
        F.Prompts.Answers = {Answer};
        F.Click("Btn_ImportCsv");
        QCOMPARE(F.Prompts.Texts(), QStringList{Question});
        QCOMPARE(F.Prompts.Messages[0].Buttons, Prompt_Buttons::Yes_No_Default_No);
        QCOMPARE(V::Rows(F.Table()), Answer == Prompt_Answer::No ? Edited : Before);
    }
    QCOMPARE(F.Table().Cell(5, 0), QString("5"));
    // The import is one step: undone, the edited table is back; redone, the file's.
    QCOMPARE(F.Dialog.Undo_History().Stack().undoText(), F.Space.Str(1526).arg("list.csv"));
    F.Dialog.Btn_UndoClick();
    QCOMPARE(V::Rows(F.Table()), Edited);
    F.Dialog.Btn_RedoClick();
    QCOMPARE(V::Rows(F.Table()), Before);

    // The imported table is what OK saves.
    F.Prompts.Answers = {Prompt_Answer::Yes};
    F.Click("Btn_OK");
    QVERIFY(!F.Dialog.isVisible());
    F.Open();
    QCOMPARE(V::Rows(F.Table()), Before);
}

void Test_Variables_Workbench::Refused_Import_Leaves_The_Table()
{
    Workbench_Fixture F;
    Write_File(F.Space.File_IEC61850_Variables, Overlapping_File);
    F.Open();
    F.Click("Btn_Map");
    const QList<QStringList> Before = V::Rows(F.Table());
    const QString Description = F.Description();
    // Good rows first, then one line too long: nothing of the file is taken.
    const QString Csv = F.Space.Project_Dir + "/bad.csv";
    Write_File(Csv, "Name;Position;Length\nA;0;4\nB;4;4\nC;8;4;9\n");
    F.Open_Dialog.Answer = Csv;
    F.Click("Btn_ImportCsv");
    QCOMPARE(F.Prompts.Texts(),
             QStringList{QDir::toNativeSeparators(Csv) + "\nLine 4: the line has 4 fields, the header only 3"});
    QCOMPARE(F.Prompts.Messages[0].Kind, Prompt_Kind::Error);
    QCOMPARE(V::Rows(F.Table()), Before);
    QCOMPARE(F.Description(), Description);
    // Cancelled: nothing happens.
    F.Open_Dialog.Answer.reset();
    F.Click("Btn_ImportCsv");
    QCOMPARE(F.Prompts.Messages.size(), 1);
    QCOMPARE(V::Rows(F.Table()), Before);
}

void Test_Variables_Workbench::Layout_Holds_In_Every_Language_data()
{
    QTest::addColumn<QString>("Language");
    QTest::newRow("English") << QString();
    for (const QString& File : QDir(SW_RESOURCES_DIR "/LANGUAGE").entryList({"*.lng"}, QDir::Files))
        QTest::newRow(File.toUtf8().constData()) << QString(SW_RESOURCES_DIR "/LANGUAGE/" + File);
}

// With the map shown or hidden, in every shipped language: the buttons show
// their captions whole, nothing overlaps, everything stays inside the dialog.
void Test_Variables_Workbench::Layout_Holds_In_Every_Language()
{
    QFETCH(QString, Language);
    Workbench_Fixture F;
    if (!Language.isEmpty())
        Load_Lang_File(F.Space.Lang_Strings, Language);
    F.Dialog.Set_Lang();
    F.Open();
    for (const bool Shown : {false, true, false}) {
        if (F.Dialog.Map_Shown() != Shown)
            F.Click("Btn_Map");
        QList<QWidget*> Parts{F.Grid};
        if (Shown)
            Parts << F.Map << Find<QLabel>(&F.Dialog, "L_Map_Info");
        for (QPushButton* Button : F.Dialog.findChildren<QPushButton*>(Qt::FindDirectChildrenOnly)) {
            QVERIFY2(Text_Width(Button) <= Button->width(), qPrintable(Button->objectName() + " cuts " + Button->text()));
            Parts << Button;
        }
        // Each column header shows its whole text; the stretched last column
        // is checked against the room it is given.
        QHeaderView* Header = F.Grid->horizontalHeader();
        // Nor does the table scroll sideways for it.
        QTRY_VERIFY2(!F.Grid->horizontalScrollBar()->isVisible(), "the table scrolls sideways");
        for (int Column = 0; Column < Header->count(); ++Column)
            QVERIFY2(Header->sectionSize(Column) >= Header->sectionSizeHint(Column),
                     qPrintable(QStringLiteral("header %1 cut: %2").arg(Column).arg(
                         F.Grid->model()->headerData(Column, Qt::Horizontal).toString())));
        for (QWidget* Part : Parts) {
            QVERIFY2(F.Dialog.rect().contains(Part->geometry()), qPrintable(Part->objectName() + " leaves the dialog"));
            for (QWidget* Other : Parts)
                QVERIFY2(Part == Other || !Part->geometry().intersects(Other->geometry()),
                         qPrintable(Part->objectName() + " overlaps " + Other->objectName()));
        }
    }
}

QTEST_MAIN(Test_Variables_Workbench)
#include "test_variables_workbench.moc"
