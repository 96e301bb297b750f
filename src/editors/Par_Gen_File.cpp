#include "editors/Par_Gen_File.h"

#include "foundation/Text_Rules.h"
#include "platform/Xml_File.h"

namespace Par_Gen {

namespace {

constexpr std::array<Element_Info, Element_Count> Elements{{
    {"IEC61850_Server_Port", Value_Kind::Text, "102"},
    {"IEC61850_Server_Password", Value_Kind::Text, ""},
    {"TLS_Server_Enable", Value_Kind::Check_Integer, "0"},
    {"TLS_Server_Key", Value_Kind::Text, ""},
    {"TLS_Server_Key_Password", Value_Kind::Text, ""},
    {"TLS_Server_Server_Certificate", Value_Kind::Text, ""},
    {"TLS_Server_Root_Certificate", Value_Kind::Text, ""},
    {"TLS_Server_Enable_Known_Cert", Value_Kind::Check_Integer, "0"},
    {"PROFINET_IP1", Value_Kind::Text, "192"},
    {"PROFINET_IP2", Value_Kind::Text, "168"},
    {"PROFINET_IP3", Value_Kind::Text, "0"},
    {"PROFINET_IP4", Value_Kind::Text, "5"},
    {"PROFINET_SM1", Value_Kind::Text, "255"},
    {"PROFINET_SM2", Value_Kind::Text, "255"},
    {"PROFINET_SM3", Value_Kind::Text, "255"},
    {"PROFINET_SM4", Value_Kind::Text, "0"},
    {"PROFINET_GAT1", Value_Kind::Text, "192"},
    {"PROFINET_GAT2", Value_Kind::Text, "168"},
    {"PROFINET_GAT3", Value_Kind::Text, "0"},
    {"PROFINET_GAT4", Value_Kind::Text, "1"},
    {"PROFINET_EN_GAT", Value_Kind::Check_Exact, "0"},
    {"PROFINET_PORT", Value_Kind::Text, "2000"},
    {"PROFINET_NAME_STA", Value_Kind::Text, "devicename1"},
    {"PROFINET_NB_IN", Value_Kind::Text, "1438"},
    {"PROFINET_NB_OUT", Value_Kind::Text, "1438"},
    {"PROFINET_ENABLE_DIAGNOSTIC", Value_Kind::Check_Exact, "0"},
    {"PROFINET_DIAGNOSTIC_ADDRESS", Value_Kind::Text, "0"},
}};

constexpr qint32 Max_Process_Bytes = 1438;

QString Read_Value(const Element_Info& Item, const QString& Stored)
{
    switch (Item.Kind) {
    case Value_Kind::Text: return Stored;
    case Value_Kind::Check_Integer: return Read_Integer(Stored, 0) == 1 ? QStringLiteral("1") : QStringLiteral("0");
    case Value_Kind::Check_Exact: return Stored == QLatin1String("1") ? QStringLiteral("1") : QStringLiteral("0");
    }
    return Stored;
}

} // namespace

const Element_Info& Info(int Element) { return Elements[static_cast<size_t>(Element)]; }

Values Defaults()
{
    Values Data;
    for (int I = 0; I < Element_Count; ++I)
        Data[I] = QString::fromLatin1(Info(I).Default);
    return Data;
}

Values Load(const QString& Path)
{
    Values Data = Defaults();
    Xml_File Xml;
    if (!Xml.Load_Or_Throw(Path))
        return Data;
    const pugi::xml_node Root = Xml.Root();
    for (int I = 0; I < Element_Count; ++I) {
        if (const auto Stored = Xml_File::Child_Text(Root, Info(I).Name))
            Data[I] = Read_Value(Info(I), *Stored);
    }
    return Data;
}

namespace {

Xml_File Build(const Values& Data)
{
    Xml_File Xml;
    pugi::xml_node Root = Xml_File::Add_Element(Xml.Document(), "Par_Gen");
    Xml.Document().append_child(pugi::node_comment).set_value(Sw_Version_Comment);
    for (int I = 0; I < Element_Count; ++I)
        Xml_File::Add_Text_Element(Root, Info(I).Name, Data[I]);
    return Xml;
}

} // namespace

QByteArray To_Bytes(const Values& Data) { return Build(Data).To_Bytes(); }

std::expected<void, Write_Error> Save(const QString& Path, const Values& Data) { return Build(Data).Save(Path); }

std::optional<Problem> Find_Problem(const Values& Data, const Lang_Table& Lang)
{
    const auto Value = [&](int Element) { return Read_Integer(Data[Element], -1); };
    const auto In = [](qint32 V, qint32 Low, qint32 High) { return V >= Low && V <= High; };

    const qint32 Port = Value(IEC61850_Server_Port);
    if (!In(Port, 0, 65535) || Port == 10000)
        return Problem{Lang[437], IEC61850_Server_Port};
    const int Byte_Slots[8] = {560, 561, 562, 563, 564, 565, 566, 567};
    for (int I = 0; I < 8; ++I)
        if (!In(Value(PROFINET_IP1 + I), 0, 255))
            return Problem{Lang[Byte_Slots[I]], PROFINET_IP1 + I};
    if (Data.Is_Checked(PROFINET_EN_GAT))
        for (int I = 0; I < 4; ++I)
            if (!In(Value(PROFINET_GAT1 + I), 0, 255))
                return Problem{Lang[568 + I], PROFINET_GAT1 + I};
    const qint32 Tunnel = Value(PROFINET_PORT);
    if (!In(Tunnel, 1, 65535) || Tunnel == 5000 || Tunnel == 10000 || Tunnel == 10001 || Tunnel == 34962
        || Tunnel == 34963 || Tunnel == 34964)
        return Problem{Lang[572], PROFINET_PORT};
    if (!In(Value(PROFINET_NB_IN), 0, Max_Process_Bytes))
        return Problem{Lang[573] + QString::number(Max_Process_Bytes), PROFINET_NB_IN};
    const qint32 Out = Value(PROFINET_NB_OUT);
    if (!In(Out, 0, Max_Process_Bytes))
        return Problem{Lang[574] + QString::number(Max_Process_Bytes), PROFINET_NB_OUT};
    if (Data.Is_Checked(PROFINET_ENABLE_DIAGNOSTIC) && !In(Value(PROFINET_DIAGNOSTIC_ADDRESS), 0, Out - 8))
        return Problem{Lang[575] + QString::number(Out - 8), PROFINET_DIAGNOSTIC_ADDRESS};
    return std::nullopt;
}

std::optional<QString> Check(const Values& Data, const Lang_Table& Lang)
{
    if (auto Found = Find_Problem(Data, Lang))
        return Found->Text;
    return std::nullopt;
}

} // namespace Par_Gen
