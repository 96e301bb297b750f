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
// The longest a wait goes without looking whether a stop was asked for.
constexpr std::chrono::milliseconds Slice{50};

} // namespace

Client::Client(Raw_Ethernet_Port& Port_) : Port(Port_), Own(Port_.Mac()), Xid(QRandomGenerator::global()->generate()) {}

quint32 Client::Next_Xid() { return ++Xid; }

quint16 Client::Response_Delay_For(Milliseconds Window)
{
    return static_cast<quint16>(std::clamp<qint64>(Window.count() / Delay_Unit_Ms, 1, Max_Response_Delay));
}

std::expected<Search_Result, QString> Client::Search(Milliseconds Window, const Progress& Report)
{
    const quint32 Id = Next_Xid();
    if (const auto Sent = Port.Send(Identify_All_Request(Own, Id, Response_Delay_For(Window))); !Sent)
        return std::unexpected(Sent.error());
    const auto Start = Clock::now();
    const auto End = Start + Window + Margin;
    const double Total = std::chrono::duration<double>(End - Start).count();
    Search_Result Result;
    // Only the MACs kept are remembered: past the bound nothing grows.
    QSet<QByteArray> Seen;
    for (;;) {
        const auto Now = Clock::now();
        if (Report && !Report(std::min(1.0, std::chrono::duration<double>(Now - Start).count() / Total)))
            break;
        if (Now >= End || Stop.stop_requested())
            break;
        // Short slices, so that the progress moves while nobody answers.
        const auto Frame = Port.Receive(std::min(End, Now + Slice));
        if (!Frame)
            continue;
        const Bytes Data = As_Bytes(*Frame);
        if (!Is_Answer_To(Data, Frame_Identify_Response, Own, Id))
            continue; // another station's traffic
        auto Device = Read_Identify_Response(Data, Own, Id);
        if (!Device) {
            if (Result.Malformed++ == 0)
                Result.First_Malformed = QStringLiteral("from %1: %2").arg(Mac_Text(Read_Frame(Data)->Source), Device.error());
            continue;
        }
        const QByteArray Key(reinterpret_cast<const char*>(Device->Mac.data()), 6);
        if (Seen.contains(Key))
            continue;
        if (Result.Devices.size() >= Max_Devices) {
            ++Result.Dropped;
            continue;
        }
        Seen.insert(Key);
        Result.Devices.append(std::move(*Device));
    }
    return Result;
}

