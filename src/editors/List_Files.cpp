#include "editors/List_Files.h"

#include "foundation/Text_Rules.h"
#include "editors/Table_Model.h"
#include "platform/Xml_File.h"

#include <array>
#include <utility>

namespace {

// The root's children that make table rows: every node but the blank text a
// hand-edited file may hold between its elements.
template <class Fill>
void For_Each_Row(const pugi::xml_node Root, int Max_Rows, Fill&& Fill_Row)
{
    int Row = 1;
    for (pugi::xml_node Child = Root.first_child(); Child && Row <= Max_Rows; Child = Child.next_sibling()) {
        if (Child.type() == pugi::node_pcdata && QString::fromUtf8(Child.value()).trimmed().isEmpty())
            continue;
        Fill_Row(Child, Row++);
    }
}

// Resets the table, then fills its data rows from the file's rows. A missing
// file leaves the reset table; a malformed one raises Xml_Parse_Error before
// anything changes.
template <class Fill>
void Load_Rows(const QString& Path, Table_Model& Table, void (*Reset)(Table_Model&), Fill&& Fill_Row)
{
    Xml_File Xml;
    const bool Found = Xml.Load_Or_Throw(Path);
    Reset(Table);
    if (Found)
        For_Each_Row(Xml.Root(), Table.Row_Count() - 1, std::forward<Fill>(Fill_Row));
}

Xml_File New_Document(const char* Root_Name, pugi::xml_node& Root)
{
    Xml_File Xml;
    Root = Xml_File::Add_Element(Xml.Document(), Root_Name);
    Xml.Document().append_child(pugi::node_comment).set_value(Sw_Version_Comment);
    return Xml;
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

constexpr std::array<const char*, 13> Attributes{"",         "Enable",     "Name",       "Type",
                                                 "Length",   "ReadOnly",   "Position",   "StartBit",
                                                 "Conversion", "MultiplicationFactor", "Swap", "SwapWord",
                                                 "Mnemonic"};
constexpr std::array<int, 13> Headers{914, 915, 916, 917, 918, 919, 920, 932, 933, 934, 942, 943, 921};
constexpr std::array<int, 13> Hints{0, 922, 923, 924, 925, 926, 927, 935, 936, 937, 944, 945, 928};

Xml_File Build(const Table_Model& Table)
{
    pugi::xml_node Root;
    Xml_File Xml = New_Document("IEC61850_Variables", Root);
    for (int Row = 1; Row < Table.Row_Count(); ++Row) {
        if (Trimmed(Table.Cell(Row, Col_Name)).isEmpty())
            break;
        pugi::xml_node Item = Xml_File::Add_Element(Root, "row");
        for (int Column = Col_Enable; Column <= Col_Mnemonic; ++Column)
            Xml_File::Set_Attribute(Item, Attribute_Name(Column), Table.Cell(Row, Column));
    }
    return Xml;
}

} // namespace

const char* Attribute_Name(int Column) { return Column >= 1 && Column < Columns ? Attributes[Column] : ""; }
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
    Load_Rows(Path, Table, Reset, [&](pugi::xml_node Item, int Row) {
        for (int Column = Col_Enable; Column <= Col_Mnemonic; ++Column) {
            if (const auto Value = Xml_File::Attribute(Item, Attribute_Name(Column)))
                Table.Set_Cell(Row, Column, *Value);
            else if (Column == Col_Enable)
                Table.Set_Cell(Row, Column, QStringLiteral("Y"));
            else if (Column == Col_ReadOnly || Column == Col_Swap || Column == Col_SwapWord)
                Table.Set_Cell(Row, Column, QStringLiteral("N"));
        }
    });
}

QByteArray To_Bytes(const Table_Model& Table) { return Build(Table).To_Bytes(); }

std::expected<void, Write_Error> Save(const QString& Path, const Table_Model& Table) { return Build(Table).Save(Path); }

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

