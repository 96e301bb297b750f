#include "gateway_simulator/Dcp_Device.h"

#include <QStringList>

using namespace Dcp;

namespace {

constexpr quint16 Foreign_Vendor_Id = 0x002A;
constexpr quint16 Foreign_Device_Id = 0x0301;
constexpr quint8 Role_Io_Device = 0x01;
constexpr quint8 Reset_To_Factory_Suboption = 6;

QByteArray Ip_Bytes(const Ip_Suite& Ip)
{
    QByteArray Data;
    Put_U32(Data, Ip.Address.Value());
    Put_U32(Data, Ip.Mask.Value());
    Put_U32(Data, Ip.Gateway.Value());
    return Data;
}

QByteArray With_Info(quint16 Info, const QByteArray& Value)
{
    QByteArray Data;
    Put_U16(Data, Info);
    return Data + Value;
}

// Where in the answer window a device answers: spread by its MAC, in steps of 10 ms.
std::chrono::milliseconds Delay_Of(const Mac_Address& Mac, quint16 Factor)
{
    if (Factor <= 1)
        return std::chrono::milliseconds(0);
    quint32 Hash = 2166136261U;
    for (quint8 B : Mac)
        Hash = (Hash ^ B) * 16777619U;
    return std::chrono::milliseconds((Hash % Factor) * 10);
}

QByteArray Response_Head(const Mac_Address& To, const Mac_Address& From, quint16 Frame_Id, quint8 Service, quint32 Xid)
{
    QByteArray Frame;
    Put_Ethernet_Header(Frame, To, From);
    Put_U16(Frame, Frame_Id);
    Frame.append(static_cast<char>(Service));
    Frame.append(static_cast<char>(Type_Response_Success));
    Put_U32(Frame, Xid);
    Put_U16(Frame, 0);
    Put_U16(Frame, 0);
    return Frame;
}

} // namespace

Dcp_Devices::Dcp_Devices(const Options& O) : Settings(O)
{
    if (!O.Macs.isEmpty())
        Settings.Gateways = static_cast<int>(O.Macs.size());
    for (int I = 0; I < Settings.Gateways + O.Foreign; ++I) {
        Device D;
        D.Gateway = I < Settings.Gateways;
        const int N = D.Gateway ? I : I - Settings.Gateways;
        // Locally administered addresses, one range per kind.
        D.Mac = {0x02, 0x06, static_cast<quint8>(D.Gateway ? 0x10 : 0xF0), static_cast<quint8>(N >> 16),
                 static_cast<quint8>(N >> 8), static_cast<quint8>(N)};
        if (!D.Gateway) {
            // Devices of another maker come configured.
            D.Permanent_Name = QStringLiteral("io-device-%1").arg(N + 1);
            D.Permanent_Ip = {Ipv4_Address::From_Value(0xC0000200U + quint32(N % 250) + 1),
                              *Parse_Ipv4(QStringLiteral("255.255.255.0")), Ipv4_Address{}};
        }
        if (D.Gateway && !O.Macs.isEmpty()) {
            D.Mac = O.Macs[N].first;
            D.Set_Error = O.Macs[N].second;
        }
        D.Name = D.Permanent_Name;
        D.Ip = D.Permanent_Ip;
        All.append(D);
    }
    if (!O.Conflict_Name.isEmpty()) {
        Device D;
        D.Mac = {0x02, 0x06, 0xC0, 0x00, 0x00, 0x00};
        D.Permanent_Name = D.Name = O.Conflict_Name;
        All.append(D);
    }
}

void Dcp_Devices::Restart()
{
    for (Device& D : All) {
        D.Name = D.Permanent_Name;
        D.Ip = D.Permanent_Ip;
    }
}

QByteArray Dcp_Devices::Permanent_State() const
{
    QByteArray State;
    for (const Device& D : All)
        State += (QStringList{Mac_Text(D.Mac), D.Permanent_Name.isEmpty() ? QStringLiteral("-") : D.Permanent_Name,
                              D.Permanent_Ip.Address.Text(), D.Permanent_Ip.Mask.Text(), D.Permanent_Ip.Gateway.Text()}
                      .join(QLatin1Char(' ')) +
                  QLatin1Char('\n'))
                     .toLatin1();
    return State;
}

