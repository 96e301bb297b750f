#include "project/Known_Cert_File.h"

namespace Known_Cert_File {

namespace {

using List_File::Rule;

// Each attribute with the reading of the editor and of the image compiler:
// the editor unchecks a certificate only on an explicit "N", the compiler
// takes one only on an explicit "Y".
constexpr std::array<List_File::Attribute_Info, Attribute_Count> Attributes{{
    //                         Editor                     Image compiler
    {List_File::Enable_Name,   {{{Rule::Not_N, "Y"},      {Rule::Exactly_Y, nullptr}}}},
    {"Certificate",            {{{Rule::Text, ""},        {Rule::Text, ""}}}},
    {List_File::Mnemonic_Name, {{{Rule::Text, ""},        {Rule::Not_Read, nullptr}}}},
}};

const char* Root_Name = "TLS_Server_Known_Cert";

} // namespace

const List_File::Attribute_Info& Info(int Attribute) { return Attributes[static_cast<size_t>(Attribute)]; }

Row::Row(const List_File::Stored_Row& Stored) : List_File::Row(Stored, Known_Cert_File::Attributes) {}

List_File::Stored Read(const QString& Path) { return List_File::Read(Path, Attributes); }
List_File::Stored From_Bytes(const QByteArray& Data, const QString& File_Name)
{
    return List_File::From_Bytes(Data, File_Name, Attributes);
}

QByteArray To_Bytes(const QList<QStringList>& Rows)
{
    return List_File::To_Bytes(Root_Name, Attributes, Rows, Certificate);
}

std::expected<void, Write_Error> Save(const QString& Path, const QList<QStringList>& Rows)
{
    return List_File::Save(Path, Root_Name, Attributes, Rows, Certificate);
}

} // namespace Known_Cert_File
