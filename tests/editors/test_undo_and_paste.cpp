#include "Editor_Fixture.h"
#include "editors/List_Files.h"
#include "editors/TFParGen.h"
#include "editors/TFIEC61850_Variables.h"
#include "editors/TFTLS_Server_Known_Cert.h"
#include "editors/Ui_Table_Undo.h"
#include "editors/Ui_Table_View.h"
#include "support/Scripted_File_Dialogs.h"
#include "support/Test_Certificates.h"
#include "support/Test_Support.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QUndoStack>

using Test_Support::Find;
using Test_Support::Write_File;
namespace V = IEC61850_Variables;

namespace {

const QByteArray Two_Rows =
    "<IEC61850_Variables>"
    "<row Enable=\"Y\" Name=\"Temp\" Type=\"Int\" Length=\"4\" ReadOnly=\"N\" Position=\"10\" StartBit=\"\" "
    "Conversion=\"None\" MultiplicationFactor=\"None\" Swap=\"N\" SwapWord=\"N\" Mnemonic=\"kettle\"/>"
    "<row Enable=\"Y\" Name=\"Press\" Type=\"Float\" Length=\"4\" ReadOnly=\"Y\" Position=\"14\" StartBit=\"\" "
    "Conversion=\"Int to Float\" MultiplicationFactor=\"0.1\" Swap=\"N\" SwapWord=\"N\" Mnemonic=\"\"/>"
    "</IEC61850_Variables><!--SW_VERSION = 1.000-->";

struct Variables_Fixture : Editor_Fixture {
    Scripted_Save_Dialog Save_Dialog;
    Scripted_Open_Dialog Open_Dialog;
    TFIEC61850_Variables Dialog{Space, Prompts, nullptr, &Save_Dialog, &Open_Dialog};
    Table_View* Grid = Find<Table_View>(&Dialog, "ACG");

    Variables_Fixture()
    {
        Write_File(Space.File_IEC61850_Variables, Two_Rows);
        Show_Editor(Dialog);
    }
    Table_Model& Table() { return Dialog.ACG_Model(); }
    QByteArray Bytes() { return V::To_Bytes(Table()); }
    QRect Cell_Rect(int Row, int Column) { return Grid->visualRect(Table().index(Row - 1, Column - 1)); }
    void Go(int Row, int Column)
    {
        Grid->setFocus();
        Grid->setCurrentIndex(Table().index(Row - 1, Column - 1));
    }
    void Type_Cell(int Row, int Column, const QString& Text)
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        Grid->Edit_Cell(Row, Column);
        auto* Editor = Find<QLineEdit>(Grid, QStringLiteral("Cell_Editor"));
        Editor->selectAll();
        QTest::keyClicks(Editor, Text);
        Go(Row == 40 ? 41 : 40, 1);
    }
    void Pick(int Row, int Column, int Item)
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        Grid->Edit_Cell(Row, Column);
        auto* Box = Find<QComboBox>(Grid, QStringLiteral("Cell_Editor"));
        Box->setCurrentIndex(Item);
        emit Box->activated(Item);
    }
    void Paste(const QString& Text)
    {
        QGuiApplication::clipboard()->setText(Text);
        QTest::keyClick(Grid, Qt::Key_V, Qt::ControlModifier);
    }
    QStringList Row_Texts(int Row) { return V::Rows(Table())[Row - 1]; }
};

} // namespace

class Test_Undo_And_Paste : public QObject {
    Q_OBJECT
private slots:
    void Every_Edit_Undoes_And_Redoes_data();
    void Every_Edit_Undoes_And_Redoes();
    void History_Starts_Empty_And_Branches();
    void Undo_And_Redo_Are_The_History_Actions_data();
    void Undo_And_Redo_Are_The_History_Actions();
    void Known_Certificates_Load_Is_One_Step();
    void Block_Copy_Gives_Spreadsheet_Text();
    void Paste_Blocks_data();
    void Paste_Blocks();
    void Paste_Over_Filled_Cells_Asks_data();
    void Paste_Over_Filled_Cells_Asks();
    void New_Row_Starts_Complete_data();
    void New_Row_Starts_Complete();
    void Editor_After_Validation_Error_Selects_Its_Text_data();
    void Editor_After_Validation_Error_Selects_Its_Text();
};

