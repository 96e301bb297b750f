// Comparing two 50-variable configurations and writing the report of one, as
// whole commands, beside the program's shortest run ("--version"). Run by hand:
//   build/test/bench/bench_review
#include "project/Known_Cert_File.h"
#include "project/Par_Gen_File.h"
#include "project/Variables_File.h"
#include "support/Test_Certificates.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

// Two plants of 50 variables with TLS material, differing in a station name,
// an address and a few variables; made once.
struct Plants {
    QTemporaryDir Dir;
    QString A = Dir.path() + "/Plant A";
    QString B = Dir.path() + "/Plant B";
    QString Runtime = Dir.path() + "/runtime";

    Plants()
    {
        Test_Pki::Set Pki(QDateTime::currentDateTimeUtc());
        QDir().mkpath(Runtime);
        QFile::setPermissions(Runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        for (int Which = 0; Which < 2; ++Which) {
            const QString Folder = Which == 0 ? A : B;
            QDir().mkpath(Folder + "/bin");
            Par_Gen::Values Par = Par_Gen::Defaults();
            Par[Par_Gen::PROFINET_NAME_STA] = Which == 0 ? "plant-a" : "plant-b";
            Par[Par_Gen::PROFINET_IP4] = Which == 0 ? "5" : "6";
            Par[Par_Gen::TLS_Server_Enable] = "1";
            Par[Par_Gen::TLS_Server_Enable_Known_Cert] = "1";
            Par[Par_Gen::TLS_Server_Key] = Pki.Server_Key.Pem();
            Par[Par_Gen::TLS_Server_Server_Certificate] = Pki.Server.Pem();
            Par[Par_Gen::TLS_Server_Root_Certificate] = Pki.Root.Pem();
            QList<QStringList> Rows;
            int Position = 0;
            for (int I = 0; I < 50; ++I) {
                const bool Float = I % 2 == 1;
                const int Length = Float ? 4 : 2;
                Rows.append({"Y", QString("Var_%1").arg(I), Float ? "FLOAT" : "INTEGER", QString::number(Length), "N",
                             QString::number(Position), "", "NONE", Which == 1 && I % 10 == 0 ? "2" : "None", "N",
                             "N", QString("measure %1").arg(I)});
                Position += Length;
            }
            if (Which == 1)
                Rows.swapItemsAt(3, 4);
            if (!Par_Gen::Save(Folder + "/ParGen.xml", Par) || !Variables_File::Save(Folder + "/IEC61850_Variables.xml", Rows)
                || !Known_Cert_File::Save(Folder + "/TLS_Known_Cert.xml",
                                          {{"Y", Pki.Unrelated.Pem(), "client"}, {Which == 0 ? "Y" : "N", Pki.Expired.Pem(), "old"}}))
                std::abort();
        }
    }
};

Plants& Shared()
{
    static Plants Instance;
    return Instance;
}

void Run_Command(benchmark::State& State, const QStringList& Arguments, int Expected_Exit)
{
    Plants& P = Shared();
    QProcessEnvironment Env = QProcessEnvironment::systemEnvironment();
    Env.remove("DISPLAY");
    Env.remove("WAYLAND_DISPLAY");
    Env.insert("XDG_RUNTIME_DIR", P.Runtime);
    for (auto _ : State) {
        QProcess Process;
        Process.setProcessEnvironment(Env);
        Process.setWorkingDirectory(P.Dir.path());
        Process.start(QStringLiteral(SW_EXECUTABLE), Arguments);
        if (!Process.waitForFinished(60000) || Process.exitCode() != Expected_Exit)
            State.SkipWithError("the command failed");
    }
}

void BM_Version(benchmark::State& State) { Run_Command(State, {"--version"}, 0); }
void BM_Diff(benchmark::State& State) { Run_Command(State, {"diff", Shared().A, Shared().B}, 1); }
void BM_Diff_Json(benchmark::State& State) { Run_Command(State, {"diff", "--json", Shared().A, Shared().B}, 1); }
void BM_Report(benchmark::State& State)
{
    Run_Command(State, {"report", Shared().A, "-q", "-o", Shared().Dir.path() + "/report.pdf"}, 0);
}

BENCHMARK(BM_Version)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_Diff)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_Diff_Json)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_Report)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication App(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
