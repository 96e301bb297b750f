#include "editors/Ui_List_Editor.h"
#include "editors/Ui_Save_Guard.h"

#include "editors/Editor_Texts.h"
#include "editors/Table_Block.h"
#include "editors/Table_Rows.h"
#include "editors/Ui_Table_Undo.h"
#include "editors/Ui_Undo_Step.h"
#include "editors/Ui_Table_View.h"
#include "foundation/Text_Rules.h"
#include "platform/Prompter.h"
#include "widgets/Ui_Build.h"
#include "widgets/Ui_Fit_Text.h"
#include "foundation/Workspace.h"

#include <QAction>
#include <QDir>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>

List_Editor::List_Editor(Workspace& Space_, Prompter& Prompts_, Check_Kind Kind, int Rows, int Columns,
                         int First_Slot_, const QString& Table_Name, QWidget* Parent)
    : QDialog(Parent), Space(Space_), Prompts(Prompts_), Table(Kind, Rows, Columns), First_Slot(First_Slot_)
{
    Title = Make_Title_Area(this, 600);
    Title.L_SW_Code->setText(Space.SW_Code);
    Grid = new Table_View(Table, Space, this);
    Grid->setObjectName(Table_Name);
    connect(Grid->verticalHeader(), &QHeaderView::sectionClicked, this, [this](int Section) { ClickCell(Section + 1, 0); });

    const auto Button = [this](const QString& Name, void (List_Editor::*Click)()) {
        auto* Made = Make_Control<QPushButton>(this, Name);
        Made->setAutoDefault(false);
        connect(Made, &QPushButton::clicked, this, Click);
        return Made;
    };
    Btn_DelRow = Button(QStringLiteral("Btn_DelRow"), &List_Editor::Btn_DelRowClick);
    Btn_InsRow = Button(QStringLiteral("Btn_InsRow"), &List_Editor::Btn_InsRowClick);
    Btn_CopyRow = Button(QStringLiteral("Btn_CopyRow"), &List_Editor::Btn_CopyRowClick);
    Btn_PasteRow = Button(QStringLiteral("Btn_PasteRow"), &List_Editor::Btn_PasteRowClick);
    Btn_OK = Button(QStringLiteral("Btn_OK"), &List_Editor::Btn_OKClick);
    Btn_Cancel = Button(QStringLiteral("Btn_Cancel"), &List_Editor::reject);
    Btn_Undo = Make_Control<QPushButton>(this, QStringLiteral("Btn_Undo"));
    Btn_Redo = Make_Control<QPushButton>(this, QStringLiteral("Btn_Redo"));
    // Like a tool bar's: reached by their keys, never a stop of Tab.
    for (QPushButton* Made : {Btn_Undo, Btn_Redo}) {
        Made->setAutoDefault(false);
        Made->setFocusPolicy(Qt::NoFocus);
    }

    Undo = std::make_unique<Table_Undo>(Table);
    Guard_Of_File = std::make_unique<Save_Guard>(Space, Prompts, this);
    connect(Undo.get(), &Table_Undo::Changed_State, this, [this](bool Changed) { Is_Change = Changed; });
    // A cell being edited is ended first: what was typed is the step undone.
    // An open cell editor keeps Ctrl+Z for its own text.
    Undo_Keys = std::make_unique<Undo_Controls>(*this, Undo->Stack(), Space.Lang_Strings, *Btn_Undo, *Btn_Redo,
                                                [this] { Grid->setFocus(); });
    connect(&Table, &Table_Model::User_Edit_Starting, this,
            [this](int Row, int Column, int Role) {
                Key_Before = Table.Cell(Row, Key_Column());
                Undo->Begin(Edit_Step_Name(Row, Column, Role));
            });
    connect(&Table, &Table_Model::User_Edit_Finished, this, [this](int Row, int) {
        Complete_Row(Row, Key_Before);
        Undo->End();
    });
    connect(Grid, &Table_View::Paste_Requested, this, &List_Editor::Paste_Block);
}

List_Editor::~List_Editor() = default;

