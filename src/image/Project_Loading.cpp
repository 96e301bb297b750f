// Loading the three project files into the image model. The loaders are
// lenient: what is missing or does not convert takes its fallback, silently.
#include "image/Configuration_Image.h"

#include "foundation/Text_Rules.h"
#include "foundation/Workspace.h"
#include "project/Known_Cert_File.h"
#include "project/Par_Gen_File.h"
#include "project/Variables_File.h"

#include <QFile>
#include <QFileInfo>

#include <stdexcept>

namespace {

// A project file that is there but could not be read ends the compilation
// like a malformed one: compiling the defaults in its place would hand the
// device a configuration nobody made, and report it as done. A missing file
// is no error.
void Refuse_Unreadable(const QString& Path)
{
    const QFileInfo Info(Path);
    if (!Info.isFile())
        return;
    QFile File(Path);
    const QString Reason = File.open(QIODevice::ReadOnly) ? QStringLiteral("cannot be read") : File.errorString();
    throw std::runtime_error(QStringLiteral("%1: %2").arg(Info.fileName(), Reason).toStdString());
}

void Load_Certificate(TTLS_Certificate& Target, const QString& Text)
{
    Target.Certificate = Text;
    Target.Certificate_Length = Utf8_Length(Target.Certificate) + 1;
}

} // namespace

Configuration_Image::Project_Files Configuration_Image::Read_Project_Files() const
{
    // In the order they are loaded, so that the first malformed one is named.
    Par_Gen::Stored General = Par_Gen::Stored::Read(Project.File_ParGen);
    List_File::Stored Variables = Variables_File::Read(Project.File_IEC61850_Variables);
    List_File::Stored Known = Known_Cert_File::Read(Project.File_TLS_Known_Cert);
    return {std::move(General), std::move(Variables), std::move(Known)};
}

void Configuration_Image::Load_ParGen(const Par_Gen::Stored& File)
{
    using namespace Par_Gen;
    if (!File.Found()) {
        Refuse_Unreadable(Project.File_ParGen);
        return;
    }
    constexpr Reader R = Reader::Image;

    TIEC61850& Server = IEC61850_Image;
    TTLS_Bank& Tls = Server.TLS_Data;
    Server.port = static_cast<quint16>(File.Integer(IEC61850_Server_Port, R));
    Server.Password = File.Text(IEC61850_Server_Password, R);
    Server.TLS_Enable = static_cast<quint32>(File.Integer(TLS_Server_Enable, R));
    Tls.key = File.Text(TLS_Server_Key, R);
    Tls.Key_Length = Utf8_Length(Tls.key) + 1;
    Tls.Key_Password = File.Text(TLS_Server_Key_Password, R);
    Load_Certificate(Tls.Server_Cert, File.Text(TLS_Server_Server_Certificate, R));
    Load_Certificate(Tls.Root_Cert, File.Text(TLS_Server_Root_Certificate, R));
    Tls.Known_Cert_En = static_cast<quint32>(File.Integer(TLS_Server_Enable_Known_Cert, R));

    // 255.255.255.255 tells the device there is no gateway.
    const bool Gateway = File.Flag(PROFINET_EN_GAT, R);
    for (quint32 I = 0; I < 4; ++I) {
        const int Octet = static_cast<int>(I);
        Param_Block.Set_U8(Par_Block_Field::Pn_IP_Address + I, static_cast<quint8>(File.Integer(PROFINET_IP1 + Octet, R)));
        Param_Block.Set_U8(Par_Block_Field::Pn_Subnet_Mask + I, static_cast<quint8>(File.Integer(PROFINET_SM1 + Octet, R)));
        Param_Block.Set_U8(Par_Block_Field::Pn_Gateway + I,
                           Gateway ? static_cast<quint8>(File.Integer(PROFINET_GAT1 + Octet, R)) : 255);
    }

    Param_Block.Set_U16(Par_Block_Field::Pn_Port, static_cast<quint16>(File.Integer(PROFINET_PORT, R)));

    // The field holds at most 15 characters and its terminating zero; a longer
    // name (only a hand-edited file has one) is cut so that the neighbouring
    // fields stay untouched.
    const QString Station = File.Text(PROFINET_NAME_STA, R);
    const qsizetype Kept = std::min<qsizetype>(Station.size(), Par_Block_Field::Pn_Station_Name_Size - 1);
    for (qsizetype I = 0; I < Kept; ++I)
        Param_Block.Set_U8(Par_Block_Field::Pn_Station_Name + static_cast<quint32>(I),
                           static_cast<quint8>(Station[I].unicode() & 0xFF));

    Param_Block.Set_U32(Par_Block_Field::Pn_Bytes_In, static_cast<quint32>(File.Integer(PROFINET_NB_IN, R)));
    Param_Block.Set_U32(Par_Block_Field::Pn_Bytes_Out, static_cast<quint32>(File.Integer(PROFINET_NB_OUT, R)));

    if (File.Flag(PROFINET_ENABLE_DIAGNOSTIC, R)) {
        // Unsigned, so the largest address wraps instead of overflowing; an
        // enabled diagnostic without its address stays off.
        const quint32 Stored_Address = File[PROFINET_DIAGNOSTIC_ADDRESS]
                                           ? static_cast<quint32>(File.Integer(PROFINET_DIAGNOSTIC_ADDRESS, R)) + 1U
                                           : 0U;
        Param_Block.Set_U32(Par_Block_Field::Pn_Diag_Address, Stored_Address);
    }
}

