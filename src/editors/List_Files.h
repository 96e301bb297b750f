#pragma once

#include "foundation/Data_Array.h"

#include "foundation/Lang_Strings.h"
#include "platform/File_Write.h"

#include <QByteArray>
#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

#include <expected>
#include <optional>

class Table_Model;
namespace Checks {
struct Variables_Input;
}

// The editor's table of IEC61850_Variables.xml: a row per variable, the row
// number in column 0, the file's attributes in the columns after it.
namespace IEC61850_Variables {

constexpr int Data_Rows = 50;
constexpr int Columns = 13;  // the row number and the twelve fields
constexpr int Data_Array_Size = Device_Data_Array_Size;

enum Column : int {
    Col_Enable = 1,
    Col_Name,
    Col_Type,
    Col_Length,
    Col_ReadOnly,
    Col_Position,
    Col_StartBit,
    Col_Conversion,
    Col_MultiplicationFactor,
    Col_Swap,
    Col_SwapWord,
    Col_Mnemonic,
};

// The header text slot and hint slot of a column.
int Header_Slot(int Column);
int Hint_Slot(int Column);

// Sets the column editors and pick lists of an empty 51 x 13 text-check table.
void Init_Table(Table_Model& Table);
void Set_Headers(Table_Model& Table, const Lang_Table& Lang);
// Every data row numbered and enabled, all other cells empty.
void Reset(Table_Model& Table);
// Reset, then the file's first 50 rows with the attribute defaults. A missing
// file leaves the reset table; a malformed one raises Xml_Parse_Error.
void Load(const QString& Path, Table_Model& Table);
QByteArray To_Bytes(const Table_Model& Table);
std::expected<void, Write_Error> Save(const QString& Path, const Table_Model& Table);
// The twelve texts of every data row, in attribute order.
QList<QStringList> Rows(const Table_Model& Table);
// Reset, then the given rows from row 1 on (at most the table's rows).
void Set_Rows(Table_Model& Table, const QList<QStringList>& Rows);
// The message of the first enabled row that may not be saved, up to the
// first row without a name; nothing when the list may be saved.
std::optional<QString> Check(const Table_Model& Table, QChar Separator, int NByte_IN, const Lang_Table& Lang);
// The same, with the cell the message is about.
struct Problem {
    QString Text;
    int Row = 0;
    int Column = 0;
};
std::optional<Problem> Find_Problem(const Table_Model& Table, QChar Separator, int NByte_IN, const Lang_Table& Lang);
// Every error the variables check finds in the rows up to the first row
// without a name: row by row, within a row the editor's rules in the order of
// the columns, then the values no editor writes and a name used twice (at
// the later row); the first of them is the one Find_Problem gives.
QList<Problem> Find_Problems(const Table_Model& Table, QChar Separator, int NByte_IN, const Lang_Table& Lang);
// The rows that are saved, for the checks of the variables file (errors and warnings).
Checks::Variables_Input Check_Input(const Table_Model& Table, QChar Separator, int NByte_IN);

} // namespace IEC61850_Variables

// The editor's table of TLS_Known_Cert.xml: a row per certificate, the row
// number in column 0, the box of column 1 for its Enable attribute.
namespace TLS_Known_Cert {

constexpr int Data_Rows = 10;
constexpr int Columns = 4;

enum Column : int { Col_Enable = 1, Col_Certificate, Col_Mnemonic };

int Header_Slot(int Column);
int Hint_Slot(int Column);

// Sets the column editors of an empty 11 x 4 state-check table.
void Init_Table(Table_Model& Table);
void Set_Headers(Table_Model& Table, const Lang_Table& Lang);
// Every data row numbered with its box checked, the texts empty.
void Reset(Table_Model& Table);
void Load(const QString& Path, Table_Model& Table);
QByteArray To_Bytes(const Table_Model& Table);
std::expected<void, Write_Error> Save(const QString& Path, const Table_Model& Table);

} // namespace TLS_Known_Cert
