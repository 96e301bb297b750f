// The variables workbench on a full table of 50 variables: the placement
// analysis, the whole refresh an edit causes, and one repaint of the map.
// Both must stay well under a frame (16 ms).
#include "editors/Ui_Variable_Map.h"
#include "checks/Variable_Placement.h"
#include "foundation/Lang_Strings.h"

#include <QApplication>
#include <QImage>

#include <benchmark/benchmark.h>

namespace {

// 40 byte variables of 4 bytes (every fifth one overlapping its neighbour)
// and 10 digital variables sharing bytes bit by bit.
QList<QStringList> Full_Table()
{
    QList<QStringList> Rows;
    for (int I = 0; I < 40; ++I) {
        const int Position = I * 30 + (I % 5 == 0 && I > 0 ? -28 : 0);
        Rows.append({"Y", QStringLiteral("Var_%1").arg(I + 1), I % 2 ? "Float" : "Int", "4", "N",
                     QString::number(Position), "", "None", "None", "N", "N", "mnemonic"});
    }
    for (int I = 0; I < 10; ++I)
        Rows.append({"Y", QStringLiteral("Bit_%1").arg(I + 1), "Digital (Bit)", "1", "N",
                     QString::number(1300 + I / 4), QString::number(I % 8), "None", "None", "N", "N", ""});
    return Rows;
}

void BM_Analyse_Full_Table(benchmark::State& State)
{
    const QList<QStringList> Rows = Full_Table();
    for (auto _ : State)
        benchmark::DoNotOptimize(Variable_Placement::Analyse(Rows));
}
BENCHMARK(BM_Analyse_Full_Table)->Unit(benchmark::kMicrosecond);

// What an edit in the table costs the map: analysis, description, one full paint
// at the size the dialog gives the map.
void BM_Map_Refresh_And_Repaint(benchmark::State& State)
{
    Lang_Table Lang;
    Lang.Create_Default_Strings();
    Variable_Map Map(Lang);
    Map.resize(1076, Variable_Map::Lines * 12);
    QImage Target(Map.size(), QImage::Format_ARGB32_Premultiplied);
    const QList<QStringList> Rows = Full_Table();
    for (auto _ : State) {
        Map.Set_Analysis(Variable_Placement::Analyse(Rows));
        Map.render(&Target);
    }
}
BENCHMARK(BM_Map_Refresh_And_Repaint)->Unit(benchmark::kMillisecond);

void BM_Map_Repaint(benchmark::State& State)
{
    Lang_Table Lang;
    Lang.Create_Default_Strings();
    Variable_Map Map(Lang);
    Map.resize(1076, Variable_Map::Lines * 12);
    Map.Set_Analysis(Variable_Placement::Analyse(Full_Table()));
    QImage Target(Map.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : State)
        Map.render(&Target);
}
BENCHMARK(BM_Map_Repaint)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    // The map is a widget; no display is needed to paint it into an image.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication App(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