void Configuration_Image::Load_IEC61850_Variables(const List_File::Stored& File)
{
    using namespace Variables_File;
    TIEC61850& Server = IEC61850_Image;
    Server.Var_Number = 0;
    Server.Variables.clear();
    if (!File.Found) {
        Refuse_Unreadable(Project.File_IEC61850_Variables);
        return;
    }
    const QChar Decimal = Get_Decimal_Separator(Separator);
    constexpr Reader R = Reader::Image;

    for (const List_File::Stored_Row& Stored : File.Rows) {
        const Row Item(Stored);
        if (!Item.Flag(Enable, R))
            continue;
        TIEC61850_Var Var;
        Var.Name = Item.Text(Name, R);

        const QString Kind = Item.Text(Type, R);
        Var.Data_Type = Kind == QLatin1StringView("FLOAT") ? 6 : Kind == QLatin1StringView("DIGITAL (BIT)") ? 2 : 4;
        Var.Length = static_cast<quint32>(Item.Integer(Length, R));
        if (Var.Data_Type == 2)
            Var.Length = 1;
        Var.Read_Only = Item.Flag(ReadOnly, R) ? 1 : 0;
        Var.Position = static_cast<quint32>(Item.Integer(Position, R));
        Var.Start_Bit = static_cast<quint32>(Item.Integer(StartBit, R));

        const QString Operation = Item.Text(Conversion, R);
        Var.Operation = Operation == QLatin1StringView("INT TO FLOAT")   ? 1
                        : Operation == QLatin1StringView("FLOAT TO INT") ? 2
                                                                         : 0;

        const QString Factor = Item.Text(MultiplicationFactor, R);
        Var.Multiplication_Factor = Ascii_Upper(Trimmed(Factor)) == QLatin1StringView("NONE")
                                        ? 1.0F
                                        : Text_To_Float(Factor, Decimal).Value;

        Var.Options = 0;
        if (Item.Flag(Swap, R))
            Var.Options |= 1;
        if (Item.Flag(SwapWord, R))
            Var.Options |= 2;

        Server.Variables.append(Var);
        ++Server.Var_Number;
    }
}

void Configuration_Image::Load_TLS_Known_Cert(const List_File::Stored& File)
{
    using namespace Known_Cert_File;
    TTLS_Bank& Tls = IEC61850_Image.TLS_Data;
    Tls.Known_Cert_Num = 0;
    Tls.Known_Cert.clear();
    if (!File.Found) {
        Refuse_Unreadable(Project.File_TLS_Known_Cert);
        return;
    }
    for (const List_File::Stored_Row& Stored : File.Rows) {
        const Row Item(Stored);
        if (!Item.Flag(Enable, Reader::Image))
            continue;
        TTLS_Certificate Cert;
        Load_Certificate(Cert, Item.Text(Certificate, Reader::Image));
        Tls.Known_Cert.append(Cert);
        ++Tls.Known_Cert_Num;
    }
}
