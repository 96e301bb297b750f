// Loading the three project files into the image model. The loaders are
// lenient: what is missing or does not convert takes its fallback, silently.
#include "image/Configuration_Image.h"

#include "foundation/Text_Rules.h"
#include "platform/Xml_File.h"
#include "foundation/Workspace.h"

#include <QFile>
#include <QFileInfo>

#include <stdexcept>

namespace {

// The integer of an element's or attribute's text, or Fallback when it is
// missing or not an integer.
qint32 Integer_Or(const std::optional<QString>& Text, qint32 Fallback)
{
    return Text ? Read_Integer(*Text, Fallback) : Fallback;
}

QString Upper_Trimmed(const std::optional<QString>& Text, const QString& Missing = {})
{
    return Text ? Ascii_Upper(Trimmed(*Text)) : Missing;
}

bool Is_Exactly(const std::optional<QString>& Text, QLatin1StringView Expected) { return Text && *Text == Expected; }

void Set_Octets(Par_Block& Block, quint32 Offset, pugi::xml_node Root, const char* const (&Names)[4],
                const qint32 (&Fallbacks)[4])
{
    for (quint32 I = 0; I < 4; ++I)
        Block.Set_U8(Offset + I, static_cast<quint8>(Integer_Or(Xml_File::Child_Text(Root, Names[I]), Fallbacks[I])));
}

// Loads a project file into Xml; false when there is no such file. A file
// that is there but cannot be read ends the compilation like a malformed one:
// compiling the defaults in its place would hand the device a configuration
// nobody made, and report it as done.
bool Load_Project_File(Xml_File& Xml, const QString& Path)
{
    if (Xml.Load_Or_Throw(Path))
        return true;
    const QFileInfo Info(Path);
    if (!Info.isFile())
        return false;
    QFile File(Path);
    const QString Reason = File.open(QIODevice::ReadOnly) ? QStringLiteral("cannot be read") : File.errorString();
    throw std::runtime_error(QStringLiteral("%1: %2").arg(Info.fileName(), Reason).toStdString());
}

void Load_Certificate(TTLS_Certificate& Target, const std::optional<QString>& Text)
{
    Target.Certificate = Text.value_or(QString());
    Target.Certificate_Length = Utf8_Length(Target.Certificate) + 1;
}

} // namespace

void Configuration_Image::Load_ParGen()
{
    Xml_File Xml;
    if (!Load_Project_File(Xml, Space.File_ParGen))
        return;
    const pugi::xml_node Root = Xml.Root();
    const auto Text = [&](const char* Name) { return Xml_File::Child_Text(Root, Name); };

    TIEC61850& Server = IEC61850_Image;
    TTLS_Bank& Tls = Server.TLS_Data;
    Server.port = static_cast<quint16>(Integer_Or(Text("IEC61850_Server_Port"), 102));
    Server.Password = Text("IEC61850_Server_Password").value_or(QString());
    Server.TLS_Enable = static_cast<quint32>(Integer_Or(Text("TLS_Server_Enable"), 0));
    Tls.key = Text("TLS_Server_Key").value_or(QString());
    Tls.Key_Length = Utf8_Length(Tls.key) + 1;
    Tls.Key_Password = Text("TLS_Server_Key_Password").value_or(QString());
    Load_Certificate(Tls.Server_Cert, Text("TLS_Server_Server_Certificate"));
    Load_Certificate(Tls.Root_Cert, Text("TLS_Server_Root_Certificate"));
    Tls.Known_Cert_En = static_cast<quint32>(Integer_Or(Text("TLS_Server_Enable_Known_Cert"), 0));

    Set_Octets(Param_Block, Par_Block_Field::Pn_IP_Address, Root,
               {"PROFINET_IP1", "PROFINET_IP2", "PROFINET_IP3", "PROFINET_IP4"}, {192, 168, 0, 5});
    Set_Octets(Param_Block, Par_Block_Field::Pn_Subnet_Mask, Root,
               {"PROFINET_SM1", "PROFINET_SM2", "PROFINET_SM3", "PROFINET_SM4"}, {255, 255, 255, 0});
    Set_Octets(Param_Block, Par_Block_Field::Pn_Gateway, Root,
               {"PROFINET_GAT1", "PROFINET_GAT2", "PROFINET_GAT3", "PROFINET_GAT4"}, {192, 168, 0, 1});
    if (!Is_Exactly(Text("PROFINET_EN_GAT"), QLatin1StringView("1")))
        for (quint32 I = 0; I < 4; ++I)
            Param_Block.Set_U8(Par_Block_Field::Pn_Gateway + I, 255);

    Param_Block.Set_U16(Par_Block_Field::Pn_Port, static_cast<quint16>(Integer_Or(Text("PROFINET_PORT"), 2000)));

    // The field holds at most 15 characters and its terminating zero; a longer
    // name (only a hand-edited file has one) is cut so that the neighbouring
    // fields stay untouched.
    const QString Station = Text("PROFINET_NAME_STA").value_or(QStringLiteral("devicename1"));
    const qsizetype Kept = std::min<qsizetype>(Station.size(), Par_Block_Field::Pn_Station_Name_Size - 1);
    for (qsizetype I = 0; I < Kept; ++I)
        Param_Block.Set_U8(Par_Block_Field::Pn_Station_Name + static_cast<quint32>(I),
                           static_cast<quint8>(Station[I].unicode() & 0xFF));

    Param_Block.Set_U32(Par_Block_Field::Pn_Bytes_In, static_cast<quint32>(Integer_Or(Text("PROFINET_NB_IN"), 1438)));
    Param_Block.Set_U32(Par_Block_Field::Pn_Bytes_Out,
                        static_cast<quint32>(Integer_Or(Text("PROFINET_NB_OUT"), 1438)));

    if (Is_Exactly(Text("PROFINET_ENABLE_DIAGNOSTIC"), QLatin1StringView("1"))) {
        const std::optional<QString> Address = Text("PROFINET_DIAGNOSTIC_ADDRESS");
        // Unsigned, so the largest address wraps instead of overflowing.
        const quint32 Stored = Address ? static_cast<quint32>(Read_Integer(*Address, 0)) + 1U : 0U;
        Param_Block.Set_U32(Par_Block_Field::Pn_Diag_Address, Stored);
    }
}

