#pragma once

#include "dcp/Dcp_Client.h"

class Raw_Ethernet_Port;

// What the commissioning of many gateways asks of DCP beside the client:
// the Identify of one station name, and the reset to factory settings.
namespace Dcp {

// Control/ResetToFactory (option 5, suboption 6).
constexpr quint8 Control_Reset_To_Factory = 6;
// Its BlockQualifier: reset the communication parameters (name and IP).
constexpr quint16 Reset_Communication = 0x0004;

QByteArray Reset_To_Factory_Request(const Mac_Address& Source, const Mac_Address& Target, quint32 Xid);

class Station_Asker {
public:
    using Milliseconds = std::chrono::milliseconds;
    explicit Station_Asker(Raw_Ethernet_Port& Port);

    // The devices that answer an Identify for Name within Window, asked to
    // answer at once. When Awaited answers, the wait ends there: the one
    // device asked about has spoken.
    std::expected<QList<Device_Record>, QString> Identify_By_Name(const QString& Name, Milliseconds Window,
                                                                 const std::optional<Mac_Address>& Awaited = {});
    // Sends ResetToFactory to Target and waits for its answer.
    std::expected<Set_Response, Set_Failure> Reset_To_Factory(const Mac_Address& Target);

    Milliseconds Set_Wait{1000};
    int Set_Tries = 2;

private:
    quint32 Next_Xid();

    Raw_Ethernet_Port& Port;
    Mac_Address Own{};
    quint32 Xid;
};

} // namespace Dcp
