#include "project/Variables_File.h"

namespace Variables_File {

namespace {

using List_File::Rule;
constexpr List_File::Reading Ignored{Rule::Not_Read, nullptr};

// Each attribute with the reading of the editor and of the image compiler.
// The editor shows what is stored, and for a missing flag what a new row
// holds; the compiler takes the fallbacks of the device's variable record.
constexpr std::array<List_File::Attribute_Info, Attribute_Count> Attributes{{
    //                         Editor                     Image compiler
    {List_File::Enable_Name,   {{{Rule::Text, "Y"},       {Rule::Exactly_Y, nullptr}}}},
    {"Name",                   {{{Rule::Text, ""},        {Rule::Text, ""}}}},
    {"Type",                   {{{Rule::Text, ""},        {Rule::Upper_Trimmed, "INT"}}}},
    {"Length",                 {{{Rule::Text, ""},        {Rule::Integer, "0"}}}},
    {"ReadOnly",               {{{Rule::Text, "N"},       {Rule::Y_Any_Case, nullptr}}}},
    {"Position",               {{{Rule::Text, ""},        {Rule::Integer, "0"}}}},
    {"StartBit",               {{{Rule::Text, ""},        {Rule::Integer, "0"}}}},
    {"Conversion",             {{{Rule::Text, ""},        {Rule::Upper_Trimmed, ""}}}},
    {"MultiplicationFactor",   {{{Rule::Text, ""},        {Rule::Text, "None"}}}},
    {"Swap",                   {{{Rule::Text, "N"},       {Rule::Exactly_Y, nullptr}}}},
    {"SwapWord",               {{{Rule::Text, "N"},       {Rule::Exactly_Y, nullptr}}}},
    {List_File::Mnemonic_Name, {{{Rule::Text, ""},        Ignored}}},
}};

const char* Root_Name = "IEC61850_Variables";

} // namespace

const List_File::Attribute_Info& Info(int Attribute) { return Attributes[static_cast<size_t>(Attribute)]; }

Row::Row(const List_File::Stored_Row& Stored) : List_File::Row(Stored, Variables_File::Attributes) {}

List_File::Stored Read(const QString& Path) { return List_File::Read(Path, Attributes); }
List_File::Stored From_Bytes(const QByteArray& Data, const QString& File_Name)
{
    return List_File::From_Bytes(Data, File_Name, Attributes);
}

QStringList Editor_Texts(const Row& Item)
{
    QStringList Texts;
    for (int A = 0; A < Attribute_Count; ++A)
        Texts.append(Item.Text(A, Reader::Editor));
    return Texts;
}

QByteArray To_Bytes(const QList<QStringList>& Rows) { return List_File::To_Bytes(Root_Name, Attributes, Rows, Name); }

std::expected<void, Write_Error> Save(const QString& Path, const QList<QStringList>& Rows)
{
    return List_File::Save(Path, Root_Name, Attributes, Rows, Name);
}

} // namespace Variables_File