void Dcp_Devices::Load_Permanent_State(const QByteArray& State)
{
    for (const QByteArray& Line : State.split('\n')) {
        const QStringList Parts = QString::fromLatin1(Line).split(QLatin1Char(' '));
        if (Parts.size() != 5)
            continue;
        const auto Mac = Parse_Mac(Parts[0]);
        const auto A = Parse_Ipv4(Parts[2]), M = Parse_Ipv4(Parts[3]), G = Parse_Ipv4(Parts[4]);
        if (!Mac || !A || !M || !G)
            continue;
        for (Device& D : All) {
            if (D.Mac != *Mac)
                continue;
            D.Permanent_Name = Parts[1] == QLatin1String("-") ? QString() : Parts[1];
            D.Permanent_Ip = {*A, *M, *G};
            D.Name = D.Permanent_Name;
            D.Ip = D.Permanent_Ip;
        }
    }
}

QList<Dcp_Devices::Outgoing> Dcp_Devices::Handle(Bytes Data)
{
    if (Settings.Silent)
        return {};
    const auto Request = Read_Frame(Data);
    if (!Request || Request->Service_Type != Type_Request)
        return {};
    const auto Blocks = Read_Blocks(Request->Blocks);
    if (!Blocks)
        return {};
    if (Request->Frame_Id == Frame_Identify_Request && Request->Service_Id == Service_Identify &&
        Request->Destination == Identify_Multicast)
        return Identify(*Request, *Blocks);
    if (Request->Frame_Id == Frame_Get_Set && Request->Service_Id == Service_Set)
        for (Device& D : All)
            if (D.Mac == Request->Destination)
                return Set(D, *Request, *Blocks);
    return {};
}

QByteArray Dcp_Devices::Identify_Response(const Device& D, quint32 Xid, const Mac_Address& To) const
{
    QByteArray Frame = Response_Head(To, D.Mac, Frame_Identify_Response, Service_Identify, Xid);
    QByteArray Ids, Role, Options;
    Put_U16(Ids, D.Gateway ? Identity::Vendor_ID : Foreign_Vendor_Id);
    Put_U16(Ids, D.Gateway ? Identity::Device_ID : Foreign_Device_Id);
    Role.append(static_cast<char>(Role_Io_Device));
    Role.append('\0');
    for (const auto& [Option, Suboption] : {std::pair{Option_Ip, Ip_Parameter}, {Option_Device, Device_Vendor},
                                            {Option_Device, Device_Name_Of_Station}, {Option_Device, Device_Id},
                                            {Option_Device, Device_Role}, {Option_Device, Device_Options},
                                            {Option_Control, Control_Signal}}) {
        Options.append(static_cast<char>(Option));
        Options.append(static_cast<char>(Suboption));
    }
    quint16 Ip_Info = D.Ip.Address.Value() == 0 ? 0 : 1;
    if (Settings.Conflict_Address && D.Ip.Address == *Settings.Conflict_Address)
        Ip_Info |= Ip_Info_Conflict;
    Put_Block(Frame, Option_Device, Device_Name_Of_Station, With_Info(0, D.Name.toLatin1()));
    Put_Block(Frame, Option_Ip, Ip_Parameter, With_Info(Ip_Info, Ip_Bytes(D.Ip)));
    Put_Block(Frame, Option_Device, Device_Vendor, With_Info(0, D.Gateway ? "GW40610" : "IO-Device"));
    Put_Block(Frame, Option_Device, Device_Id, With_Info(0, Ids));
    Put_Block(Frame, Option_Device, Device_Role, With_Info(0, Role));
    Put_Block(Frame, Option_Device, Device_Options, With_Info(0, Options));
    Finish_Frame(Frame);
    return Frame;
}