QString List_Editor::Step_Name(int Slot, int Row, int Column) const
{
    const QString Header = Trimmed(Table_Model::Compact_Text(Table.Cell(0, Column)));
    return Column > 0 ? Space.Str(Slot).arg(Header).arg(Row) : Space.Str(Slot).arg(Row);
}

QString List_Editor::Edit_Step_Name(int Row, int Column, int Role) const
{
    if (Role == Qt::CheckStateRole)
        return Step_Name(List_Editor_Text::Box_Toggle_Step, Row, Column);
    if (Table.Kind_Of(Column) == Column_Kind::Pick_List || Table.Kind_Of(Column) == Column_Kind::Editable_Pick_List)
        return Step_Name(List_Editor_Text::Pick_Choice_Step, Row, Column);
    return Step_Name(List_Editor_Text::Cell_Edit_Step, Row, Column);
}

void List_Editor::Btn_UndoClick() { Undo_Keys->Undo_Now(); }

void List_Editor::Btn_RedoClick() { Undo_Keys->Redo_Now(); }

void List_Editor::Lay_Out(int Width, int Height)
{
    setFixedSize(Width, Height);
    Title.L_SW_Code->setGeometry(12, 6, Width - 24, 34);
    Title.L_SW_Desc->setGeometry(12, 40, Width - 24, 20);
    constexpr int Button_W = 110;
    constexpr int Button_H = 32;
    const int Button_Y = Height - 12 - Button_H;
    Grid->setGeometry(12, 68, Width - 24, Button_Y - 12 - 68);
    int X = 12;
    for (QPushButton* Row_Button : {Btn_DelRow, Btn_InsRow, Btn_CopyRow, Btn_PasteRow}) {
        Row_Button->setGeometry(X, Button_Y, Button_W, Button_H);
        X += Button_W + 6;
    }
    Place_Ok_Cancel(Btn_OK, Btn_Cancel, Width - 12, Button_Y, {Button_W, Button_H}, 8);
    Place_Undo_Buttons();
    setTabOrder(Grid, Btn_DelRow);
    setTabOrder(Btn_DelRow, Btn_InsRow);
    setTabOrder(Btn_InsRow, Btn_CopyRow);
    setTabOrder(Btn_CopyRow, Btn_PasteRow);
    setTabOrder(Btn_PasteRow, Btn_OK);
    setTabOrder(Btn_OK, Btn_Cancel);
}

void List_Editor::Place_Undo_Buttons()
{
    // Undo and Redo sit at the top right, beside the code.
    constexpr int Undo_W = 90;
    const int Width = width();
    Title.L_SW_Code->setGeometry(12, 6, Width - 24 - 2 * (Undo_W + 6), 34);
    Btn_Redo->setGeometry(Width - 12 - Undo_W, 10, Undo_W, 26);
    Btn_Undo->setGeometry(Width - 12 - 2 * Undo_W - 6, 10, Undo_W, 26);
}

void List_Editor::Set_Lang()
{
    setWindowTitle(Space.Str(First_Slot));
    Title.L_SW_Desc->setText(Space.Str(First_Slot + List_Editor_Text::Description_Offset));
    Grid->setAccessibleName(Space.Str(First_Slot + List_Editor_Text::Description_Offset));
    int Slot = First_Slot + List_Editor_Text::First_Button_Offset;
    for (QPushButton* Button : {Btn_OK, Btn_Cancel, Btn_DelRow, Btn_InsRow, Btn_CopyRow, Btn_PasteRow}) {
        Button->setText(Space.Str(Slot));
        Button->setAccessibleName(Space.Str(Slot));
        Button->setToolTip(Space.Str(Slot + List_Editor_Text::Button_Hint_Offset));
        ++Slot;
    }
    // The row commands grow rightwards, OK and Cancel leftwards.
    Fit_Row_Left({Btn_DelRow, Btn_InsRow, Btn_CopyRow, Btn_PasteRow});
    Fit_Row_Right({Btn_OK, Btn_Cancel});
    Btn_Undo->setText(Space.Str(Editing_Text::Undo));
    Btn_Undo->setAccessibleName(Space.Str(Editing_Text::Undo));
    Btn_Redo->setText(Space.Str(Editing_Text::Redo));
    Btn_Redo->setAccessibleName(Space.Str(Editing_Text::Redo));
    Undo_Keys->Refresh();
    Set_Table_Texts();
    Grid->Set_Corner_Text(Table.Cell(0, 0));
    Apply_Hints();
}

