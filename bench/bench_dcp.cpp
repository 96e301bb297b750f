// Device discovery: the cost of reading one Identify answer, and a search
// answered by 1000 simulated gateways on a veth pair in the benchmark's own
// network namespace (the list must be complete within the answer window plus
// the margin). Where no namespace can be made, only the reading is measured.
//   build/test/bench/bench_dcp

#include "dcp/Dcp_Client.h"
#include "dcp/Namespace_Wire.h"
#include "gateway_simulator/Dcp_Device.h"
#include "platform/Raw_Ethernet.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include <benchmark/benchmark.h>

using namespace std::chrono_literals;

namespace {

constexpr Dcp::Mac_Address Own{0x02, 0xAA, 0, 0, 0, 1};

void BM_Read_Identify_Response(benchmark::State& State)
{
    Dcp_Devices Devices({.Gateways = 1});
    Devices.Devices()[0].Name = QStringLiteral("gw-hall-12.line-4.plant-north");
    const QByteArray Answer = Devices.Handle(Dcp::As_Bytes(Dcp::Identify_All_Request(Own, 77, 1))).first().Frame;
    for (auto _ : State) {
        auto Read = Dcp::Read_Identify_Response(Dcp::As_Bytes(Answer), Own, 77);
        benchmark::DoNotOptimize(Read);
    }
    State.SetBytesProcessed(State.iterations() * Answer.size());
}
BENCHMARK(BM_Read_Identify_Response);

// Counts when the last answer came.
class Timed_Port : public Raw_Ethernet_Port {
public:
    explicit Timed_Port(Raw_Ethernet_Port& Inner_) : Inner(Inner_) {}
    std::array<quint8, 6> Mac() const override { return Inner.Mac(); }
    std::expected<void, QString> Send(const QByteArray& Frame) override
    {
        Clock.start();
        return Inner.Send(Frame);
    }
    std::optional<QByteArray> Receive(Deadline Until) override
    {
        auto Frame = Inner.Receive(Until);
        if (Frame)
            Last_Ms = Clock.nsecsElapsed() / 1e6;
        return Frame;
    }
    Raw_Ethernet_Port& Inner;
    QElapsedTimer Clock;
    double Last_Ms = 0;
};

void BM_Discover_1000_Gateways(benchmark::State& State)
{
    const auto Window = std::chrono::milliseconds(State.range(0));
    QProcess Simulator;
    Simulator.setProgram(QStringLiteral(SW_GATEWAY_SIMULATOR));
    Simulator.setArguments({"--dcp", Namespace_Wire::Device_Interface, "--devices", "1000", "--idle-ms", "600000",
                            "--max-ms", "3600000"});
    Simulator.start();
    while (Simulator.waitForReadyRead(5000) && !Simulator.readAll().contains("READY")) {
    }
    Pcap_Raw_Ethernet Ethernet;
    auto Port = Ethernet.Open(QString::fromLatin1(Namespace_Wire::Host_Interface));
    if (!Port) {
        State.SkipWithError(qPrintable(Port.error().Text));
        return;
    }
    Timed_Port Timed(**Port);
    Dcp::Client Client(Timed);
    qsizetype Found = 0;
    double Last = 0;
    for (auto _ : State) {
        const auto Devices = Client.Identify_All(Window);
        Found = Devices ? Devices->size() : -1;
        Last = Timed.Last_Ms;
        if (Found != 1000)
            State.SkipWithError("the list is not complete");
    }
    State.counters["found"] = double(Found);
    State.counters["last_answer_ms"] = Last;
    State.counters["window_ms"] = double(Window.count());
    Simulator.kill();
    Simulator.waitForFinished();
}

} // namespace

int main(int argc, char* argv[])
{
    if (!Namespace_Wire::Inside())
        Namespace_Wire::Enter(argc, argv); // returns only where no namespace can be made
    else
        benchmark::RegisterBenchmark("BM_Discover_1000_Gateways", BM_Discover_1000_Gateways)
            ->Arg(1000)
            ->Arg(2000)
            ->Iterations(3)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    QCoreApplication App(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
