#include "editors/List_Files.h"

#include "foundation/Text_Rules.h"
#include "editors/Editor_Texts.h"
#include "editors/Table_Model.h"
#include "checks/Project_Checks.h"
#include "project/Known_Cert_File.h"
#include "project/Variables_File.h"

#include <array>
#include <utility>

namespace {

// Resets the table, then fills its data rows from the file's first rows. A
// missing file leaves the reset table; a malformed one raises
// Xml_Parse_Error before anything changes.
template <class Fill>
void Load_Rows(const List_File::Stored& File, Table_Model& Table, void (*Reset)(Table_Model&), Fill&& Fill_Row)
{
    Reset(Table);
    for (int Row = 1; Row < Table.Row_Count() && Row <= File.Rows.size(); ++Row)
        Fill_Row(File.Rows[Row - 1], Row);
}

// Header row texts and the hints of the data columns (column 0 has none).
template <size_t N>
void Set_List_Headers(Table_Model& Table, const Lang_Table& Lang, const std::array<int, N>& Headers,
                      const std::array<int, N>& Hints)
{
    for (int Column = 0; Column < static_cast<int>(N); ++Column) {
        Table.Set_Cell(0, Column, Lang[Headers[Column]]);
        if (Column > 0)
            Table.Set_Header_Hint(Column, Lang[Hints[Column]]);
    }
}

} // namespace

namespace IEC61850_Variables {

namespace {

namespace Text = Variables_Text;

constexpr std::array<int, 13> Headers{Text::Column_Number,   Text::Column_Enable,    Text::Column_Name,
                                      Text::Column_Type,     Text::Column_Length,    Text::Column_Read_Only,
                                      Text::Column_Position, Text::Column_Start_Bit, Text::Column_Conversion,
                                      Text::Column_Factor,   Text::Column_Swap,      Text::Column_Swap_Word,
                                      Text::Column_Mnemonic};
constexpr std::array<int, 13> Hints{0, Text::Enable_Hint, Text::Name_Hint, Text::Type_Hint, Text::Length_Hint,
                                    Text::Read_Only_Hint, Text::Position_Hint, Text::Start_Bit_Hint,
                                    Text::Conversion_Hint, Text::Factor_Hint, Text::Swap_Hint, Text::Swap_Word_Hint,
                                    Text::Mnemonic_Hint};

// The table's columns are the file's attributes, after the row number.
static_assert(Col_Enable == Variables_File::Enable + 1 && Col_Mnemonic == Variables_File::Mnemonic + 1
              && Columns == Variables_File::Attribute_Count + 1);

} // namespace

int Header_Slot(int Column) { return Column >= 0 && Column < Columns ? Headers[Column] : -1; }
int Hint_Slot(int Column) { return Column >= 1 && Column < Columns ? Hints[Column] : -1; }

void Init_Table(Table_Model& Table)
{
    for (int Column : {Col_Enable, Col_ReadOnly, Col_Swap, Col_SwapWord})
        Table.Set_Column_Kind(Column, Column_Kind::Data_Check_Box);
    Table.Set_Column_Kind(Col_Type, Column_Kind::Pick_List,
                          {QStringLiteral("Int"), QStringLiteral("Float"), QStringLiteral("Digital (Bit)")});
    QStringList Bits;
    for (int Bit = 0; Bit < 8; ++Bit)
        Bits.append(QString::number(Bit));
    Table.Set_Column_Kind(Col_StartBit, Column_Kind::Pick_List, Bits);
    Table.Set_Column_Kind(Col_Conversion, Column_Kind::Pick_List,
                          {QStringLiteral("None"), QStringLiteral("Int to Float"), QStringLiteral("Float to Int")});
    Table.Set_Column_Kind(Col_MultiplicationFactor, Column_Kind::Editable_Pick_List, {QStringLiteral("None")});
}

void Set_Headers(Table_Model& Table, const Lang_Table& Lang) { Set_List_Headers(Table, Lang, Headers, Hints); }

void Reset(Table_Model& Table)
{
    for (int Row = 1; Row < Table.Row_Count(); ++Row) {
        Table.Set_Cell(Row, 0, QString::number(Row));
        Table.Set_Cell(Row, Col_Enable, QStringLiteral("Y"));
        for (int Column = Col_Name; Column < Columns; ++Column)
            Table.Set_Cell(Row, Column, QString());
    }
}

void Load(const QString& Path, Table_Model& Table)
{
    Load_Rows(Variables_File::Read(Path), Table, Reset, [&](const List_File::Stored_Row& Stored, int Row) {
        const QStringList Texts = Variables_File::Editor_Texts(Variables_File::Row(Stored));
        for (int Column = Col_Enable; Column <= Col_Mnemonic; ++Column)
            Table.Set_Cell(Row, Column, Texts[Column - 1]);
    });
}

QByteArray To_Bytes(const Table_Model& Table) { return Variables_File::To_Bytes(Rows(Table)); }

std::expected<void, Write_Error> Save(const QString& Path, const Table_Model& Table)
{
    return Variables_File::Save(Path, Rows(Table));
}

QList<QStringList> Rows(const Table_Model& Table)
{
    QList<QStringList> All;
    for (int Row = 1; Row < Table.Row_Count(); ++Row) {
        QStringList Texts;
        for (int Column = Col_Enable; Column <= Col_Mnemonic; ++Column)
            Texts.append(Table.Cell(Row, Column));
        All.append(Texts);
    }
    return All;
}

void Set_Rows(Table_Model& Table, const QList<QStringList>& Rows)
{
    Reset(Table);
    for (int Index = 0; Index < Rows.size() && Index + 1 < Table.Row_Count(); ++Index)
        for (int Column = Col_Enable; Column <= Col_Mnemonic; ++Column)
            Table.Set_Cell(Index + 1, Column, Rows[Index].value(Column - 1));
}

QList<Problem> Find_Problems(const Table_Model& Table, QChar Separator, int NByte_IN, const Lang_Table& Lang)
{
    QList<Problem> Found;
    for (const Checks::Finding& F : Checks::Check_Variables(Check_Input(Table, Separator, NByte_IN), Lang))
        if (F.Level == Checks::Severity::Error)
            Found.append({F.Text, F.Rows.constLast(), F.Field + 1});
    return Found;
}

Checks::Variables_Input Check_Input(const Table_Model& Table, QChar Separator, int NByte_IN)
{
    Checks::Variables_Input Input;
    Input.Separator = Separator;
    Input.NByte_IN = NByte_IN;
    // The rows that are saved: up to the first without a name.
    for (const QStringList& Texts : List_File::Rows_To_Write(Rows(Table), Variables_File::Name)) {
        List_File::Stored_Row Row;
        for (const QString& Text : Texts)
            Row.Values.append(Text);
        Input.Rows.append(Row);
    }
    return Input;
}

std::optional<Problem> Find_Problem(const Table_Model& Table, QChar Separator, int NByte_IN, const Lang_Table& Lang)
{
    QList<Problem> Found = Find_Problems(Table, Separator, NByte_IN, Lang);
    if (Found.isEmpty())
        return std::nullopt;
    return Found.takeFirst();
}

std::optional<QString> Check(const Table_Model& Table, QChar Separator, int NByte_IN, const Lang_Table& Lang)
{
    if (auto Found = Find_Problem(Table, Separator, NByte_IN, Lang))
        return Found->Text;
    return std::nullopt;
}

} // namespace IEC61850_Variables