void Configuration_Image::Load_IEC61850_Variables()
{
    TIEC61850& Server = IEC61850_Image;
    Server.Var_Number = 0;
    Server.Variables.clear();
    Xml_File Xml;
    if (!Load_Project_File(Xml, Space.File_IEC61850_Variables))
        return;
    const QChar Decimal = Get_Decimal_Separator(Separator);

    for (pugi::xml_node Row = Xml.Root().first_child(); Row; Row = Row.next_sibling()) {
        const auto Attr = [&](const char* Name) { return Xml_File::Attribute(Row, Name); };
        if (!Is_Exactly(Attr("Enable"), QLatin1StringView("Y")))
            continue;
        TIEC61850_Var Var;
        Var.Name = Attr("Name").value_or(QString());

        const QString Type = Upper_Trimmed(Attr("Type"), QStringLiteral("INT"));
        Var.Data_Type = Type == QLatin1StringView("FLOAT") ? 6 : Type == QLatin1StringView("DIGITAL (BIT)") ? 2 : 4;
        Var.Length = static_cast<quint32>(Integer_Or(Attr("Length"), 0));
        if (Var.Data_Type == 2)
            Var.Length = 1;
        Var.Read_Only = Upper_Trimmed(Attr("ReadOnly")) == QLatin1StringView("Y") ? 1 : 0;
        Var.Position = static_cast<quint32>(Integer_Or(Attr("Position"), 0));
        Var.Start_Bit = static_cast<quint32>(Integer_Or(Attr("StartBit"), 0));

        const QString Conversion = Upper_Trimmed(Attr("Conversion"));
        Var.Operation = Conversion == QLatin1StringView("INT TO FLOAT")   ? 1
                        : Conversion == QLatin1StringView("FLOAT TO INT") ? 2
                                                                          : 0;

        const std::optional<QString> Factor = Attr("MultiplicationFactor");
        if (!Factor || Upper_Trimmed(Factor) == QLatin1StringView("NONE"))
            Var.Multiplication_Factor = 1.0F;
        else
            Var.Multiplication_Factor = Text_To_Float(*Factor, Decimal).Value;

        Var.Options = 0;
        if (Is_Exactly(Attr("Swap"), QLatin1StringView("Y")))
            Var.Options |= 1;
        if (Is_Exactly(Attr("SwapWord"), QLatin1StringView("Y")))
            Var.Options |= 2;

        Server.Variables.append(Var);
        ++Server.Var_Number;
    }
}

void Configuration_Image::Load_TLS_Known_Cert()
{
    TTLS_Bank& Tls = IEC61850_Image.TLS_Data;
    Tls.Known_Cert_Num = 0;
    Tls.Known_Cert.clear();
    Xml_File Xml;
    if (!Load_Project_File(Xml, Space.File_TLS_Known_Cert))
        return;
    for (pugi::xml_node Row = Xml.Root().first_child(); Row; Row = Row.next_sibling()) {
        if (!Is_Exactly(Xml_File::Attribute(Row, "Enable"), QLatin1StringView("Y")))
            continue;
        TTLS_Certificate Cert;
        Load_Certificate(Cert, Xml_File::Attribute(Row, "Certificate"));
        Tls.Known_Cert.append(Cert);
        ++Tls.Known_Cert_Num;
    }
}
