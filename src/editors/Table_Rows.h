#pragma once

#include <QChar>

#include <optional>

class Lang_Table;
class Prompter;
class Table_Model;
struct Copied_Row;

// The row operations every list editor offers, on either kind of table. Row
// is a data row (1..Row_Count-1); they work over the data columns 1..W and
// never touch the row-number column.

// Moves the rows below Row up by one and empties the last row. In a
// state-check table the emptied row's column-1 box is checked when asked for.
void Delete_Row(Table_Model& Table, int Row, bool Check_First_Column = false);
// Moves Row and the rows below it down by one (the last row's content is
// dropped) and empties Row, with column 1 checked ("Y") when asked for.
void Insert_Row(Table_Model& Table, int Row, bool Check_First_Column);
// Puts the row's data cells into the row clipboard.
void Copy_Row(Table_Model& Table, int Row, Copied_Row& Clipboard);
// Writes the row clipboard into Row after the checks the user is told about:
// a copy must have been made (Copied), it must fit the table, and a used row
// is overwritten only after the user agreed. The messages come from Lang.
void Paste_Row(Table_Model& Table, int Row, bool Copied, const Copied_Row& Clipboard, const Lang_Table& Lang,
               Prompter& Prompts);
// A double-click on a header cell fits that column when the user asked for it
// (the option Double_Click_Auto_Size).
void Header_Auto_Size(Table_Model& Table, int Row, int Column, bool Double_Click_Auto_Size);
// Enter moves the current cell to the next field when the user asked for it
// (the option Enable_Jump_Field_Tables); the key is then consumed (set to a
// null character).
void Enter_Next_Cell(Table_Model& Table, QChar& Key, bool Enable_Jump_Field_Tables);

// Whether a data row holds any text besides its check boxes (blanks do not
// count): what a user would miss if the row disappeared.
bool Row_Holds_Data(const Table_Model& Table, int Row);

// A list file ends at the first row whose key column is blank. When rows
// from that one on still hold data, a save would drop them: the row that
// ends the list and how many rows holding data would be dropped.
struct List_Gap {
    int Empty_Row = 0;
    int Dropped_Rows = 0;
};
std::optional<List_Gap> Rows_Dropped_At_Save(const Table_Model& Table, int Key_Column);
