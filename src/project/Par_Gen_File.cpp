#include "project/Par_Gen_File.h"

#include "project/Project_History.h"

#include "foundation/Text_Rules.h"
#include "platform/Xml_File.h"

#include <QFileInfo>

namespace Par_Gen {

namespace {

constexpr Reading Ignored{Rule::Not_Read, nullptr};
constexpr Reading Text(const char* Default) { return {Rule::Text, Default}; }
constexpr Reading Integer(const char* Default) { return {Rule::Integer, Default}; }

// Each element with the reading of the editor, the image compiler and the
// device description generator. The editor's defaults are those of a new
// configuration; the compiler takes the fallbacks of the device's parameter
// block; the generator reads only what the description carries.
constexpr std::array<Element_Info, Element_Count> Elements{{
    //                                  Editor                         Image compiler            GSDML generator
    {"IEC61850_Server_Port",          {{Text("102"),                  Integer("102"),            Ignored}}},
    {"IEC61850_Server_Password",      {{Text(""),                     Text(""),                  Ignored}}},
    {"TLS_Server_Enable",             {{{Rule::Reads_As_1, "0"},      Integer("0"),              Ignored}}},
    {"TLS_Server_Key",                {{Text(""),                     Text(""),                  Ignored}}},
    {"TLS_Server_Key_Password",       {{Text(""),                     Text(""),                  Ignored}}},
    {"TLS_Server_Server_Certificate", {{Text(""),                     Text(""),                  Ignored}}},
    {"TLS_Server_Root_Certificate",   {{Text(""),                     Text(""),                  Ignored}}},
    {"TLS_Server_Enable_Known_Cert",  {{{Rule::Reads_As_1, "0"},      Integer("0"),              Ignored}}},
    {"PROFINET_IP1",                  {{Text("192"),                  Integer("192"),            Ignored}}},
    {"PROFINET_IP2",                  {{Text("168"),                  Integer("168"),            Ignored}}},
    {"PROFINET_IP3",                  {{Text("0"),                    Integer("0"),              Ignored}}},
    {"PROFINET_IP4",                  {{Text("5"),                    Integer("5"),              Ignored}}},
    {"PROFINET_SM1",                  {{Text("255"),                  Integer("255"),            Ignored}}},
    {"PROFINET_SM2",                  {{Text("255"),                  Integer("255"),            Ignored}}},
    {"PROFINET_SM3",                  {{Text("255"),                  Integer("255"),            Ignored}}},
    {"PROFINET_SM4",                  {{Text("0"),                    Integer("0"),              Ignored}}},
    {"PROFINET_GAT1",                 {{Text("192"),                  Integer("192"),            Ignored}}},
    {"PROFINET_GAT2",                 {{Text("168"),                  Integer("168"),            Ignored}}},
    {"PROFINET_GAT3",                 {{Text("0"),                    Integer("0"),              Ignored}}},
    {"PROFINET_GAT4",                 {{Text("1"),                    Integer("1"),              Ignored}}},
    {"PROFINET_EN_GAT",               {{{Rule::Exactly_1, "0"},       {Rule::Exactly_1, "0"},    Ignored}}},
    {"PROFINET_PORT",                 {{Text("2000"),                 Integer("2000"),           Ignored}}},
    {"PROFINET_NAME_STA",             {{Text("devicename1"),          Text("devicename1"),       {Rule::Text_Not_Blank, "SERIAL"}}}},
    // The sizes default to the whole data array (Device_Data_Array_Size).
    {"PROFINET_NB_IN",                {{Text("1438"),                 Integer("1438"),           Integer("1438")}}},
    {"PROFINET_NB_OUT",               {{Text("1438"),                 Integer("1438"),           Integer("1438")}}},
    {"PROFINET_ENABLE_DIAGNOSTIC",    {{{Rule::Exactly_1, "0"},       {Rule::Exactly_1, "0"},    Ignored}}},
    {"PROFINET_DIAGNOSTIC_ADDRESS",   {{Text("0"),                    Integer("0"),              Ignored}}},
}};

const char* Root_Name = "Par_Gen";

QString Default_Text(const Reading& How) { return QString::fromLatin1(How.Default ? How.Default : ""); }

} // namespace

const Element_Info& Info(int Element) { return Elements[static_cast<size_t>(Element)]; }

Stored Stored::Read(const QString& Path)
{
    const std::optional<QByteArray> Data = Read_Project_File(Path);
    return Data ? From_Bytes(*Data, QFileInfo(Path).fileName()) : Stored();
}

Stored Stored::From_Bytes(const QByteArray& Data, const QString& File_Name)
{
    Stored File;
    Xml_File Xml;
    QString Error;
    if (Xml.Load_Bytes(Data, File_Name, &Error) != Xml_File::Load_Status::Loaded)
        throw Xml_Parse_Error(Error);
    File.File_Found = true;
    File.Leading = Xml.Before_Root();
    const pugi::xml_node Root = Xml.Root();
    Xml_Places Places(Data);
    File.Root_At = Places.Of(Root);
    for (int I = 0; I < Element_Count; ++I) {
        File.Texts[static_cast<size_t>(I)] = Xml_File::Child_Text(Root, Info(I).Name);
        File.Places[static_cast<size_t>(I)] = Places.Of(Root.child(Info(I).Name));
    }
    return File;
}

QString Stored::Text(int Element, Reader Who) const
{
    const Reading& How = Info(Element).For(Who);
    const std::optional<QString>& Value = (*this)[Element];
    switch (How.How) {
    case Rule::Text: return Value.value_or(Default_Text(How));
    case Rule::Text_Not_Blank: return Value && !Trimmed(*Value).isEmpty() ? *Value : Default_Text(How);
    case Rule::Reads_As_1:
    case Rule::Exactly_1: return Flag(Element, Who) ? QStringLiteral("1") : QStringLiteral("0");
    case Rule::Integer: return QString::number(Integer(Element, Who));
    case Rule::Not_Read: break;
    }
    return Default_Text(How);
}

qint32 Stored::Integer(int Element, Reader Who) const
{
    const qint32 Default = Read_Integer(Default_Text(Info(Element).For(Who)), 0);
    const std::optional<QString>& Value = (*this)[Element];
    return Value ? Read_Integer(*Value, Default) : Default;
}

bool Stored::Flag(int Element, Reader Who) const
{
    const Reading& How = Info(Element).For(Who);
    const std::optional<QString>& Value = (*this)[Element];
    if (!Value)
        return Default_Text(How) == QLatin1String("1");
    if (How.How == Rule::Reads_As_1)
        return Read_Integer(*Value, 0) == 1;
    return *Value == QLatin1String("1");
}

Values Editor_Values(const Stored& File)
{
    Values Data;
    for (int I = 0; I < Element_Count; ++I)
        Data[I] = File.Text(I, Reader::Editor);
    return Data;
}

Values Defaults() { return Editor_Values(Stored()); }

Values Load(const QString& Path) { return Editor_Values(Stored::Read(Path)); }

namespace {

Xml_File Build(const Values& Data)
{
    Xml_File Xml;
    pugi::xml_node Root = Xml_File::Add_Element(Xml.Document(), Root_Name);
    Xml.Document().append_child(pugi::node_comment).set_value(Sw_Version_Comment);
    for (int I = 0; I < Element_Count; ++I)
        Xml_File::Add_Text_Element(Root, Info(I).Name, Data[I]);
    return Xml;
}

} // namespace

QByteArray To_Bytes(const Values& Data) { return Build(Data).To_Bytes(); }

std::expected<void, Write_Error> Save(const QString& Path, const Values& Data)
{
    if (const auto Kept = Project_History::Keep(Path); !Kept)
        return Kept;
    return Build(Data).Save(Path);
}

} // namespace Par_Gen