namespace TLS_Known_Cert {

namespace {

namespace Text = Known_Cert_Text;

constexpr std::array<int, 4> Headers{Text::Column_Number, Text::Column_Enable, Text::Column_Certificate,
                                     Text::Column_Mnemonic};
constexpr std::array<int, 4> Hints{0, Text::Enable_Hint, Text::Certificate_Hint, Text::Mnemonic_Hint};

static_assert(Col_Enable == Known_Cert_File::Enable + 1 && Col_Mnemonic == Known_Cert_File::Mnemonic + 1
              && Columns == Known_Cert_File::Attribute_Count + 1);

// Each row's texts in attribute order; a row whose box is unchecked, or that
// carries none, is written disabled.
QList<QStringList> Rows(const Table_Model& Table)
{
    QList<QStringList> All;
    for (int Row = 1; Row < Table.Row_Count(); ++Row) {
        const bool On = Table.Has_Check(Row, Col_Enable) && Table.Checked(Row, Col_Enable);
        All.append({On ? QStringLiteral("Y") : QStringLiteral("N"), Table.Cell(Row, Col_Certificate),
                    Table.Cell(Row, Col_Mnemonic)});
    }
    return All;
}

} // namespace

int Header_Slot(int Column) { return Column >= 0 && Column < Columns ? Headers[Column] : -1; }
int Hint_Slot(int Column) { return Column >= 1 && Column < Columns ? Hints[Column] : -1; }

void Init_Table(Table_Model& Table)
{
    Table.Set_Column_Kind(Col_Certificate, Column_Kind::Multi_Line_Text);
    for (int Row = 1; Row < Table.Row_Count(); ++Row)
        Table.Set_Check(Row, Col_Enable, false);
}

void Set_Headers(Table_Model& Table, const Lang_Table& Lang) { Set_List_Headers(Table, Lang, Headers, Hints); }

void Reset(Table_Model& Table)
{
    for (int Row = 1; Row < Table.Row_Count(); ++Row) {
        Table.Set_Cell(Row, 0, QString::number(Row));
        Table.Set_Check(Row, Col_Enable, true);
        Table.Set_Cell(Row, Col_Certificate, QString());
        Table.Set_Cell(Row, Col_Mnemonic, QString());
    }
}

void Load(const QString& Path, Table_Model& Table)
{
    using namespace Known_Cert_File;
    Load_Rows(Read(Path), Table, Reset, [&](const List_File::Stored_Row& Stored, int Row) {
        const Known_Cert_File::Row Item(Stored);
        Table.Set_Check(Row, Col_Enable, Item.Flag(Enable, Reader::Editor));
        Table.Set_Cell(Row, Col_Certificate, Item.Text(Certificate, Reader::Editor));
        Table.Set_Cell(Row, Col_Mnemonic, Item.Text(Mnemonic, Reader::Editor));
    });
}

QByteArray To_Bytes(const Table_Model& Table) { return Known_Cert_File::To_Bytes(Rows(Table)); }

std::expected<void, Write_Error> Save(const QString& Path, const Table_Model& Table)
{
    return Known_Cert_File::Save(Path, Rows(Table));
}

} // namespace TLS_Known_Cert
