#include "dcp/Dcp_Frames.h"

#include <QStringList>

namespace Dcp {

namespace {

constexpr std::size_t Ethernet_Header_Size = 14;
constexpr std::size_t Vlan_Tag_Size = 4;
constexpr std::size_t Dcp_Header_Size = 10 + 2; // FrameID .. ResponseDelay, then DCPDataLength
constexpr std::size_t Block_Header_Size = 4;
constexpr std::size_t Block_Info_Size = 2;
constexpr std::size_t Ip_Parameter_Size = 12;

Mac_Address Read_Mac(Bytes Data, std::size_t At)
{
    Mac_Address Mac{};
    for (std::size_t I = 0; I < Mac.size(); ++I)
        Mac[I] = Data[At + I];
    return Mac;
}

Ipv4_Address Read_Ipv4(Bytes Data, std::size_t At) { return Ipv4_Address::From_Value(Read_U32(Data, At)); }

QByteArray Ipv4_Bytes(const Ipv4_Address& Address)
{
    QByteArray Data;
    for (quint8 B : Address.Bytes)
        Data.append(static_cast<char>(B));
    return Data;
}

QByteArray Dcp_Header(const Mac_Address& Destination, const Mac_Address& Source, quint16 Frame_Id,
                      quint8 Service, quint32 Xid, quint16 Delay_Or_Reserved)
{
    QByteArray Frame;
    Frame.reserve(Min_Frame_Size);
    Put_Ethernet_Header(Frame, Destination, Source);
    Put_U16(Frame, Frame_Id);
    Frame.append(static_cast<char>(Service));
    Frame.append(static_cast<char>(Type_Request));
    Put_U32(Frame, Xid);
    Put_U16(Frame, Delay_Or_Reserved);
    Put_U16(Frame, 0); // DCPDataLength, written by Finish_Frame
    return Frame;
}

QByteArray Qualified(bool Permanent, const QByteArray& Value)
{
    QByteArray Data;
    Put_U16(Data, Permanent ? 1 : 0);
    return Data + Value;
}

// The header fields a response must carry to be the answer asked for.
std::optional<QString> Not_The_Answer(const Frame& F, quint16 Frame_Id, quint8 Service, const Mac_Address& Own,
                                      quint32 Xid)
{
    if (F.Destination != Own)
        return QStringLiteral("not addressed to this station");
    if (const auto Not_Device = Not_A_Device_Mac(F.Source, Own))
        return QStringLiteral("sent from %1").arg(*Not_Device);
    if (F.Frame_Id != Frame_Id || F.Service_Id != Service)
        return QStringLiteral("not the awaited kind of DCP frame");
    if (F.Xid != Xid)
        return QStringLiteral("answer to another request (Xid)");
    return std::nullopt;
}

} // namespace

std::optional<QString> Not_A_Device_Mac(const Mac_Address& Mac, const Mac_Address& Own)
{
    if (Mac == Mac_Address{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})
        return QStringLiteral("the broadcast address");
    if ((Mac[0] & 0x01) != 0)
        return QStringLiteral("a group address %1").arg(Mac_Text(Mac));
    if (Mac == Mac_Address{})
        return QStringLiteral("the all-zero address");
    if (Mac == Own)
        return QStringLiteral("this station's own address %1").arg(Mac_Text(Mac));
    return std::nullopt;
}

bool Is_Answer_To(Bytes Data, quint16 Frame_Id, const Mac_Address& Own, quint32 Xid)
{
    const auto F = Read_Frame(Data);
    return F && F->Destination == Own && F->Frame_Id == Frame_Id && F->Xid == Xid;
}

QString Mac_Text(const Mac_Address& Mac)
{
    QStringList Parts;
    for (quint8 B : Mac)
        Parts.append(QStringLiteral("%1").arg(B, 2, 16, QLatin1Char('0')));
    return Parts.join(QLatin1Char(':'));
}

std::optional<Mac_Address> Parse_Mac(const QString& Text)
{
    if (Text.size() != 17)
        return std::nullopt;
    const QChar Separator = Text[2];
    if (Separator != QLatin1Char(':') && Separator != QLatin1Char('-'))
        return std::nullopt;
    Mac_Address Mac{};
    for (int I = 0; I < 6; ++I) {
        if (I > 0 && Text[I * 3 - 1] != Separator)
            return std::nullopt;
        int Value = 0;
        for (int J = 0; J < 2; ++J) {
            const QChar C = Text[I * 3 + J];
            int Digit = -1;
            if (C >= QLatin1Char('0') && C <= QLatin1Char('9'))
                Digit = C.unicode() - '0';
            else if (C >= QLatin1Char('a') && C <= QLatin1Char('f'))
                Digit = C.unicode() - 'a' + 10;
            else if (C >= QLatin1Char('A') && C <= QLatin1Char('F'))
                Digit = C.unicode() - 'A' + 10;
            if (Digit < 0)
                return std::nullopt;
            Value = Value * 16 + Digit;
        }
        Mac[I] = static_cast<quint8>(Value);
    }
    return Mac;
}

quint16 Read_U16(Bytes Data, std::size_t At) { return static_cast<quint16>((Data[At] << 8) | Data[At + 1]); }

quint32 Read_U32(Bytes Data, std::size_t At)
{
    return (quint32(Data[At]) << 24) | (quint32(Data[At + 1]) << 16) | (quint32(Data[At + 2]) << 8) |
           quint32(Data[At + 3]);
}

void Put_U16(QByteArray& Frame, quint16 Value)
{
    Frame.append(static_cast<char>(Value >> 8));
    Frame.append(static_cast<char>(Value & 0xFF));
}

void Put_U32(QByteArray& Frame, quint32 Value)
{
    Put_U16(Frame, static_cast<quint16>(Value >> 16));
    Put_U16(Frame, static_cast<quint16>(Value & 0xFFFF));
}

void Put_Ethernet_Header(QByteArray& Frame, const Mac_Address& Destination, const Mac_Address& Source)
{
    for (quint8 B : Destination)
        Frame.append(static_cast<char>(B));
    for (quint8 B : Source)
        Frame.append(static_cast<char>(B));
    Put_U16(Frame, Ether_Type);
}

QByteArray Response_Header(const Mac_Address& To, const Mac_Address& From, quint16 Frame_Id, quint8 Service, quint32 Xid)
{
    QByteArray Frame;
    Frame.reserve(Min_Frame_Size);
    Put_Ethernet_Header(Frame, To, From);
    Put_U16(Frame, Frame_Id);
    Frame.append(static_cast<char>(Service));
    Frame.append(static_cast<char>(Type_Response_Success));
    Put_U32(Frame, Xid);
    Put_U16(Frame, 0); // reserved
    Put_U16(Frame, 0); // DCPDataLength, written by Finish_Frame
    return Frame;
}

void Put_Block(QByteArray& Frame, quint8 Option, quint8 Suboption, const QByteArray& Value)
{
    Frame.append(static_cast<char>(Option));
    Frame.append(static_cast<char>(Suboption));
    Put_U16(Frame, static_cast<quint16>(Value.size()));
    Frame.append(Value);
    if (Value.size() % 2 != 0)
        Frame.append('\0');
}

void Finish_Frame(QByteArray& Frame)
{
    const auto Length = static_cast<quint16>(Frame.size() - Ethernet_Header_Size - Dcp_Header_Size);
    Frame[Ethernet_Header_Size + 10] = static_cast<char>(Length >> 8);
    Frame[Ethernet_Header_Size + 11] = static_cast<char>(Length & 0xFF);
    if (Frame.size() < Min_Frame_Size)
        Frame.append(QByteArray(Min_Frame_Size - Frame.size(), '\0'));
}

std::expected<Frame, QString> Read_Frame(Bytes Data)
{
    if (Data.size() < Ethernet_Header_Size)
        return std::unexpected(QStringLiteral("shorter than an Ethernet header"));
    Frame F;
    F.Destination = Read_Mac(Data, 0);
    F.Source = Read_Mac(Data, 6);
    std::size_t At = 12;
    quint16 Type = Read_U16(Data, At);
    if (Type == Vlan_Ether_Type) {
        if (Data.size() < Ethernet_Header_Size + Vlan_Tag_Size)
            return std::unexpected(QStringLiteral("VLAN tag cut short"));
        At += Vlan_Tag_Size;
        Type = Read_U16(Data, At);
    }
    if (Type != Ether_Type)
        return std::unexpected(QStringLiteral("not a PROFINET frame"));
    At += 2;
    if (Data.size() - At < Dcp_Header_Size)
        return std::unexpected(QStringLiteral("DCP header cut short"));
    F.Frame_Id = Read_U16(Data, At);
    F.Service_Id = Data[At + 2];
    F.Service_Type = Data[At + 3];
    F.Xid = Read_U32(Data, At + 4);
    F.Response_Delay = Read_U16(Data, At + 8);
    const std::size_t Length = Read_U16(Data, At + 10);
    At += Dcp_Header_Size;
    if (Length > Data.size() - At)
        return std::unexpected(QStringLiteral("DCPDataLength %1 beyond the frame's %2 bytes")
                                   .arg(Length)
                                   .arg(Data.size() - At));
    F.Blocks = Data.subspan(At, Length);
    return F;
}

std::expected<QList<Block>, QString> Read_Blocks(Bytes Data)
{
    QList<Block> Blocks;
    std::size_t At = 0;
    while (At < Data.size()) {
        if (Data.size() - At < Block_Header_Size)
            return std::unexpected(QStringLiteral("block header cut short at byte %1").arg(At));
        Block B;
        B.Option = Data[At];
        B.Suboption = Data[At + 1];
        const std::size_t Length = Read_U16(Data, At + 2);
        At += Block_Header_Size;
        if (Length > Data.size() - At)
            return std::unexpected(
                QStringLiteral("block %1/%2 claims %3 bytes, %4 are left").arg(B.Option).arg(B.Suboption).arg(Length).arg(Data.size() - At));
        B.Value = Data.subspan(At, Length);
        At += Length;
        // The pad of an odd block; a sender that leaves it off the last block is forgiven.
        if (Length % 2 != 0 && At < Data.size())
            ++At;
        Blocks.append(B);
    }
    return Blocks;
}

QByteArray Identify_All_Request(const Mac_Address& Source, quint32 Xid, quint16 Response_Delay)
{
    QByteArray Frame =
        Dcp_Header(Identify_Multicast, Source, Frame_Identify_Request, Service_Identify, Xid, Response_Delay);
    Put_Block(Frame, Option_All, All_Selector, {});
    Finish_Frame(Frame);
    return Frame;
}

QByteArray Identify_Name_Request(const Mac_Address& Source, quint32 Xid, quint16 Response_Delay,
                                 const QByteArray& Name)
{
    QByteArray Frame =
        Dcp_Header(Identify_Multicast, Source, Frame_Identify_Request, Service_Identify, Xid, Response_Delay);
    Put_Block(Frame, Option_Device, Device_Name_Of_Station, Name);
    Finish_Frame(Frame);
    return Frame;
}

QByteArray Set_Name_Request(const Mac_Address& Source, const Mac_Address& Target, quint32 Xid,
                            const QByteArray& Name, bool Permanent)
{
    QByteArray Frame = Dcp_Header(Target, Source, Frame_Get_Set, Service_Set, Xid, 0);
    Put_Block(Frame, Option_Device, Device_Name_Of_Station, Qualified(Permanent, Name));
    Finish_Frame(Frame);
    return Frame;
}

QByteArray Set_Ip_Request(const Mac_Address& Source, const Mac_Address& Target, quint32 Xid, const Ip_Suite& Ip,
                          bool Permanent)
{
    QByteArray Frame = Dcp_Header(Target, Source, Frame_Get_Set, Service_Set, Xid, 0);
    Put_Block(Frame, Option_Ip, Ip_Parameter,
              Qualified(Permanent, Ipv4_Bytes(Ip.Address) + Ipv4_Bytes(Ip.Mask) + Ipv4_Bytes(Ip.Gateway)));
    Finish_Frame(Frame);
    return Frame;
}

QByteArray Signal_Request(const Mac_Address& Source, const Mac_Address& Target, quint32 Xid)
{
    QByteArray Frame = Dcp_Header(Target, Source, Frame_Get_Set, Service_Set, Xid, 0);
    QByteArray Value;
    Put_U16(Value, 0x0100); // flash once
    Put_Block(Frame, Option_Control, Control_Signal, Qualified(false, Value));
    Finish_Frame(Frame);
    return Frame;
}

std::expected<Device_Record, QString> Read_Identify_Response(Bytes Data, const Mac_Address& Own, quint32 Xid)
{
    const auto F = Read_Frame(Data);
    if (!F)
        return std::unexpected(F.error());
    if (const auto Wrong = Not_The_Answer(*F, Frame_Identify_Response, Service_Identify, Own, Xid))
        return std::unexpected(*Wrong);
    if (F->Service_Type != Type_Response_Success)
        return std::unexpected(QStringLiteral("Identify refused (service type %1)").arg(F->Service_Type));
    const auto Blocks = Read_Blocks(F->Blocks);
    if (!Blocks)
        return std::unexpected(Blocks.error());

    Device_Record Device;
    Device.Mac = F->Source;
    for (const Block& B : *Blocks) {
        if (B.Value.size() < Block_Info_Size)
            return std::unexpected(
                QStringLiteral("block %1/%2 too short for its BlockInfo").arg(B.Option).arg(B.Suboption));
        const quint16 Info = Read_U16(B.Value, 0);
        const Bytes Value = B.Value.subspan(Block_Info_Size);
        const auto Text = [&] {
            return QString::fromUtf8(reinterpret_cast<const char*>(Value.data()), static_cast<qsizetype>(Value.size()));
        };
        const auto Too_Long = [&](qsizetype Max) {
            return std::unexpected(QStringLiteral("block %1/%2 holds a text of %3 bytes, at most %4 are allowed")
                                       .arg(B.Option)
                                       .arg(B.Suboption)
                                       .arg(Value.size())
                                       .arg(Max));
        };
        const auto Wrong_Size = [&] {
            return std::unexpected(
                QStringLiteral("block %1/%2 has %3 bytes of value").arg(B.Option).arg(B.Suboption).arg(Value.size()));
        };
        if (B.Option == Option_Ip && B.Suboption == Ip_Parameter) {
            if (Value.size() != Ip_Parameter_Size)
                return Wrong_Size();
            Device.Ip = Ip_Suite{Read_Ipv4(Value, 0), Read_Ipv4(Value, 4), Read_Ipv4(Value, 8)};
            Device.Ip_Block_Info = Info;
        } else if (B.Option == Option_Device) {
            switch (B.Suboption) {
            case Device_Vendor:
                if (static_cast<qsizetype>(Value.size()) > Max_Vendor_Bytes)
                    return Too_Long(Max_Vendor_Bytes);
                Device.Vendor = Text();
                break;
            case Device_Name_Of_Station:
                if (static_cast<qsizetype>(Value.size()) > Max_Name_Bytes)
                    return Too_Long(Max_Name_Bytes);
                Device.Name = Text();
                break;
            case Device_Id:
                if (Value.size() != 4)
                    return Wrong_Size();
                Device.Vendor_Id = Read_U16(Value, 0);
                Device.Device_Id = Read_U16(Value, 2);
                break;
            case Device_Role:
                if (Value.size() != 2)
                    return Wrong_Size();
                Device.Role = Value[0];
                break;
            case Device_Options:
                if (Value.size() % 2 != 0)
                    return Wrong_Size();
                Device.Options.clear();
                for (std::size_t I = 0; I < Value.size(); I += 2)
                    Device.Options.append({Value[I], Value[I + 1]});
                break;
            default: break;
            }
        }
    }
    return Device;
}

quint8 Set_Response::First_Error() const
{
    for (const Set_Result& R : Results)
        if (R.Error != 0)
            return R.Error;
    return 0;
}

std::optional<Set_Result> Set_Response::Result_For(quint8 Option, quint8 Suboption) const
{
    for (const Set_Result& R : Results)
        if (R.Option == Option && R.Suboption == Suboption)
            return R;
    return std::nullopt;
}

std::expected<Set_Response, QString> Read_Set_Response(Bytes Data, const Mac_Address& Own, quint32 Xid)
{
    const auto F = Read_Frame(Data);
    if (!F)
        return std::unexpected(F.error());
    if (const auto Wrong = Not_The_Answer(*F, Frame_Get_Set, Service_Set, Own, Xid))
        return std::unexpected(*Wrong);
    if (F->Service_Type == Type_Request)
        return std::unexpected(QStringLiteral("a request, not a response"));
    const auto Blocks = Read_Blocks(F->Blocks);
    if (!Blocks)
        return std::unexpected(Blocks.error());
    Set_Response Response;
    Response.Source = F->Source;
    for (const Block& B : *Blocks) {
        if (B.Option != Option_Control || B.Suboption != Control_Response)
            continue;
        if (B.Value.size() != 3)
            return std::unexpected(QStringLiteral("Control/Response block of %1 bytes").arg(B.Value.size()));
        Response.Results.append({B.Value[0], B.Value[1], B.Value[2]});
    }
    if (Response.Results.isEmpty()) {
        if (F->Service_Type == Type_Response_Not_Supported) {
            Response.Results.append({0, 0, 1});
            Response.Service_Not_Supported = true;
        }
        else
            return std::unexpected(QStringLiteral("Set response without a Control/Response block"));
    }
    return Response;
}

} // namespace Dcp
