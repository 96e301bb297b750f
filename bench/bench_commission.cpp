// Commissioning a plant of 40 and of 200 simulated gateways, names and
// addresses only, on a veth pair in the benchmark's own network namespace.
// Beside the whole run: one Identify window alone, and one gateway's Set
// name, Set IP and filtered Identify alone (the floor of the run is one
// window plus that round trip per gateway). Counters: frames sent per
// gateway, and the run's time over that floor.
//   build/test/bench/bench_commission

#include "commission/Commission_Run.h"
#include "dcp/Dcp_Client.h"
#include "dcp/Dcp_Station.h"
#include "dcp/Namespace_Wire.h"
#include "platform/Raw_Ethernet.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QFile>
#include <QThread>

#include <benchmark/benchmark.h>

namespace {

constexpr auto Window = std::chrono::milliseconds(1000);

Dcp::Mac_Address Mac(int I)
{
    return {0x02, 0xBB, 0x00, 0x00, static_cast<quint8>(I >> 8), static_cast<quint8>(I)};
}

// The plant of Count gateways; Round makes each round's names and addresses
// differ from the last, so every round has every gateway to do.
Commission::Plant_List Plant(int Count, int Round)
{
    Commission::Plant_List List;
    for (int I = 0; I < Count; ++I) {
        Commission::Plant_Row Row;
        Row.Line = I + 2;
        Row.Mac = Mac(I);
        Row.Station_Name = QStringLiteral("r%1-gw-%2").arg(Round % 2).arg(I);
        Row.Ip = {Ipv4_Address::From_Value(0x0A000000U + quint32(Round % 2) * 0x10000U + quint32(I) + 10),
                  *Parse_Ipv4(QStringLiteral("255.0.0.0")), Ipv4_Address{}};
        List.Rows.append(Row);
    }
    return List;
}

struct Simulated_Plant {
    QTemporaryDir Dir;
    QProcess Process;
    explicit Simulated_Plant(int Count)
    {
        QFile Macs(Dir.filePath(QStringLiteral("macs")));
        Macs.open(QIODevice::WriteOnly);
        for (int I = 0; I < Count; ++I)
            Macs.write((Dcp::Mac_Text(Mac(I)) + QLatin1Char('\n')).toLatin1());
        Macs.close();
        Process.setProgram(QStringLiteral(SW_GATEWAY_SIMULATOR));
        Process.setArguments({"--dcp", Namespace_Wire::Device_Interface, "--macs", Macs.fileName(), "--idle-ms", "600000",
                              "--max-ms", "3600000"});
        // Its log to a file: a pipe nobody reads would stop it once full.
        const QString Log = Dir.filePath(QStringLiteral("log"));
        Process.setStandardOutputFile(Log);
        Process.start();
        QElapsedTimer Waited;
        Waited.start();
        for (QFile File(Log); Waited.elapsed() < 10000; QThread::msleep(20))
            if (File.open(QIODevice::ReadOnly) && File.readAll().contains("READY"))
                break;
            else
                File.close();
    }
    ~Simulated_Plant()
    {
        Process.kill();
        Process.waitForFinished();
    }
};

void BM_Commission_Plant(benchmark::State& State)
{
    const int Count = static_cast<int>(State.range(0));
    Simulated_Plant Devices(Count);
    Pcap_Raw_Ethernet Ethernet;
    auto Port = Ethernet.Open(QString::fromLatin1(Namespace_Wire::Host_Interface));
    if (!Port) {
        State.SkipWithError(qPrintable(Port.error().Text));
        return;
    }

    // One Identify window alone.
    QElapsedTimer Clock;
    Clock.start();
    Dcp::Client Client(**Port);
    const auto Found = Client.Identify_All(Window);
    const double Window_Ms = Clock.nsecsElapsed() / 1e6;
    if (!Found || Found->size() != Count) {
        State.SkipWithError("not every gateway answered");
        return;
    }
    // One gateway's Set name, Set IP and Identify by name alone, on a spare round's values.
    const Commission::Plant_Row Spare = Plant(Count, 3).Rows.first();
    Dcp::Station_Asker Asker(**Port);
    Clock.restart();
    Client.Set_Name(Spare.Mac, QStringLiteral("spare-gw"), true);
    Client.Set_Ip(Spare.Mac, Spare.Ip, true);
    Asker.Identify_By_Name(QStringLiteral("spare-gw"), Window, Spare.Mac);
    const double Round_Trip_Ms = Clock.nsecsElapsed() / 1e6;

    int Round = 0;
    double Frames_Per_Gateway = 0;
    double Run_Ms = 0;
    QString Not_Done;
    for (auto _ : State) {
        const Commission::Plant_List List = Plant(Count, Round++);
        Commission::Run_Settings Settings;
        Settings.Identify_Window = Window;
        std::atomic_bool Stop{false};
        Clock.restart();
        const Commission::Run_Report Report = Commission::Run(List, **Port, Settings, {}).Execute(Stop);
        Run_Ms = Clock.nsecsElapsed() / 1e6;
        Frames_Per_Gateway = double(Report.Frames_Sent) / Count;
        for (int I = 0; I < Report.Outcomes.size() && Not_Done.isEmpty(); ++I)
            if (Report.Outcomes[I].State != Commission::Gateway_State::Done)
                Not_Done = QStringLiteral("round %1, gateway %2: %3 %4").arg(Round).arg(I).arg(
                    Commission::State_Key(Report.Outcomes[I].State), Report.Outcomes[I].Text);
    }
    if (!Not_Done.isEmpty()) {
        State.SkipWithError(qPrintable(Not_Done));
        return;
    }
    State.counters["window_ms"] = Window_Ms;
    State.counters["set_verify_ms"] = Round_Trip_Ms;
    State.counters["frames_per_gw"] = Frames_Per_Gateway;
    State.counters["floor_ms"] = Window_Ms + Count * Round_Trip_Ms;
    State.counters["run_over_floor"] = Run_Ms / (Window_Ms + Count * Round_Trip_Ms);
    State.counters["run_over_window"] = Run_Ms / Window_Ms;
}

} // namespace

int main(int argc, char* argv[])
{
    if (!Namespace_Wire::Inside())
        return Namespace_Wire::Enter(argc, argv);
    benchmark::RegisterBenchmark("BM_Commission_Plant", BM_Commission_Plant)
        ->Arg(40)
        ->Arg(200)
        ->Iterations(3)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    QCoreApplication App(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
