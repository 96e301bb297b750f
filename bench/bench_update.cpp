// An update of a full 512 KiB bank over loopback, from the stand-in updater's
// transfer to the gateway simulator: once without loss and once with every
// tenth write block dropped by the simulator, so the cost of a lost block shows
// beside the lossless figure. Nothing leaves 127.0.0.1.

#include "ethernet_update/Update_Transfer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QProcess>
#include <QRandomGenerator>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int Bank_Size = 512 * 1024;
constexpr quint32 Bank2_Start = 0x80000;

// The simulator on a free loopback port, kept running for all iterations of
// one benchmark; no store folder, so nothing is written to disk.
class Running_Simulator {
public:
    explicit Running_Simulator(const QStringList& Options)
    {
        Process.setProgram(QStringLiteral(SW_GATEWAY_SIMULATOR));
        Process.setArguments(QStringList{"--port", "0", "--idle-ms", "600000", "--max-ms", "3600000"} + Options);
        Process.start();
        QElapsedTimer Took;
        Took.start();
        while (!Process.canReadLine() && Took.elapsed() < 10000 && Process.state() != QProcess::NotRunning)
            Process.waitForReadyRead(100);
        const QByteArray Line = Process.readLine().trimmed();
        if (Line.startsWith("READY "))
            Port = static_cast<quint16>(Line.mid(6).toUInt());
    }
    ~Running_Simulator()
    {
        Process.kill();
        Process.waitForFinished(5000);
    }
    quint16 Port = 0;

private:
    QProcess Process;
};

Update_Plan Bank_Plan(quint16 Port)
{
    Update_Operation Op;
    Op.File_Name = QStringLiteral("bank2.bin");
    Op.Data = QByteArray(Bank_Size, '\0');
    QRandomGenerator(5).fillRange(reinterpret_cast<quint32*>(Op.Data.data()), Bank_Size / 4);
    Op.Device = QHostAddress(QHostAddress::LocalHost);
    Op.Port = Port;
    Op.Start_Address = Bank2_Start;
    Op.Bank_Type = 2;
    Update_Plan Plan;
    Plan.Device = Op.Device;
    Plan.Operations.append(Op);
    return Plan;
}

void Run_Updates(benchmark::State& State, const QStringList& Simulator_Options)
{
    Running_Simulator Simulator(Simulator_Options);
    if (Simulator.Port == 0) {
        State.SkipWithError("the gateway simulator did not start");
        return;
    }
    const Update_Plan Plan = Bank_Plan(Simulator.Port);
    for (auto _ : State) {
        Update_Transfer Transfer;
        if (const auto Sent = Transfer.Run(Plan); !Sent) {
            State.SkipWithError(qPrintable(Sent.error()));
            break;
        }
    }
    State.SetBytesProcessed(State.iterations() * Bank_Size);
}

void BM_Update_512KiB_Lossless(benchmark::State& State)
{
    Run_Updates(State, {});
}

void BM_Update_512KiB_Every_Tenth_Block_Lost(benchmark::State& State)
{
    Run_Updates(State, {"--drop-every", "10"});
}

} // namespace

BENCHMARK(BM_Update_512KiB_Lossless)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Update_512KiB_Every_Tenth_Block_Lost)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
    // QProcess wants an application object.
    QCoreApplication App(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
