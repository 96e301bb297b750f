#pragma once

#include "dcp/Dcp_Frames.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <chrono>
#include <functional>
#include <optional>

// The device's side of DCP for a row of simulated devices on one wire:
// gateways of this type and, for mixed networks, devices of another maker.
// Each answers Identify (all, or by its name) after its response delay,
// takes Set name and Set IP (a permanent value is kept through a restart,
// a temporary one is not), Signal and ResetToFactory (name and address
// forgotten). Apart from the interface, so tests
// can drive it with frames directly.
class Dcp_Devices {
public:
    struct Device {
        Dcp::Mac_Address Mac{};
        bool Gateway = true;
        QString Name;                    // what the device holds now
        Dcp::Ip_Suite Ip;
        QString Permanent_Name;          // what it holds after a restart
        Dcp::Ip_Suite Permanent_Ip;
        quint8 Set_Error = 0; // this device's own refusal of every Set; 0: none
        bool Quiet = false;   // answers no Identify any more (Options::Quiet_After_Set)
    };
    struct Outgoing {
        std::chrono::milliseconds Delay{0};
        QByteArray Frame;
    };
    struct Options {
        int Gateways = 1;
        int Foreign = 0;
        quint8 Set_Error = 0; // a BlockError every Set is answered with; 0: sets are done
        bool Silent = false;  // receives but never answers
        // The gateways' MACs, each with the BlockError it answers every Set
        // with (0: none); empty: numbered from 02:06:10:00:00:00.
        QList<std::pair<Dcp::Mac_Address, quint8>> Macs;
        // Not empty: one more gateway (02:06:c0:00:00:00), not listed
        // anywhere, that holds this station name permanently.
        QString Conflict_Name;
        // How long each device takes to answer a Set (a slow device).
        std::chrono::milliseconds Set_Delay{0};
        // Not empty: the address another station on the wire holds; a
        // device holding it reports the address conflict.
        std::optional<Ipv4_Address> Conflict_Address;
        // A device that answered a Set answers no Identify after it, as one
        // that restarts to take a change.
        bool Quiet_After_Set = false;
    };

    explicit Dcp_Devices(const Options& O);

    // The answers to one received frame, each with the time it waits before it is sent.
    QList<Outgoing> Handle(Dcp::Bytes Frame);
    // What a power cycle does: temporary values are forgotten.
    void Restart();

    QList<Device>& Devices() { return All; }
    // The permanent values as text lines, and read back (unknown MACs are skipped).
    QByteArray Permanent_State() const;
    void Load_Permanent_State(const QByteArray& State);

    // Told about every change and signal, one line each (for logs and tests).
    std::function<void(const QString&)> Say;
    // Told when a permanent value changed, to store it.
    std::function<void()> Permanent_Changed;

private:
    QList<Outgoing> Identify(const Dcp::Frame& Request, const QList<Dcp::Block>& Blocks);
    QList<Outgoing> Set(Device& Target, const Dcp::Frame& Request, const QList<Dcp::Block>& Blocks);
    QByteArray Identify_Response(const Device& D, quint32 Xid, const Dcp::Mac_Address& To) const;

    Options Settings;
    QList<Device> All;
};
