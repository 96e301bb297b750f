#pragma once

#include "dcp/Dcp_Frames.h"
#include "dcp/Device_List.h"
#include "foundation/Station_Name.h"

#include <chrono>
#include <expected>
#include <functional>
#include <stop_token>

class Raw_Ethernet_Port;

namespace Dcp {

// Why a Set or Signal came to no answer of the device.
struct Set_Failure {
    enum Kind {
        Invalid_Name,   // refused before anything was sent
        Invalid_Ip,     // an IP parameter no device may hold: refused before anything was sent
        Invalid_Target, // the MAC is no single device's: refused before anything was sent
        Not_Sent,       // the interface would not send
        No_Answer,      // no device answered in time
        Invalid_Answer, // answers came, none of them the device's answer to exactly what was sent
        Cancelled,      // a stop was asked for while the answer was awaited; the request may have been done
    } What = No_Answer;
    QString Text;
};

// The configurator's side of DCP on one opened interface: asks and collects
// the answers meant for it, ignoring every other frame.
class Client {
public:
    using Milliseconds = std::chrono::milliseconds;
    // Called while answers are awaited with the part of the window passed
    // (0..1); returning false ends the wait early.
    using Progress = std::function<bool(double)>;

    explicit Client(Raw_Ethernet_Port& Port);

    // Asks every device; the devices answer spread over Window, and all
    // answers that came within it (and a short margin for the last one's way)
    // are returned, one per MAC, in the order they came, at most Max_Devices.
    std::expected<Search_Result, QString> Search(Milliseconds Window, const Progress& Report = {});
    // The devices of a Search alone.
    std::expected<QList<Device_Record>, QString> Identify_All(Milliseconds Window, const Progress& Report = {});
    // The current record of one device, asked by its MAC among all answers.
    std::expected<std::optional<Device_Record>, QString> Identify_One(const Mac_Address& Mac, Milliseconds Window);

    // Set the station name, the IP parameter, or flash the LED. Only a
    // response of the device addressed, to this request's Xid, with a result
    // for exactly the block sent, is the answer; it holds that one result,
    // and its First_Error() is 0 when the device did what was asked.
    std::expected<Set_Response, Set_Failure> Set_Name(const Mac_Address& Target, const Station_Name& Name, bool Permanent);
    std::expected<Set_Response, Set_Failure> Set_Ip(const Mac_Address& Target, const Device_Ip_Parameter& Ip, bool Permanent);
    // The same for values not checked yet: checked here once, and refused
    // (Invalid_Name, Invalid_Ip) before anything is sent.
    std::expected<Set_Response, Set_Failure> Set_Name(const Mac_Address& Target, const QString& Name, bool Permanent);
    std::expected<Set_Response, Set_Failure> Set_Ip(const Mac_Address& Target, const Ip_Suite& Ip, bool Permanent);
    std::expected<Set_Response, Set_Failure> Signal(const Mac_Address& Target);

    // How long a Set waits for its answer before asking once more, and how often it asks.
    Milliseconds Set_Wait{1000};
    int Set_Tries = 2;
    // Time added to the answer window for the last answer's way back.
    Milliseconds Margin{200};
    // Asked from another thread to end a wait early: a Search returns what
    // came until then, a Set fails as Cancelled. Checked at least every 50 ms.
    std::stop_token Stop;

    // The ResponseDelay factor for an answer window: devices spread their
    // answers over factor x 10 ms.
    static quint16 Response_Delay_For(Milliseconds Window);

private:
    std::expected<Set_Response, Set_Failure> Ask(const Mac_Address& Target, quint8 Option, quint8 Suboption,
                                                 const std::function<QByteArray(quint32)>& Build);
    quint32 Next_Xid();

    Raw_Ethernet_Port& Port;
    Mac_Address Own{};
    quint32 Xid;
};

} // namespace Dcp