std::optional<Problem> Find_Problem(const Table_Model& Table, QChar Separator, int NByte_IN, const Lang_Table& Lang)
{
    for (int Row = 1; Row < Table.Row_Count(); ++Row) {
        if (Trimmed(Table.Cell(Row, Col_Name)).isEmpty())
            return std::nullopt;
        if (Trimmed(Table.Cell(Row, Col_Enable)) != QLatin1String("Y"))
            continue;
        const QString Prefix = Lang[929] + QString::number(Row);
        const qint32 Length = Read_Integer(Table.Cell(Row, Col_Length), -1);
        if (Length < 1 || Length > 4)
            return Problem{Prefix + Lang[941], Row, Col_Length};
        const qint32 Position = Read_Integer(Table.Cell(Row, Col_Position), -1);
        if (Position < 0 || Position > NByte_IN - 1)
            return Problem{Prefix + Lang[930] + QString::number(NByte_IN - 1), Row, Col_Position};
        if (Table.Cell(Row, Col_Type) == QLatin1String("Digital (Bit)")
            && Trimmed(Table.Cell(Row, Col_StartBit)).isEmpty())
            return Problem{Prefix + Lang[938], Row, Col_StartBit};
        if (Trimmed(Table.Cell(Row, Col_Conversion)).isEmpty())
            return Problem{Prefix + Lang[939], Row, Col_Conversion};
        const QString Factor = Table.Cell(Row, Col_MultiplicationFactor);
        if (Ascii_Upper(Trimmed(Factor)) != QLatin1String("NONE") && !Text_To_Float(Factor, Separator).Ok)
            return Problem{Prefix + Lang[940], Row, Col_MultiplicationFactor};
    }
    return std::nullopt;
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

constexpr std::array<const char*, 4> Attributes{"", "Enable", "Certificate", "Mnemonic"};
constexpr std::array<int, 4> Headers{814, 815, 816, 817};
constexpr std::array<int, 4> Hints{0, 818, 819, 820};

Xml_File Build(const Table_Model& Table)
{
    pugi::xml_node Root;
    Xml_File Xml = New_Document("TLS_Server_Known_Cert", Root);
    for (int Row = 1; Row < Table.Row_Count(); ++Row) {
        if (Trimmed(Table.Cell(Row, Col_Certificate)).isEmpty())
            break;
        pugi::xml_node Item = Xml_File::Add_Element(Root, "row");
        const bool On = Table.Has_Check(Row, Col_Enable) && Table.Checked(Row, Col_Enable);
        Xml_File::Set_Attribute(Item, "Enable", On ? QStringLiteral("Y") : QStringLiteral("N"));
        Xml_File::Set_Attribute(Item, "Certificate", Table.Cell(Row, Col_Certificate));
        Xml_File::Set_Attribute(Item, "Mnemonic", Table.Cell(Row, Col_Mnemonic));
    }
    return Xml;
}

} // namespace

const char* Attribute_Name(int Column) { return Column >= 1 && Column < Columns ? Attributes[Column] : ""; }
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
    Load_Rows(Path, Table, Reset, [&](pugi::xml_node Item, int Row) {
        const QString Enable = Xml_File::Attribute(Item, "Enable").value_or(QStringLiteral("Y"));
        Table.Set_Check(Row, Col_Enable, Enable != QLatin1String("N"));
        if (const auto Certificate = Xml_File::Attribute(Item, "Certificate"))
            Table.Set_Cell(Row, Col_Certificate, *Certificate);
        if (const auto Mnemonic = Xml_File::Attribute(Item, "Mnemonic"))
            Table.Set_Cell(Row, Col_Mnemonic, *Mnemonic);
    });
}

QByteArray To_Bytes(const Table_Model& Table) { return Build(Table).To_Bytes(); }

std::expected<void, Write_Error> Save(const QString& Path, const Table_Model& Table) { return Build(Table).Save(Path); }

} // namespace TLS_Known_Cert
