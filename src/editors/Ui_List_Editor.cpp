#include "editors/Ui_List_Editor.h"

#include "editors/Table_Rows.h"
#include "editors/Ui_Table_View.h"
#include "platform/Prompter.h"
#include "widgets/Ui_Build.h"
#include "widgets/Ui_Fit_Text.h"
#include "foundation/Workspace.h"

#include <QDir>
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
    connect(&Table, &QAbstractItemModel::dataChanged, this, [this] { Is_Change = true; });
}

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
    setTabOrder(Grid, Btn_DelRow);
    setTabOrder(Btn_DelRow, Btn_InsRow);
    setTabOrder(Btn_InsRow, Btn_CopyRow);
    setTabOrder(Btn_CopyRow, Btn_PasteRow);
    setTabOrder(Btn_PasteRow, Btn_OK);
    setTabOrder(Btn_OK, Btn_Cancel);
}

void List_Editor::Set_Lang()
{
    setWindowTitle(Space.Str(First_Slot));
    Title.L_SW_Desc->setText(Space.Str(First_Slot + 1));
    Grid->setAccessibleName(Space.Str(First_Slot + 1));
    int Slot = First_Slot + 2;
    for (QPushButton* Button : {Btn_OK, Btn_Cancel, Btn_DelRow, Btn_InsRow, Btn_CopyRow, Btn_PasteRow}) {
        Button->setText(Space.Str(Slot));
        Button->setAccessibleName(Space.Str(Slot));
        Button->setToolTip(Space.Str(Slot + 6));
        ++Slot;
    }
    // The row commands grow rightwards, OK and Cancel leftwards.
    Fit_Row_Left({Btn_DelRow, Btn_InsRow, Btn_CopyRow, Btn_PasteRow});
    Fit_Row_Right({Btn_OK, Btn_Cancel});
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
    Load_Table();
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
    Grid->setCurrentIndex(First);
    Grid->selectionModel()->select(First, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void List_Editor::Btn_DelRowClick()
{
    const int Row = Table.Current_Row();
    if (!Prompts.Confirm_Default_No(Space.Str(Delete_Question_Slot()) + QString::number(Row)))
        return;
    Delete_Row(Table, Row, Delete_Checks_First_Column());
}

void List_Editor::Btn_InsRowClick()
{
    // Inserting would push the last row out of the table.
    const int Last = Table.Row_Count() - 1;
    if (Row_Holds_Data(Table, Last)) {
        Prompts.Show(Prompt_Kind::Warning, Space.Str(1120).arg(Last), Prompt_Buttons::Ok);
        return;
    }
    Insert_Row(Table, Table.Current_Row(), true);
}

void List_Editor::Btn_CopyRowClick()
{
    Copy_Row(Table, Table.Current_Row(), Space);
    Do_Copy = true;
}

void List_Editor::Btn_PasteRowClick()
{
    Paste_Row(Table, Table.Current_Row(), Do_Copy, Space, Space.Lang_Strings, Prompts);
}

void List_Editor::Go_To_Cell(int Row, int Column)
{
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
            Space.Str(1121).arg(Gap->Empty_Row).arg(Table.Cell(0, Key_Column())).arg(Gap->Dropped_Rows)))
        return true;
    Go_To_Cell(Gap->Empty_Row, Key_Column());
    return false;
}

void List_Editor::reject()
{
    if (Is_Change && !Prompts.Confirm_Default_No(Space.Str(441)))
        return;
    QDialog::reject();
}

void List_Editor::Btn_OKClick()
{
    if (!Dropped_Rows_Accepted() || !Controllo_dati() || !Accept_Before_Save())
        return;
    if (const auto Saved = Save_Table(); !Saved) {
        Prompts.Error(Space.Write_Failure_Text(Saved.error()));
        return;
    }
    Is_Change = false;
    accept();
}