std::expected<QList<Device_Record>, QString> Client::Identify_All(Milliseconds Window, const Progress& Report)
{
    auto Found = Search(Window, Report);
    if (!Found)
        return std::unexpected(Found.error());
    return std::move(Found->Devices);
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

std::expected<Set_Response, Set_Failure> Client::Ask(const Mac_Address& Target, quint8 Option, quint8 Suboption,
                                                     const std::function<QByteArray(quint32)>& Build)
{
    if (const auto Not_Device = Not_A_Device_Mac(Target, Own))
        return std::unexpected(Set_Failure{Set_Failure::Invalid_Target,
                                           QStringLiteral("%1 is %2, not a device").arg(Mac_Text(Target), *Not_Device)});
    // What came that was not the answer, said when no answer comes; a few are enough.
    constexpr int Kept_Notes = 3;
    QStringList Came;
    int Not_Noted = 0;
    const auto Note = [&](const QString& Text) {
        if (Came.size() < Kept_Notes)
            Came.append(Text);
        else
            ++Not_Noted;
    };
    // The same Xid for each try: a device that did it already answers again.
    const quint32 Id = Next_Xid();
    const QByteArray Request = Build(Id);
    for (int Try = 0; Try < std::max(1, Set_Tries); ++Try) {
        if (const auto Sent = Port.Send(Request); !Sent)
            return std::unexpected(Set_Failure{Set_Failure::Not_Sent, Sent.error()});
        const auto End = Clock::now() + Set_Wait;
        for (;;) {
            if (Stop.stop_requested())
                return std::unexpected(Set_Failure{Set_Failure::Cancelled, QStringLiteral("cancelled")});
            const auto Now = Clock::now();
            if (Now >= End)
                break;
            const auto Frame = Port.Receive(std::min(End, Now + Slice));
            if (!Frame)
                continue;
            const Bytes Data = As_Bytes(*Frame);
            if (!Is_Answer_To(Data, Frame_Get_Set, Own, Id))
                continue; // another station's traffic
            const QString From = Mac_Text(Read_Frame(Data)->Source);
            const auto Response = Read_Set_Response(Data, Own, Id);
            if (!Response) {
                Note(QStringLiteral("from %1: %2").arg(From, Response.error()));
                continue;
            }
            if (Response->Source != Target) {
                Note(QStringLiteral("an answer from %1, not from the device addressed").arg(From));
                continue;
            }
            if (Response->Service_Not_Supported)
                return *Response;
            if (const auto Result = Response->Result_For(Option, Suboption)) {
                Set_Response Exact = *Response;
                Exact.Results = {*Result};
                return Exact;
            }
            QStringList Results;
            for (const Set_Result& R : Response->Results)
                Results.append(R.Error == 0 ? QStringLiteral("%1/%2 (done)").arg(R.Option).arg(R.Suboption)
                                            : QStringLiteral("%1/%2 (BlockError %3)").arg(R.Option).arg(R.Suboption).arg(R.Error));
            Note(QStringLiteral("a result for %1, not for %2/%3 as sent")
                     .arg(Results.join(QStringLiteral(", ")))
                     .arg(Option)
                     .arg(Suboption));
        }
    }
    if (Came.isEmpty())
        return std::unexpected(
            Set_Failure{Set_Failure::No_Answer, QStringLiteral("no answer from %1").arg(Mac_Text(Target))});
    if (Not_Noted > 0)
        Came.append(QStringLiteral("%1 more").arg(Not_Noted));
    return std::unexpected(Set_Failure{Set_Failure::Invalid_Answer, Came.join(QStringLiteral("; "))});
}

std::expected<Set_Response, Set_Failure> Client::Set_Name(const Mac_Address& Target, const Station_Name& Name, bool Permanent)
{
    const QByteArray Bytes = Name.Text().toLatin1(); // the rules admit ASCII only
    return Ask(Target, Option_Device, Device_Name_Of_Station,
               [&](quint32 Id) { return Set_Name_Request(Own, Target, Id, Bytes, Permanent); });
}

std::expected<Set_Response, Set_Failure> Client::Set_Ip(const Mac_Address& Target, const Device_Ip_Parameter& Ip, bool Permanent)
{
    const Ip_Suite Suite{Ip.Address(), Ip.Mask(), Ip.Gateway()};
    return Ask(Target, Option_Ip, Ip_Parameter,
               [&](quint32 Id) { return Set_Ip_Request(Own, Target, Id, Suite, Permanent); });
}

std::expected<Set_Response, Set_Failure> Client::Set_Name(const Mac_Address& Target, const QString& Name, bool Permanent)
{
    const auto Checked = Station_Name::Checked(Name);
    if (!Checked)
        return std::unexpected(Set_Failure{Set_Failure::Invalid_Name, Station_Name_Rule_Text(Checked.error())});
    return Set_Name(Target, *Checked, Permanent);
}

std::expected<Set_Response, Set_Failure> Client::Set_Ip(const Mac_Address& Target, const Ip_Suite& Ip, bool Permanent)
{
    const auto Checked = Device_Ip_Parameter::Checked(Ip.Address, Ip.Mask, Ip.Gateway);
    if (!Checked)
        return std::unexpected(Set_Failure{Set_Failure::Invalid_Ip, Ip_Suite_Rule_Text(Checked.error())});
    return Set_Ip(Target, *Checked, Permanent);
}

std::expected<Set_Response, Set_Failure> Client::Signal(const Mac_Address& Target)
{
    return Ask(Target, Option_Control, Control_Signal, [&](quint32 Id) { return Signal_Request(Own, Target, Id); });
}

} // namespace Dcp
