// Compiling the largest configuration the editors allow into its two bank
// files, beside merely reading the same three project files into memory.
#include "image/Configuration_Image.h"
#include "image/Image_Fixtures.h"
#include "support/Fixed_Separator.h"
#include "platform/Xml_File.h"
#include "foundation/Workspace.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

// A program folder holding the largest configuration, made once.
struct Largest_Configuration {
    QTemporaryDir Dir;
    Workspace Space{Dir.path() + "/prog"};

    Largest_Configuration()
    {
        if (!Dir.isValid() || !QDir().mkpath(Space.Projects_Dir + "/Largest/bin"))
            std::abort();
        Space.Activate_Project(QStringLiteral("Largest"));
        Image_Fixtures::Write_Project(Image_Fixtures::Largest_Project(), Space.File_ParGen,
                                      Space.File_IEC61850_Variables, Space.File_TLS_Known_Cert);
    }
};

Largest_Configuration& Configuration()
{
    static Largest_Configuration Instance;
    return Instance;
}

void BM_Create_Bin_And_Save_Bin(benchmark::State& State)
{
    Largest_Configuration& C = Configuration();
    Fixed_Separator Separator;
    Configuration_Image Image(C.Space, &Separator);
    for (auto _ : State) {
        if (Image.Create_Bin() != Configuration_Image::Compile_Result::Compiled || !Image.Save_Bin())
            State.SkipWithError("compilation failed");
        benchmark::DoNotOptimize(Image.Bank2_Length);
    }
    State.counters["bank2_bytes"] = Image.Bank2_Length;
}

void BM_Create_Bin_Only(benchmark::State& State)
{
    Largest_Configuration& C = Configuration();
    Fixed_Separator Separator;
    Configuration_Image Image(C.Space, &Separator);
    for (auto _ : State) {
        if (Image.Create_Bin() != Configuration_Image::Compile_Result::Compiled)
            State.SkipWithError("compilation failed");
        benchmark::DoNotOptimize(Image.Bank2_Length);
    }
}

void BM_Read_Project_Files(benchmark::State& State)
{
    Largest_Configuration& C = Configuration();
    qint64 Bytes = 0;
    for (auto _ : State) {
        Bytes = 0;
        for (const QString& Path : {C.Space.File_ParGen, C.Space.File_IEC61850_Variables, C.Space.File_TLS_Known_Cert}) {
            QFile File(Path);
            if (!File.open(QIODevice::ReadOnly))
                State.SkipWithError("cannot read a project file");
            const QByteArray Data = File.readAll();
            benchmark::DoNotOptimize(Data.constData());
            Bytes += Data.size();
        }
    }
    State.counters["file_bytes"] = static_cast<double>(Bytes);
}

QList<QByteArray> Project_File_Bytes(const Largest_Configuration& C)
{
    QList<QByteArray> Files;
    for (const QString& Path : {C.Space.File_ParGen, C.Space.File_IEC61850_Variables, C.Space.File_TLS_Known_Cert}) {
        QFile File(Path);
        Files.append(File.open(QIODevice::ReadOnly) ? File.readAll() : QByteArray());
    }
    return Files;
}

// The well-formedness check alone, beside the whole parse (check and tree)
// of the same three files: their difference is the tree's share.
void BM_Check_Well_Formed(benchmark::State& State)
{
    const QList<QByteArray> Files = Project_File_Bytes(Configuration());
    for (auto _ : State)
        for (const QByteArray& Data : Files)
            if (Xml_File::Check_Well_Formed(Data))
                State.SkipWithError("a project file is not well-formed");
}

void BM_Parse_Project_Files(benchmark::State& State)
{
    const QList<QByteArray> Files = Project_File_Bytes(Configuration());
    Xml_File Xml;
    for (auto _ : State)
        for (const QByteArray& Data : Files)
            if (Xml.Load_Bytes(Data, QStringLiteral("file.xml")) != Xml_File::Load_Status::Loaded)
                State.SkipWithError("a project file is not well-formed");
}

} // namespace

BENCHMARK(BM_Create_Bin_And_Save_Bin)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Create_Bin_Only)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Read_Project_Files)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Check_Well_Formed)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Parse_Project_Files)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
