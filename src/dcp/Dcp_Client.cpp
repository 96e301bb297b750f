#include "dcp/Dcp_Client.h"

#include "foundation/Station_Name.h"
#include "platform/Raw_Ethernet.h"

#include <QRandomGenerator>
#include <QSet>

namespace Dcp {

namespace {

using Clock = std::chrono::steady_clock;

// Devices answer within factor x 10 ms; the largest factor the protocol allows is 0x1900.
constexpr int Delay_Unit_Ms = 10;
constexpr int Max_Response_Delay = 0x1900;

} // namespace

Client::Client(Raw_Ethernet_Port& Port_) : Port(Port_), Own(Port_.Mac()), Xid(QRandomGenerator::global()->generate()) {}

quint32 Client::Next_Xid() { return ++Xid; }

quint16 Client::Response_Delay_For(Milliseconds Window)
{
    return static_cast<quint16>(std::clamp<qint64>(Window.count() / Delay_Unit_Ms, 1, Max_Response_Delay));
}

std::expected<QList<Device_Record>, QString> Client::Identify_All(Milliseconds Window, const Progress& Report)
{
    const quint32 Id = Next_Xid();
    if (const auto Sent = Port.Send(Identify_All_Request(Own, Id, Response_Delay_For(Window))); !Sent)
        return std::unexpected(Sent.error());
    const auto Start = Clock::now();
    const auto End = Start + Window + Margin;
    const double Total = std::chrono::duration<double>(End - Start).count();
    QList<Device_Record> Devices;
    QSet<QByteArray> Seen;
    for (;;) {
        const auto Now = Clock::now();
        if (Report && !Report(std::min(1.0, std::chrono::duration<double>(Now - Start).count() / Total)))
            break;
        if (Now >= End)
            break;
        // Short slices, so that the progress moves while nobody answers.
        const auto Frame = Port.Receive(std::min(End, Now + Milliseconds(50)));
        if (!Frame)
            continue;
        auto Device = Read_Identify_Response(As_Bytes(*Frame), Own, Id);
        if (!Device)
            continue;
        const QByteArray Key(reinterpret_cast<const char*>(Device->Mac.data()), 6);
        if (Seen.contains(Key))
            continue;
        Seen.insert(Key);
        Devices.append(std::move(*Device));
    }
    return Devices;
}

std::expected<std::optional<Device_Record>, QString> Client::Identify_One(const Mac_Address& Mac, Milliseconds Window)
{
    const auto All = Identify_All(Window);
    if (!All)
        return std::unexpected(All.error());
    for (const Device_Record& D : *All)
        if (D.Mac == Mac)
            return std::optional(D);
    return std::optional<Device_Record>();
}

std::expected<Set_Response, Set_Failure> Client::Ask(const Mac_Address& Target,
                                                     const std::function<QByteArray(quint32)>& Build)
{
    // The same Xid for each try: a device that did it already answers again.
    const quint32 Id = Next_Xid();
    const QByteArray Request = Build(Id);
    for (int Try = 0; Try < std::max(1, Set_Tries); ++Try) {
        if (const auto Sent = Port.Send(Request); !Sent)
            return std::unexpected(Set_Failure{Set_Failure::Not_Sent, Sent.error()});
        const auto End = Clock::now() + Set_Wait;
        while (const auto Frame = Port.Receive(End)) {
            const auto Response = Read_Set_Response(As_Bytes(*Frame), Own, Id);
            if (Response && Response->Source == Target)
                return *Response;
        }
    }
    return std::unexpected(Set_Failure{Set_Failure::No_Answer, QStringLiteral("no answer from %1").arg(Mac_Text(Target))});
}

std::expected<Set_Response, Set_Failure> Client::Set_Name(const Mac_Address& Target, const QString& Name, bool Permanent)
{
    if (const auto Broken = Broken_Station_Name_Rule(Name))
        return std::unexpected(Set_Failure{Set_Failure::Invalid_Name, Station_Name_Rule_Text(*Broken)});
    const QByteArray Bytes = Name.toLatin1(); // the rules admit ASCII only
    return Ask(Target, [&](quint32 Id) { return Set_Name_Request(Own, Target, Id, Bytes, Permanent); });
}

std::expected<Set_Response, Set_Failure> Client::Set_Ip(const Mac_Address& Target, const Ip_Suite& Ip, bool Permanent)
{
    return Ask(Target, [&](quint32 Id) { return Set_Ip_Request(Own, Target, Id, Ip, Permanent); });
}

std::expected<Set_Response, Set_Failure> Client::Signal(const Mac_Address& Target)
{
    return Ask(Target, [&](quint32 Id) { return Signal_Request(Own, Target, Id); });
}

} // namespace Dcp
