#pragma once

// A wire without a network: the frames the configurator sends go straight to
// simulated devices, their answers come back in the order of their delays,
// and frames of strangers can be slipped in between.

#include "gateway_simulator/Dcp_Device.h"
#include "platform/Raw_Ethernet.h"

#include <QList>

#include <algorithm>
#include <functional>

class Loop_Port : public Raw_Ethernet_Port {
public:
    explicit Loop_Port(Dcp_Devices& Devices_) : Devices(Devices_) {}

    std::array<quint8, 6> Mac() const override { return {0x02, 0xAA, 0x00, 0x00, 0x00, 0x01}; }

    std::expected<void, QString> Send(const QByteArray& Frame) override
    {
        Sent.append(Frame);
        if (Forge)
            Pending.append(Forge(Frame));
        auto Answers = Devices.Handle(Dcp::As_Bytes(Frame));
        std::stable_sort(Answers.begin(), Answers.end(),
                         [](const auto& A, const auto& B) { return A.Delay < B.Delay; });
        for (const auto& A : Answers)
            for (int I = 0; I < (Answer_Twice ? 2 : 1); ++I)
                Pending.append(A.Frame);
        return {};
    }

    std::optional<QByteArray> Receive(Deadline) override
    {
        if (!Before_Answers.isEmpty())
            return Before_Answers.takeFirst();
        if (Pending.isEmpty())
            return std::nullopt;
        return Pending.takeFirst();
    }

    Dcp_Devices& Devices;
    QList<QByteArray> Sent;
    QList<QByteArray> Pending;
    // Every answer comes twice, as from a device asked twice.
    bool Answer_Twice = false;
    // Frames received before any answer: strangers on the wire.
    QList<QByteArray> Before_Answers;
    // Frames a forger sends in answer to each request, ahead of the devices' answers.
    std::function<QList<QByteArray>(const QByteArray& Request)> Forge;
};
