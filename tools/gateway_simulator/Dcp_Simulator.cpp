#include "gateway_simulator/Dcp_Simulator.h"

#include "platform/File_Write.h"
#include "platform/Raw_Ethernet.h"

#include <QFile>

#include <cstdio>
#include <map>

int Run_Dcp_Simulator(const Dcp_Simulator_Settings& Settings, const std::function<void(const QString&)>& Say)
{
    using Clock = std::chrono::steady_clock;
    Pcap_Raw_Ethernet Ethernet;
    // Promiscuous: the devices' MACs are not the interface's own.
    auto Port = Ethernet.Open(Settings.Interface, true);
    if (!Port) {
        std::fprintf(stderr, "gateway_simulator: %s\n", qPrintable(Port.error().Text));
        return 2;
    }
    Dcp_Devices Devices(Settings.Devices);
    if (!Settings.State_File.isEmpty()) {
        QFile File(Settings.State_File);
        if (File.open(QIODevice::ReadOnly))
            Devices.Load_Permanent_State(File.readAll());
        Devices.Permanent_Changed = [&] {
            if (const auto Written = Write_File_Atomic(Settings.State_File, Devices.Permanent_State()); !Written)
                std::fprintf(stderr, "gateway_simulator: cannot store the permanent values: %s\n",
                             qPrintable(Written.error().System_Text));
        };
    }
    Devices.Say = Say;
    Say(QStringLiteral("READY dcp %1 %2").arg(Settings.Interface).arg(Devices.Devices().size()));

    std::multimap<Clock::time_point, QByteArray> Due;
    const auto End_Of_Run = Clock::now() + std::chrono::milliseconds(Settings.Max_Ms);
    auto Idle_End = Clock::now() + std::chrono::milliseconds(Settings.Idle_Ms);
    for (;;) {
        const auto Now = Clock::now();
        while (!Due.empty() && Due.begin()->first <= Now) {
            if (const auto Sent = (*Port)->Send(Due.begin()->second); !Sent)
                std::fprintf(stderr, "gateway_simulator: %s\n", qPrintable(Sent.error()));
            Due.erase(Due.begin());
        }
        if (Due.empty() && (Now >= End_Of_Run || Now >= Idle_End))
            break;
        auto Wake = std::min(End_Of_Run, Idle_End);
        if (!Due.empty())
            Wake = std::min(Wake, Due.begin()->first);
        const auto Frame = (*Port)->Receive(Wake);
        if (!Frame)
            continue;
        Idle_End = Clock::now() + std::chrono::milliseconds(Settings.Idle_Ms);
        const auto Received = Clock::now();
        for (auto& Answer : Devices.Handle(Dcp::As_Bytes(*Frame)))
            Due.emplace(Received + Answer.Delay, std::move(Answer.Frame));
    }
    Say(QStringLiteral("END time-out"));
    return 0;
}
