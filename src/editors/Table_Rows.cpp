#include "editors/Table_Rows.h"

#include "editors/Editor_Texts.h"
#include "editors/Table_Model.h"
#include "foundation/Text_Rules.h"
#include "platform/Prompter.h"
#include "foundation/Workspace.h"

namespace {

bool Is_Data_Row(const Table_Model& Table, int Row) { return Row >= 1 && Row < Table.Row_Count(); }

// One cell of row From into row To by the table's copy rule.
void Move_Cell(Table_Model& Table, int From, int To, int Column)
{
    if (Table.Kind() == Check_Kind::State_Check && Table.Has_Check(From, Column))
        Table.Set_Check(To, Column, Table.Checked(From, Column));
    else
        Table.Set_Cell(To, Column, Table.Cell(From, Column));
}

void Move_Row(Table_Model& Table, int From, int To)
{
    for (int Column = 1; Column <= Table.Data_Width(); ++Column)
        Move_Cell(Table, From, To, Column);
}

void Empty_Row(Table_Model& Table, int Row, bool Check_First_Column)
{
    for (int Column = 1; Column <= Table.Data_Width(); ++Column) {
        const bool First_On = Check_First_Column && Column == 1;
        if (Table.Kind() == Check_Kind::State_Check && Table.Has_Check(Row, Column))
            Table.Set_Check(Row, Column, First_On);
        else if (Table.Kind() == Check_Kind::Text_Check && First_On)
            Table.Set_Cell(Row, Column, QStringLiteral("Y"));
        else
            Table.Set_Cell(Row, Column, QString());
    }
}

bool Row_In_Use(const Table_Model& Table, int Row)
{
    for (int Column = 1; Column <= Table.Data_Width(); ++Column) {
        if (Table.Kind() == Check_Kind::Text_Check) {
            if (Table.Kind_Of(Column) != Column_Kind::Data_Check_Box && !Trimmed(Table.Cell(Row, Column)).isEmpty())
                return true;
        } else if (!Table.Has_Check(Row, Column) && !Table.Cell(Row, Column).isEmpty()) {
            return true;
        }
    }
    return false;
}

} // namespace

void Delete_Row(Table_Model& Table, int Row, bool Check_First_Column)
{
    if (!Is_Data_Row(Table, Row))
        return;
    const int Last = Table.Row_Count() - 1;
    for (int I = Row; I <= Last - 1; ++I)
        Move_Row(Table, I + 1, I);
    // Only the state-check table knows a checked box in an emptied row.
    Empty_Row(Table, Last, Table.Kind() == Check_Kind::State_Check && Check_First_Column);
}

void Insert_Row(Table_Model& Table, int Row, bool Check_First_Column)
{
    if (!Is_Data_Row(Table, Row))
        return;
    for (int I = Table.Row_Count() - 2; I >= Row; --I)
        Move_Row(Table, I, I + 1);
    Empty_Row(Table, Row, Check_First_Column);
}

void Copy_Row(Table_Model& Table, int Row, Copied_Row& Clipboard)
{
    if (!Is_Data_Row(Table, Row))
        return;
    Clipboard.Row_Clipboard.clear();
    const int Width = Table.Data_Width();
    if (Table.Kind() == Check_Kind::State_Check)
        Clipboard.Row_Clipboard_Checks.fill(false, Width);
    for (int Column = 1; Column <= Width; ++Column) {
        if (Table.Kind() == Check_Kind::State_Check && Table.Has_Check(Row, Column)) {
            Clipboard.Row_Clipboard_Checks[Column - 1] = true;
            Clipboard.Row_Clipboard.append(Table.Checked(Row, Column) ? QStringLiteral("Y") : QStringLiteral("N"));
        } else {
            Clipboard.Row_Clipboard.append(Table.Cell(Row, Column));
        }
    }
}

void Paste_Row(Table_Model& Table, int Row, bool Copied, const Copied_Row& Clipboard, const Lang_Table& Lang,
               Prompter& Prompts)
{
    if (!Is_Data_Row(Table, Row))
        return;
    if (!Copied) {
        Prompts.Error(Lang[List_Editor_Text::Nothing_Copied]);
        return;
    }
    const int Width = Table.Data_Width();
    if (Clipboard.Row_Clipboard.size() != Width) {
        Prompts.Error(Lang[List_Editor_Text::Copied_Row_Unfit]);
        return;
    }
    if (Row_In_Use(Table, Row) && !Prompts.Confirm_Default_No(Lang[List_Editor_Text::Paste_Over_Used_Row]))
        return;
    for (int Column = 1; Column <= Width; ++Column) {
        const QString& Entry = Clipboard.Row_Clipboard[Column - 1];
        const bool Is_Box = Table.Kind() == Check_Kind::State_Check && Column - 1 < Clipboard.Row_Clipboard_Checks.size()
                            && Clipboard.Row_Clipboard_Checks[Column - 1];
        if (Is_Box)
            Table.Set_Check(Row, Column, Entry == QLatin1String("Y"));
        else
            Table.Set_Cell(Row, Column, Entry);
    }
}

void Header_Auto_Size(Table_Model& Table, int Row, int Column, bool Double_Click_Auto_Size)
{
    if (Double_Click_Auto_Size && Row == 0)
        Table.Fit_Column(Column);
}

void Enter_Next_Cell(Table_Model& Table, QChar& Key, bool Enable_Jump_Field_Tables)
{
    if (!Enable_Jump_Field_Tables || Key != QChar(13))
        return;
    int Row = Table.Current_Row();
    int Column = Table.Current_Column();
    if (Column > 0 && Row > 0) {
        if (Column < Table.Visible_Column_Count() - 1) {
            ++Column;
        } else {
            Column = 1;
            Row = Row == Table.Row_Count() - 1 ? 1 : Row + 1;
        }
        Table.Set_Current(Row, Column);
    }
    Key = QChar();
}

bool Row_Holds_Data(const Table_Model& Table, int Row)
{
    if (!Is_Data_Row(Table, Row))
        return false;
    for (int Column = 1; Column <= Table.Data_Width(); ++Column) {
        const bool Box = Table.Kind() == Check_Kind::Text_Check ? Table.Kind_Of(Column) == Column_Kind::Data_Check_Box
                                                                : Table.Has_Check(Row, Column);
        if (!Box && !Trimmed(Table.Cell(Row, Column)).isEmpty())
            return true;
    }
    return false;
}

std::optional<List_Gap> Rows_Dropped_At_Save(const Table_Model& Table, int Key_Column)
{
    int Row = 1;
    while (Row < Table.Row_Count() && !Trimmed(Table.Cell(Row, Key_Column)).isEmpty())
        ++Row;
    List_Gap Gap{Row, 0};
    for (int Later = Row; Later < Table.Row_Count(); ++Later)
        if (Row_Holds_Data(Table, Later))
            ++Gap.Dropped_Rows;
    if (Gap.Dropped_Rows == 0)
        return std::nullopt;
    return Gap;
}