QList<Dcp_Devices::Outgoing> Dcp_Devices::Identify(const Frame& Request, const QList<Block>& Blocks)
{
    // Every filter block must hold for the device; the All selector holds for all.
    QList<Outgoing> Answers;
    for (const Device& D : All) {
        bool Match = !Blocks.isEmpty();
        for (const Block& B : Blocks) {
            if (B.Option == Option_All && B.Suboption == All_Selector)
                continue;
            if (B.Option == Option_Device && B.Suboption == Device_Name_Of_Station &&
                QByteArray(reinterpret_cast<const char*>(B.Value.data()), qsizetype(B.Value.size())) == D.Name.toLatin1())
                continue;
            Match = false;
        }
        if (Match && !D.Quiet)
            Answers.append({Delay_Of(D.Mac, Request.Response_Delay), Identify_Response(D, Request.Xid, Request.Source)});
    }
    return Answers;
}

QList<Dcp_Devices::Outgoing> Dcp_Devices::Set(Device& Target, const Frame& Request, const QList<Block>& Blocks)
{
    QByteArray Frame = Response_Head(Request.Source, Target.Mac, Frame_Get_Set, Service_Set, Request.Xid);
    bool Permanent_Change = false;
    for (const Block& B : Blocks) {
        quint8 Error = Target.Set_Error != 0 ? Target.Set_Error : Settings.Set_Error;
        const bool Qualified = B.Value.size() >= 2;
        const bool Permanent = Qualified && (Read_U16(B.Value, 0) & 1) != 0;
        const Bytes Value = Qualified ? B.Value.subspan(2) : Bytes{};
        if (Error == 0) {
            if (B.Option == Option_Device && B.Suboption == Device_Name_Of_Station && Qualified) {
                Target.Name = QString::fromLatin1(reinterpret_cast<const char*>(Value.data()), qsizetype(Value.size()));
                if (Permanent)
                    Target.Permanent_Name = Target.Name;
                if (Say)
                    Say(QStringLiteral("SET NAME %1 %2 %3").arg(Mac_Text(Target.Mac), Target.Name,
                                                               Permanent ? "permanent" : "temporary"));
                Permanent_Change |= Permanent;
            } else if (B.Option == Option_Ip && B.Suboption == Ip_Parameter && Value.size() == 12) {
                Target.Ip = {Ipv4_Address::From_Value(Read_U32(Value, 0)), Ipv4_Address::From_Value(Read_U32(Value, 4)),
                             Ipv4_Address::From_Value(Read_U32(Value, 8))};
                if (Permanent)
                    Target.Permanent_Ip = Target.Ip;
                if (Say)
                    Say(QStringLiteral("SET IP %1 %2 %3 %4 %5")
                            .arg(Mac_Text(Target.Mac), Target.Ip.Address.Text(), Target.Ip.Mask.Text(),
                                 Target.Ip.Gateway.Text(), Permanent ? "permanent" : "temporary"));
                Permanent_Change |= Permanent;
            } else if (B.Option == Option_Control && B.Suboption == Control_Signal && Value.size() == 2) {
                if (Say)
                    Say(QStringLiteral("SIGNAL %1").arg(Mac_Text(Target.Mac)));
            } else if (B.Option == Option_Control && B.Suboption == Reset_To_Factory_Suboption) {
                Target.Name.clear();
                Target.Permanent_Name.clear();
                Target.Ip = Target.Permanent_Ip = Ip_Suite{};
                if (Say)
                    Say(QStringLiteral("RESET %1").arg(Mac_Text(Target.Mac)));
                Permanent_Change = true;
            } else if (B.Option == Option_Control && (B.Suboption == Control_Start || B.Suboption == Control_Stop)) {
                // The bracket of a transaction: nothing to do.
            } else if (B.Option == Option_Ip || B.Option == Option_Device || B.Option == Option_Control) {
                Error = 2;
            } else {
                Error = 1;
            }
        }
        QByteArray Result;
        Result.append(static_cast<char>(B.Option));
        Result.append(static_cast<char>(B.Suboption));
        Result.append(static_cast<char>(Error));
        Put_Block(Frame, Option_Control, Control_Response, Result);
    }
    Finish_Frame(Frame);
    Target.Quiet = Settings.Quiet_After_Set;
    if (Permanent_Change && Permanent_Changed)
        Permanent_Changed();
    return {{Settings.Set_Delay, Frame}};
}
