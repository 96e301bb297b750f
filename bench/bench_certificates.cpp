// What reading and checking the TLS material costs: the summaries under the
// TLS boxes are refreshed on every keystroke, the checks run once per OK.
#include "certificates/Certificate_Checks.h"
#include "certificates/Pem_Contents.h"
#include "support/Test_Certificates.h"

#include <benchmark/benchmark.h>

namespace {

const QDateTime Now = QDateTime::currentDateTimeUtc();

Test_Pki::Set& Pki()
{
    static Test_Pki::Set Instance(Now);
    return Instance;
}

Lang_Table& Lang()
{
    static Lang_Table Table = [] {
        Lang_Table Made;
        Made.Create_Default_Strings();
        return Made;
    }();
    return Table;
}

void Read_Chain(benchmark::State& State)
{
    const QString Text = Pki().Server.Pem() + Pki().Root.Pem();
    for (auto _ : State)
        benchmark::DoNotOptimize(Certificates::Summary(Certificates::Read_Pem(Text).value(), Now, Lang()));
}
BENCHMARK(Read_Chain)->Unit(benchmark::kMicrosecond);

// One keystroke in the key password field: the key is tried with the new password.
void Read_Encrypted_Key(benchmark::State& State)
{
    const QString Text = Pki().Server_Key.Encrypted_Pem(QStringLiteral("s3cret"));
    for (auto _ : State)
        benchmark::DoNotOptimize(Certificates::Read_Pem(Text, QStringLiteral("s3cre")).value());
}
BENCHMARK(Read_Encrypted_Key)->Unit(benchmark::kMicrosecond);

void Check_Server_Material(benchmark::State& State)
{
    const Certificates::Server_Material Material{true, Pki().Server_Key.Pem(), QString(), Pki().Server.Pem(),
                                                 Pki().Root.Pem(), true};
    const QList<Certificates::Known_Certificate> Known{{true, Pki().Unrelated.Pem(), {}}};
    for (auto _ : State)
        benchmark::DoNotOptimize(Certificates::Check_Server(Material, Known, Now, Lang()));
}
BENCHMARK(Check_Server_Material)->Unit(benchmark::kMicrosecond);

// The fullest list: ten certificates.
void Check_Ten_Known_Certificates(benchmark::State& State)
{
    QList<Certificates::Known_Certificate> Rows;
    const QList<const Test_Pki::Made_Certificate*> Pool{&Pki().Root,    &Pki().Server,   &Pki().Unrelated,
                                                         &Pki().Expired, &Pki().Future,   &Pki().Expiring};
    for (int I = 0; I < 10; ++I)
        Rows.append({true, Pool[I % Pool.size()]->Pem(), QString()});
    for (auto _ : State)
        benchmark::DoNotOptimize(Certificates::Check_Known_List(Rows, true, Now, Lang()));
}
BENCHMARK(Check_Ten_Known_Certificates)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