void Test_Undo_And_Paste::Every_Edit_Undoes_And_Redoes_data()
{
    QTest::addColumn<int>("Kind");
    QTest::addColumn<int>("Step_Slot");
    QTest::newRow("cell edit") << 0 << 1519;
    QTest::newRow("check box") << 1 << 1520;
    QTest::newRow("pick list") << 2 << 1521;
    QTest::newRow("insert row") << 3 << 1523;
    QTest::newRow("delete row") << 4 << 1522;
    QTest::newRow("paste row") << 5 << 1524;
    QTest::newRow("block paste") << 6 << 1525;
    QTest::newRow("csv import") << 7 << 1526;
}

// Each kind of edit is one step: undone, the table gives the loaded file's
// bytes again and nothing counts as changed; redone, the edited bytes.
void Test_Undo_And_Paste::Every_Edit_Undoes_And_Redoes()
{
    QFETCH(int, Kind);
    QFETCH(int, Step_Slot);
    Variables_Fixture F;
    const QByteArray Loaded = F.Bytes();
    auto* Undo_Button = Find<QPushButton>(&F.Dialog, "Btn_Undo");
    auto* Redo_Button = Find<QPushButton>(&F.Dialog, "Btn_Redo");
    QVERIFY(!Undo_Button->isEnabled());
    QCOMPARE(Undo_Button->toolTip(), F.Space.Str(1517));

    const QString Csv = F.Space.Project_Dir + "/in.csv";
    switch (Kind) {
    case 0: F.Type_Cell(1, V::Col_Mnemonic, "boiler"); break;
    case 1: QTest::mouseClick(F.Grid->viewport(), Qt::LeftButton, {}, F.Cell_Rect(2, V::Col_ReadOnly).center()); break;
    case 2: F.Pick(1, V::Col_Type, 1); break;
    case 3:
        F.Go(1, 1);
        F.Dialog.Btn_InsRowClick();
        break;
    case 4:
        F.Go(1, 1);
        F.Prompts.Answers = {Prompt_Answer::Yes};
        F.Dialog.Btn_DelRowClick();
        break;
    case 5:
        F.Go(2, 1);
        F.Dialog.Btn_CopyRowClick();
        F.Go(3, 1);
        F.Dialog.Btn_PasteRowClick();
        break;
    case 6:
        F.Go(3, V::Col_Name);
        F.Paste("Level\tInt\t2\r\nFlow\tfloat\t4\r\n");
        break;
    case 7:
        Write_File(Csv, "Name,Type,Length,Position\r\nOnly,Int,2,0\r\n");
        F.Open_Dialog.Answer = Csv;
        F.Prompts.Answers = {Prompt_Answer::Yes};
        F.Dialog.Btn_ImportCsvClick();
        break;
    }
    const QByteArray Edited = F.Bytes();
    QVERIFY(Edited != Loaded);
    QVERIFY(F.Dialog.Is_Change);
    QCOMPARE(F.Dialog.Undo_History().Stack().count(), 1);
    QVERIFY(Undo_Button->isEnabled());
    QVERIFY(!Redo_Button->isEnabled());
    const QString Step = F.Dialog.Undo_History().Stack().undoText();
    const QString Pattern = F.Space.Str(Step_Slot).section(QLatin1Char('%'), 0, 0);
    QVERIFY2(Step.startsWith(Pattern), qPrintable(Step));
    QCOMPARE(Undo_Button->toolTip(), F.Space.Str(1515).arg(Step));

    QTest::keyClick(F.Grid, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(F.Bytes(), Loaded);
    QVERIFY(!F.Dialog.Is_Change);
    QCOMPARE(Redo_Button->toolTip(), F.Space.Str(1516).arg(Step));
    QTest::keyClick(F.Grid, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(F.Bytes(), Edited);
    QVERIFY(F.Dialog.Is_Change);
    QTest::mouseClick(Undo_Button, Qt::LeftButton);
    QCOMPARE(F.Bytes(), Loaded);
    QTest::keyClick(F.Grid, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(F.Bytes(), Edited);
    QTest::mouseClick(Undo_Button, Qt::LeftButton);
    QTest::mouseClick(Redo_Button, Qt::LeftButton);
    QCOMPARE(F.Bytes(), Edited);

    // Undone back to the loaded table, Cancel leaves without a question.
    F.Dialog.Btn_UndoClick();
    F.Prompts.Messages.clear();
    Click_Button(&F.Dialog, "Btn_Cancel");
    QVERIFY(F.Prompts.Messages.isEmpty());
    QVERIFY(!F.Dialog.isVisible());
}

// A new step after an undo drops what could have been redone; reopening the
// editor starts with an empty history; a change made outside any step still
// counts as a change.
void Test_Undo_And_Paste::History_Starts_Empty_And_Branches()
{
    Variables_Fixture F;
    const QByteArray Loaded = F.Bytes();
    F.Type_Cell(1, V::Col_Mnemonic, "one");
    F.Type_Cell(2, V::Col_Mnemonic, "two");
    F.Dialog.Btn_UndoClick();
    QVERIFY(F.Dialog.Undo_History().Stack().canRedo());
    F.Type_Cell(3, V::Col_Mnemonic, "three");
    QVERIFY(!F.Dialog.Undo_History().Stack().canRedo());
    QCOMPARE(F.Table().Cell(2, V::Col_Mnemonic), QString());
    QCOMPARE(F.Table().Cell(3, V::Col_Mnemonic), QString("three"));
    F.Dialog.Btn_UndoClick();
    F.Dialog.Btn_UndoClick();
    QCOMPARE(F.Bytes(), Loaded);
    QVERIFY(!F.Dialog.Is_Change);
    // Undoing goes to the cell that changed.
    QCOMPARE(F.Table().Current_Row(), 1);
    QCOMPARE(F.Table().Current_Column(), int(V::Col_Mnemonic));

    F.Table().Set_Cell(4, V::Col_Name, "direct");
    QVERIFY(F.Dialog.Is_Change);

    // Undo and Redo keep to the top right corner when the dialog changes its size.
    for (int Showing = 0; Showing < 2; ++Showing) {
        F.Dialog.Btn_MapClick();
        auto* Redo = Find<QPushButton>(&F.Dialog, "Btn_Redo");
        QCOMPARE(Redo->geometry().right(), F.Dialog.width() - 13);
        QVERIFY(Find<QPushButton>(&F.Dialog, "Btn_Undo")->geometry().right() < Redo->x());
    }

    F.Dialog.FormShow();
    QCOMPARE(F.Dialog.Undo_History().Stack().count(), 0);
    QVERIFY(!F.Dialog.Is_Change);
    QVERIFY(!Find<QPushButton>(&F.Dialog, "Btn_Undo")->isEnabled());
}

void Test_Undo_And_Paste::Known_Certificates_Load_Is_One_Step()
{
    Editor_Fixture F;
    Scripted_Open_Dialog Open_Dialog;
    TFTLS_Server_Known_Cert Dialog{F.Space, F.Prompts, nullptr, &Open_Dialog};
    Show_Editor(Dialog);
    const QByteArray Loaded = TLS_Known_Cert::To_Bytes(Dialog.ASG_Model());
    const Test_Pki::Made_Key Key = Test_Pki::Make_Key(Test_Pki::Key_Type::EC_P256);
    const QDateTime Now = QDateTime::currentDateTimeUtc();
    const QString Pem = Test_Pki::Make_Certificate(
                            {"Client", "Plant", &Key, nullptr, nullptr, Now.addDays(-1), Now.addYears(1)})
                            .Pem();
    const QString Path = F.Space.Project_Dir + "/client.pem";
    Write_File(Path, Pem.toUtf8());
    Open_Dialog.Answer = Path;
    Dialog.Btn_LoadRowClick();
    const QByteArray Edited = TLS_Known_Cert::To_Bytes(Dialog.ASG_Model());
    QVERIFY(Edited != Loaded);
    QCOMPARE(Dialog.Undo_History().Stack().undoText(), F.Space.Str(1527).arg(1));
    QVERIFY(Dialog.Is_Change);

    // A check box of the state-check table is a step of its own.
    auto* Grid = Find<Table_View>(&Dialog, "ASG");
    QTest::mouseClick(Grid->viewport(), Qt::LeftButton, {},
                      Grid->visualRect(Dialog.ASG_Model().index(0, 0)).center());
    QCOMPARE(Dialog.Undo_History().Stack().count(), 2);
    Dialog.Btn_UndoClick();
    QCOMPARE(TLS_Known_Cert::To_Bytes(Dialog.ASG_Model()), Edited);
    Dialog.Btn_UndoClick();
    QCOMPARE(TLS_Known_Cert::To_Bytes(Dialog.ASG_Model()), Loaded);
    QVERIFY(!Dialog.Is_Change);
    Dialog.Btn_RedoClick();
    QCOMPARE(TLS_Known_Cert::To_Bytes(Dialog.ASG_Model()), Edited);
}

// A rectangle, or whole rows chosen by their headers, copies as the
// tab-separated text spreadsheet programs paste, and pastes back the same.
void Test_Undo_And_Paste::Block_Copy_Gives_Spreadsheet_Text()
{
    Variables_Fixture F;
    F.Table().Set_Cell(2, V::Col_Mnemonic, "two\tparts \"quoted\"\nand a line");
    auto* Selection = F.Grid->selectionModel();
    F.Go(1, V::Col_Name);
    Selection->select(QItemSelection(F.Table().index(0, V::Col_Name - 1), F.Table().index(1, V::Col_ReadOnly - 1)),
                      QItemSelectionModel::ClearAndSelect);
    QTest::keyClick(F.Grid, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("Temp\tInt\t4\tN\nPress\tFloat\t4\tY\n"));

    // Whole rows by their headers: the first click, then Shift on the second.
    QTest::mouseClick(F.Grid->verticalHeader()->viewport(), Qt::LeftButton, {},
                      QPoint(5, F.Grid->verticalHeader()->sectionViewportPosition(0) + 5));
    QTest::mouseClick(F.Grid->verticalHeader()->viewport(), Qt::LeftButton, Qt::ShiftModifier,
                      QPoint(5, F.Grid->verticalHeader()->sectionViewportPosition(1) + 5));
    QTest::keyClick(F.Grid, Qt::Key_C, Qt::ControlModifier);
    const QString Copied = QGuiApplication::clipboard()->text();
    QCOMPARE(Copied.count(u'\n'), 3);  // two rows, one of them with a quoted line break
    QVERIFY(Copied.contains("\"two\tparts \"\"quoted\"\"\nand a line\""));
    QVERIFY(Copied.startsWith("Y\tTemp\tInt\t4\tN\t10\t\tNone\tNone\tN\tN\tkettle\n"));

    // Pasted as plain text (what a spreadsheet gives back), the rows come back whole.
    F.Go(4, 1);
    F.Paste(Copied);
    QCOMPARE(F.Row_Texts(4), F.Row_Texts(1));
    QCOMPARE(F.Row_Texts(5), F.Row_Texts(2));
    QCOMPARE(F.Dialog.Undo_History().Stack().count(), 1);
}

void Test_Undo_And_Paste::Paste_Blocks_data()
{
    QTest::addColumn<QString>("Text");
    QTest::addColumn<int>("Row");
    QTest::addColumn<int>("Column");
    QTest::addColumn<QStringList>("Expected");  // "row:column=text" after the paste
    QTest::addColumn<int>("Refusal");           // message slot when nothing is pasted
    QTest::addColumn<int>("Line");
    QTest::addColumn<int>("Cell");

    QTest::newRow("check-box words") << "x\ntrue\n0\nFALSE\n1\nN\n" << 3 << int(V::Col_ReadOnly)
                                     << QStringList{"3:5=Y", "4:5=Y", "5:5=N", "6:5=N", "7:5=Y", "8:5=N"} << 0 << 0 << 0;
    QTest::newRow("pick lists loosely") << "  digital(BIT) \t1\t\t\t7\nFLOAT\t4\r\n" << 3 << int(V::Col_Type)
                                        << QStringList{"3:3=Digital (Bit)", "3:7=7", "4:3=Float", "4:4=4"} << 0 << 0 << 0;
    QTest::newRow("quoted cell") << "\"say \"\"hi\"\"\nnow\"" << 3 << int(V::Col_Mnemonic)
                                 << QStringList{"3:12=say \"hi\"\nnow"} << 0 << 0 << 0;
    QTest::newRow("ragged lines") << "A\tInt\nB\n" << 3 << int(V::Col_Name)
                                  << QStringList{"3:2=A", "3:3=Int", "4:2=B", "4:3="} << 0 << 0 << 0;
    QTest::newRow("past the last column") << "a\nb\tc" << 3 << int(V::Col_Mnemonic) << QStringList{} << 1529 << 2 << 2;
    QTest::newRow("past the last row") << "a\nb\nc" << 49 << int(V::Col_Name) << QStringList{} << 1528 << 3 << 1;
    QTest::newRow("unknown type") << "Int\nFlaot" << 3 << int(V::Col_Type) << QStringList{} << 1530 << 2 << 1;
    QTest::newRow("unknown conversion") << "Nope" << 3 << int(V::Col_Conversion) << QStringList{} << 1530 << 1 << 1;
    QTest::newRow("word for a check box") << "Y\tmaybe" << 3 << int(V::Col_Swap) << QStringList{} << 1530 << 1 << 2;
    // Every pasted cell is checked as OK checks it, naming its line and cell.
    QTest::newRow("length not a number") << "abc" << 1 << int(V::Col_Length) << QStringList{} << 121 << 1 << 1;
    QTest::newRow("position past the data") << "9999" << 1 << int(V::Col_Position) << QStringList{} << 121 << 1 << 1;
    QTest::newRow("second line's length") << "4\tN\t10\n-3" << 1 << int(V::Col_Length) << QStringList{} << 121 << 2
                                          << 1;
    QTest::newRow("name taken by the other row") << "Temp" << 2 << int(V::Col_Name) << QStringList{} << 121 << 1 << 1;
    QTest::newRow("acceptable value on a checked row") << "note" << 2 << int(V::Col_Mnemonic)
                                                       << QStringList{"2:12=note"} << 0 << 0 << 0;
}

void Test_Undo_And_Paste::Paste_Blocks()
{
    QFETCH(QString, Text);
    QFETCH(int, Row);
    QFETCH(int, Column);
    QFETCH(QStringList, Expected);
    QFETCH(int, Refusal);
    QFETCH(int, Line);
    QFETCH(int, Cell);
    Variables_Fixture F;
    const QByteArray Loaded = F.Bytes();
    const Table_Cells Before = F.Table().All_Cells();
    F.Go(Row, Column);
    F.Paste(Text);
    if (Refusal) {
        QVERIFY(F.Table().Same_Data(Before));
        QCOMPARE(F.Prompts.Messages.size(), 1);
        QCOMPARE(F.Prompts.Messages[0].Kind, Prompt_Kind::Error);
        const QString Start = F.Space.Str(Refusal).section("%3", 0, 0).arg(Line).arg(Cell);
        QVERIFY2(F.Prompts.Last_Text().startsWith(Start), qPrintable(F.Prompts.Last_Text()));
        QCOMPARE(F.Dialog.Undo_History().Stack().count(), 0);
        QVERIFY(!F.Dialog.Is_Change);
        return;
    }
    QVERIFY2(F.Prompts.Messages.isEmpty(), qPrintable(F.Prompts.Last_Text()));
    for (const QString& Item : Expected) {
        const int At = Item.indexOf(u'=');
        const int R = Item.section(u':', 0, 0).toInt();
        const int C = Item.mid(0, At).section(u':', 1, 1).toInt();
        QCOMPARE(F.Table().Cell(R, C), Item.mid(At + 1));
    }
    QCOMPARE(F.Dialog.Undo_History().Stack().count(), 1);
    F.Dialog.Btn_UndoClick();
    QCOMPARE(F.Bytes(), Loaded);
}

void Test_Undo_And_Paste::Paste_Over_Filled_Cells_Asks_data()
{
    QTest::addColumn<int>("Answer");
    QTest::newRow("no") << int(Prompt_Answer::No);
    QTest::newRow("yes") << int(Prompt_Answer::Yes);
}

void Test_Undo_And_Paste::Paste_Over_Filled_Cells_Asks()
{
    QFETCH(int, Answer);
    Variables_Fixture F;
    const QByteArray Loaded = F.Bytes();
    // The same values over filled cells lose nothing: no question.
    F.Go(1, V::Col_Name);
    F.Paste("Temp\tInt");
    QVERIFY(F.Prompts.Messages.isEmpty());

    F.Prompts.Answers = {Prompt_Answer(Answer)};
    F.Paste("Heat\tfloat\t4\n\tInt");
    QCOMPARE(F.Prompts.Texts(), QStringList{F.Space.Str(1531).arg(4)});
    QCOMPARE(F.Prompts.Messages[0].Buttons, Prompt_Buttons::Yes_No_Default_No);
    if (Prompt_Answer(Answer) == Prompt_Answer::No) {
        QCOMPARE(F.Bytes(), Loaded);
        QVERIFY(!F.Dialog.Is_Change);
        return;
    }
    QCOMPARE(F.Table().Cell(1, V::Col_Name), QString("Heat"));
    QCOMPARE(F.Table().Cell(1, V::Col_Type), QString("Float"));
    QCOMPARE(F.Table().Cell(2, V::Col_Name), QString());
    QCOMPARE(F.Table().Cell(2, V::Col_Type), QString("Int"));
    F.Dialog.Btn_UndoClick();
    QCOMPARE(F.Bytes(), Loaded);
}

void Test_Undo_And_Paste::New_Row_Starts_Complete_data()
{
    QTest::addColumn<QString>("Old_Name");
    QTest::addColumn<QString>("Conversion");
    QTest::addColumn<QString>("Factor");
    QTest::addColumn<bool>("Filled");
    QTest::newRow("new row") << "" << "" << "" << true;
    QTest::newRow("conversion chosen") << "" << "Float to Int" << "" << false;
    QTest::newRow("factor typed") << "" << "" << "0.5" << false;
    QTest::newRow("renamed row") << "Old" << "" << "" << false;
}

// A row that gets a name while Conversion and Molt. Factor are empty gets
// "None" in both, in the same step; Type stays for the user.
void Test_Undo_And_Paste::New_Row_Starts_Complete()
{
    QFETCH(QString, Old_Name);
    QFETCH(QString, Conversion);
    QFETCH(QString, Factor);
    QFETCH(bool, Filled);
    Variables_Fixture F;
    F.Table().Set_Cell(3, V::Col_Name, Old_Name);
    F.Table().Set_Cell(3, V::Col_Conversion, Conversion);
    F.Table().Set_Cell(3, V::Col_MultiplicationFactor, Factor);
    F.Dialog.FormShow();
    F.Table().Set_Cell(3, V::Col_Name, Old_Name);
    F.Table().Set_Cell(3, V::Col_Conversion, Conversion);
    F.Table().Set_Cell(3, V::Col_MultiplicationFactor, Factor);
    F.Dialog.Undo_History().Reset();
    const QByteArray Before = F.Bytes();

    F.Type_Cell(3, V::Col_Name, "Level");
    QCOMPARE(F.Table().Cell(3, V::Col_Conversion), Filled ? QString("None") : Conversion);
    QCOMPARE(F.Table().Cell(3, V::Col_MultiplicationFactor), Filled ? QString("None") : Factor);
    QCOMPARE(F.Table().Cell(3, V::Col_Type), QString());
    QCOMPARE(F.Dialog.Undo_History().Stack().count(), 1);
    F.Dialog.Btn_UndoClick();
    QCOMPARE(F.Bytes(), Before);

    // A pasted name completes its row the same way.
    F.Go(3, V::Col_Name);
    F.Paste("Level\tInt");
    QCOMPARE(F.Table().Cell(3, V::Col_Conversion), Filled ? QString("None") : Conversion);
}

void Test_Undo_And_Paste::Editor_After_Validation_Error_Selects_Its_Text_data()
{
    QTest::addColumn<int>("Column");
    QTest::addColumn<QString>("Wrong");
    QTest::addColumn<QString>("Typed");
    QTest::newRow("line edit") << int(V::Col_Length) << "9" << "4";
    QTest::newRow("editable pick list") << int(V::Col_MultiplicationFactor) << "x1" << "2";
}

// After a validation error the cell's editor starts with its whole text
// selected: typing replaces it.
void Test_Undo_And_Paste::Editor_After_Validation_Error_Selects_Its_Text()
{
    QFETCH(int, Column);
    QFETCH(QString, Wrong);
    QFETCH(QString, Typed);
    Variables_Fixture F;
    F.Table().Set_Cell(1, Column, Wrong);
    Click_Button(&F.Dialog, "Btn_OK");
    QVERIFY(F.Dialog.isVisible());
    QCOMPARE(F.Table().Current_Row(), 1);
    QCOMPARE(F.Table().Current_Column(), Column);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QTest::mouseDClick(F.Grid->viewport(), Qt::LeftButton, {}, F.Cell_Rect(1, Column).center());
    QWidget* Editor = F.Grid->findChild<QWidget*>(QStringLiteral("Cell_Editor"));
    if (!Editor) {
        QTest::keyClick(F.Grid, Qt::Key_F2);
        Editor = Find<QWidget>(F.Grid, QStringLiteral("Cell_Editor"));
    }
    auto* Line = qobject_cast<QLineEdit*>(Editor);
    if (auto* Box = qobject_cast<QComboBox*>(Editor))
        Line = Box->lineEdit();
    QVERIFY(Line);
    QCOMPARE(Line->selectedText(), Wrong);
    QTest::keyClicks(Line, Typed);
    F.Go(5, 1);
    QCOMPARE(F.Table().Cell(1, Column), Typed);
}

void Test_Undo_And_Paste::Undo_And_Redo_Are_The_History_Actions_data()
{
    QTest::addColumn<bool>("Table");
    QTest::newRow("general parameters") << false;
    QTest::newRow("variables table") << true;
}

// The general parameters and the tables keep one kind of history: the
// dialog's Undo and Redo actions name the step they take and are enabled only
// while there is one; each key press takes exactly one step.
void Test_Undo_And_Paste::Undo_And_Redo_Are_The_History_Actions()
{
    QFETCH(bool, Table);
    std::unique_ptr<Variables_Fixture> Tables;
    std::unique_ptr<Editor_Fixture> General;
    Scripted_Open_Dialog Open_Dialog;
    std::unique_ptr<TFParGen> Par_Gen_Dialog;
    QWidget* Dialog = nullptr;
    QWidget* Keys_To = nullptr;
    QUndoStack* History = nullptr;
    const Workspace* Space = nullptr;
    if (Table) {
        Tables = std::make_unique<Variables_Fixture>();
        Tables->Type_Cell(1, V::Col_Mnemonic, "boiler");
        Tables->Type_Cell(2, V::Col_Mnemonic, "pump");
        Tables->Go(1, 1);
        Dialog = &Tables->Dialog;
        Keys_To = Tables->Grid;
        History = &Tables->Dialog.Undo_History().Stack();
        Space = &Tables->Space;
    } else {
        General = std::make_unique<Editor_Fixture>();
        Par_Gen_Dialog = std::make_unique<TFParGen>(General->Space, General->Prompts, nullptr, &Open_Dialog);
        Show_Editor(*Par_Gen_Dialog);
        auto* Port = Find<QLineEdit>(Par_Gen_Dialog.get(), "E_IEC61850_Server_Port");
        auto* Station = Find<QLineEdit>(Par_Gen_Dialog.get(), "E_PROFINET_NameStation");
        for (auto [Field, Text] : {std::pair{Port, "2404"}, std::pair{Station, "plant-north"}}) {
            Field->setFocus();
            Field->selectAll();
            QTest::keyClicks(Field, Text);
        }
        // A field with no typing of its own passes the keys on to the dialog.
        Keys_To = Find<QLineEdit>(Par_Gen_Dialog.get(), "E_IEC61850_Server_Password");
        Keys_To->setFocus();
        Dialog = Par_Gen_Dialog.get();
        History = &Par_Gen_Dialog->Undo_History();
        Space = &General->Space;
    }
    QCOMPARE(History->count(), 2);
    const auto Action_Named = [&](const QString& Text) -> QAction* {
        for (QAction* Action : Dialog->actions())
            if (Action->text() == Text)
                return Action;
        return nullptr;
    };
    QAction* Undo = Action_Named(Space->Str(1513) + u' ' + History->undoText());
    QAction* Redo = Action_Named(Space->Str(1514));
    QVERIFY(Undo && Redo);
    QVERIFY(Undo->isEnabled());
    QVERIFY(!Redo->isEnabled());

    const QString Second = History->undoText();
    QTest::keyClick(Keys_To, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(History->index(), 1);
    QCOMPARE(Redo->text(), Space->Str(1514) + u' ' + Second);
    QVERIFY(Redo->isEnabled());
    QCOMPARE(Find<QPushButton>(Dialog, "Btn_Redo")->toolTip(), Space->Str(1516).arg(Second));
    QTest::keyClick(Keys_To, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(History->index(), 0);
    QVERIFY(!Undo->isEnabled());
    QVERIFY(!Find<QPushButton>(Dialog, "Btn_Undo")->isEnabled());
    // Nothing left to undo: the key takes nothing more.
    QTest::keyClick(Keys_To, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(History->index(), 0);
    QTest::keyClick(Keys_To, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(History->index(), 1);
    QCOMPARE(Undo->text(), Space->Str(1513) + u' ' + History->undoText());
}

QTEST_MAIN(Test_Undo_And_Paste)
#include "test_undo_and_paste.moc"
