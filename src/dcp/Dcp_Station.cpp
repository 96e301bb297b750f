#include "dcp/Dcp_Station.h"

#include "platform/Raw_Ethernet.h"

#include <QRandomGenerator>
#include <QSet>

namespace Dcp {

namespace {
using Clock = std::chrono::steady_clock;
} // namespace

QByteArray Reset_To_Factory_Request(const Mac_Address& Source, const Mac_Address& Target, quint32 Xid)
{
    QByteArray Frame;
    Put_Ethernet_Header(Frame, Target, Source);
    Put_U16(Frame, Frame_Get_Set);
    Frame.append(static_cast<char>(Service_Set));
    Frame.append(static_cast<char>(Type_Request));
    Put_U32(Frame, Xid);
    Put_U16(Frame, 0);
    Put_U16(Frame, 0);
    QByteArray Qualifier;
    Put_U16(Qualifier, Reset_Communication);
    Put_Block(Frame, Option_Control, Control_Reset_To_Factory, Qualifier);
    Finish_Frame(Frame);
    return Frame;
}

Station_Asker::Station_Asker(Raw_Ethernet_Port& Port_)
    : Port(Port_), Own(Port_.Mac()), Xid(QRandomGenerator::global()->generate())
{
}

quint32 Station_Asker::Next_Xid() { return ++Xid; }

std::expected<QList<Device_Record>, QString> Station_Asker::Identify_By_Name(const QString& Name, Milliseconds Window,
                                                                            const std::optional<Mac_Address>& Awaited)
{
    const quint32 Id = Next_Xid();
    // One station answers a name: no need to spread the answers over the window.
    constexpr quint16 No_Spread = 1;
    if (const auto Sent = Port.Send(Identify_Name_Request(Own, Id, No_Spread, Name.toLatin1())); !Sent)
        return std::unexpected(Sent.error());
    const auto End = Clock::now() + Window;
    QList<Device_Record> Devices;
    QSet<QByteArray> Seen;
    while (const auto Frame = Port.Receive(End)) {
        auto Device = Read_Identify_Response(As_Bytes(*Frame), Own, Id);
        if (!Device)
            continue;
        const QByteArray Key(reinterpret_cast<const char*>(Device->Mac.data()), 6);
        if (Seen.contains(Key))
            continue;
        Seen.insert(Key);
        const bool Done = Awaited && Device->Mac == *Awaited;
        Devices.append(std::move(*Device));
        if (Done)
            break;
    }
    return Devices;
}

std::expected<Set_Response, Set_Failure> Station_Asker::Reset_To_Factory(const Mac_Address& Target)
{
    // The same Xid for each try: a device that did it already answers again.
    const quint32 Id = Next_Xid();
    const QByteArray Request = Reset_To_Factory_Request(Own, Target, Id);
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

} // namespace Dcp