void List_Editor::Apply_Hints()
{
    for (int Column = 1; Column < Table.Visible_Column_Count(); ++Column)
        Table.Set_Header_Hint(Column, Column - 1 < Hint_List.size() ? Hint_List[Column - 1] : QString());
}

void List_Editor::FormShow()
{
    // Taken before the file is read: a change in between is asked about, never missed.
    Guard_Of_File->Remember(File_Path());
    Load_Table();
    Undo->Reset();
    Is_Change = false;
    Do_Copy = false;
    Table.Set_Current(1, 1);
    Grid->setCurrentIndex(Table.index(0, 0));
    Grid->scrollToTop();
    Grid->setFocus();
}

int List_Editor::Execute()
{
    FormShow();
    return exec();
}

void List_Editor::ClickCell(int Row, int Column)
{
    if (Column != 0 || Row < 1 || Row >= Table.Row_Count())
        return;
    const QModelIndex First = Table.index(Row - 1, 0);
    // Shift on a row header extends the selection of whole rows, as the header did it.
    if (QGuiApplication::keyboardModifiers().testFlag(Qt::ShiftModifier) && Grid->selectionModel()->hasSelection())
        return;
    Grid->setCurrentIndex(First);
    Grid->selectionModel()->select(First, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void List_Editor::Btn_DelRowClick()
{
    const int Row = Table.Current_Row();
    if (!Prompts.Confirm_Default_No(Space.Str(Delete_Question_Slot()) + QString::number(Row)))
        return;
    Undo->Step(Step_Name(List_Editor_Text::Row_Delete_Step, Row),
               [&] { Delete_Row(Table, Row, Delete_Checks_First_Column()); });
}

void List_Editor::Btn_InsRowClick()
{
    // Inserting would push the last row out of the table.
    const int Last = Table.Row_Count() - 1;
    if (Row_Holds_Data(Table, Last)) {
        Prompts.Show(Prompt_Kind::Warning, Space.Str(List_Editor_Text::Table_Full).arg(Last), Prompt_Buttons::Ok);
        return;
    }
    const int Row = Table.Current_Row();
    Undo->Step(Step_Name(List_Editor_Text::Row_Insert_Step, Row), [&] { Insert_Row(Table, Row, true); });
}

void List_Editor::Btn_CopyRowClick()
{
    Copy_Row(Table, Table.Current_Row(), Space);
    Do_Copy = true;
}

void List_Editor::Btn_PasteRowClick()
{
    const int Row = Table.Current_Row();
    const QString Key = Table.Cell(Row, Key_Column());
    Undo->Step(Step_Name(List_Editor_Text::Row_Paste_Step, Row), [&] {
        Paste_Row(Table, Row, Do_Copy, Space, Space.Lang_Strings, Prompts);
        Complete_Row(Row, Key);
    });
}

void List_Editor::Paste_Block()
{
    const int Row = Table.Current_Row();
    const int Column = Table.Current_Column();
    const QList<QStringList> Lines = Table_Block::Lines_For(Table, Column, Grid->Clipboard_Text());
    if (Lines.isEmpty())
        return;
    const auto Paste = Table_Block::Prepare(Table, Row, Column, Lines);
    if (!Paste) {
        const Table_Block::Refusal& No = Paste.error();
        const QString Header = Trimmed(Table_Model::Compact_Text(Table.Cell(0, No.Column)));
        QString Text;
        if (No.Why == Table_Block::Refusal::Past_Last_Row) {
            Text = Space.Str(List_Editor_Text::Past_Last_Row).arg(No.Line).arg(No.Cell).arg(Table.Row_Count() - 1);
        } else if (No.Why == Table_Block::Refusal::Past_Last_Column) {
            Text = Space.Str(List_Editor_Text::Past_Last_Column)
                       .arg(No.Line)
                       .arg(No.Cell)
                       .arg(Trimmed(Table_Model::Compact_Text(Table.Cell(0, Table.Visible_Column_Count() - 1))));
        } else {
            const QStringList Allowed = Table_Block::Is_Box(Table, Row + No.Line - 1, No.Column)
                                            ? QStringList{"Y", "N", "1", "0", "true", "false", "x"}
                                            : Table.Pick_Items(No.Column);
            Text = Space.Str(List_Editor_Text::Refused_Value)
                       .arg(No.Line)
                       .arg(No.Cell)
                       .arg(No.Value, Header, Allowed.join(QStringLiteral(", ")));
        }
        Prompts.Error(Text);
        return;
    }
    // Every pasted cell is checked as OK checks it, before anything changes.
    QList<QStringList> After = Table_Rows();
    QList<QPoint> Filled;
    for (int Line = 0; Line < Paste->Height(); ++Line)
        for (int Cell = 0; Cell < Paste->Values[Line].size(); ++Cell) {
            const int Target_Row = Paste->Row + Line - 1;
            const int Target_Column = Paste->Column + Cell - 1;
            if (Target_Row < After.size() && Target_Column < After[Target_Row].size())
                After[Target_Row][Target_Column] = Paste->Values[Line][Cell];
            if (!Trimmed(Paste->Values[Line][Cell]).isEmpty())
                Filled.append(QPoint(Target_Column + 1, Target_Row + 1));
        }
    if (const auto Problem = Paste_Problem(After, Filled)) {
        const QString Header = Trimmed(Table_Model::Compact_Text(Table.Cell(0, Problem->Column)));
        Prompts.Error(Space.Str(List_Editor_Text::Refused_Pasted_Cell)
                          .arg(Problem->Row - Paste->Row + 1)
                          .arg(Problem->Column - Paste->Column + 1)
                          .arg(Header, Problem->Text));
        return;
    }
    if (Paste->Overwritten > 0
        && !Prompts.Confirm_Default_No(Space.Str(List_Editor_Text::Overwrite_Question).arg(Paste->Overwritten)))
        return;
    QStringList Keys;
    for (int Line = 0; Line < Paste->Height(); ++Line)
        Keys.append(Table.Cell(Row + Line, Key_Column()));
    Undo->Step(Space.Str(List_Editor_Text::Block_Paste_Step).arg(Paste->Height()).arg(Row), [&] {
        Table_Block::Apply(Table, *Paste);
        for (int Line = 0; Line < Paste->Height(); ++Line)
            Complete_Row(Row + Line, Keys[Line]);
    });
}

void List_Editor::Go_To_Cell(int Row, int Column)
{
    Grid->Select_Whole_Text_In(Row, Column);
    Table.Set_Current(Row, Column);
    const QModelIndex Index = Table.index(Row - 1, Column - 1);
    Grid->setCurrentIndex(Index);
    Grid->scrollTo(Index);
    Grid->setFocus(Qt::OtherFocusReason);
}

bool List_Editor::Dropped_Rows_Accepted()
{
    const std::optional<List_Gap> Gap = Rows_Dropped_At_Save(Table, Key_Column());
    if (!Gap)
        return true;
    if (Prompts.Confirm_Default_No(
            Space.Str(List_Editor_Text::Rows_Dropped_Question)
                .arg(Gap->Empty_Row)
                .arg(Table.Cell(0, Key_Column()))
                .arg(Gap->Dropped_Rows)))
        return true;
    Go_To_Cell(Gap->Empty_Row, Key_Column());
    return false;
}

void List_Editor::reject()
{
    if (Is_Change && !Prompts.Confirm_Default_No(Space.Str(Editing_Text::Leave_Unsaved_Question)))
        return;
    QDialog::reject();
}

void List_Editor::Btn_OKClick()
{
    if (Guard_Of_File->Refuse_Read_Only())
        return;
    if (!Dropped_Rows_Accepted() || !Controllo_dati() || !Accept_Before_Save())
        return;
    if (!Guard_Of_File->May_Write(File_Path(), [this] { return Table_Bytes(); }))
        return;
    if (const auto Saved = Save_Table(); !Saved) {
        Prompts.Error(Space.Write_Failure_Text(Saved.error()));
        return;
    }
    Is_Change = false;
    accept();
}
