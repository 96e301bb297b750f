#pragma once

#include "project/List_File.h"

// IEC61850_Variables.xml: the variables the gateway's IEC 61850 server
// publishes, one "row" element each, a row's fields in its attributes.
namespace Variables_File {

enum Attribute : int {
    Enable,
    Name,
    Type,
    Length,
    ReadOnly,
    Position,
    StartBit,
    Conversion,
    MultiplicationFactor,
    Swap,
    SwapWord,
    Mnemonic,
    Attribute_Count
};

using List_File::Reader;

const List_File::Attribute_Info& Info(int Attribute);

// One variable as stored, read by either reader's rules.
class Row : public List_File::Row {
public:
    explicit Row(const List_File::Stored_Row& Stored);
};

// The file as stored (see List_File::Read).
List_File::Stored Read(const QString& Path);
List_File::Stored From_Bytes(const QByteArray& Data, const QString& File_Name);

// A row's twelve texts as the editor shows them: each attribute's value, or
// its editor default where it is absent.
QStringList Editor_Texts(const Row& Item);

// Rows are the twelve texts of each variable in attribute order; the file
// ends before the first row whose name is empty after trimming.
QByteArray To_Bytes(const QList<QStringList>& Rows);
std::expected<void, Write_Error> Save(const QString& Path, const QList<QStringList>& Rows);

} // namespace Variables_File
