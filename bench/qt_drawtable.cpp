// DrawTable of 1000 brands on the real Qt surface (the shared table raster with the Qt font's
// glyphs), 1920 x 1080 layout pixels, offscreen, at device scales 1, 1.5 and 2; reference: one
// fill of the whole image at the same scale, measured in the same run.
#include <QApplication>
#include <benchmark/benchmark.h>

#include "bench/SampleTable.h"
#include "frontend/qt/QtSurface.h"
#include "ranking/DrawTable.h"
#include "tests/fakes/FakeStatusBar.h"

namespace norvale {
namespace {

void BM_QtDrawTable1000(benchmark::State& state) {
    auto table = bench::SampleTable();
    SortRows(*table, SortKey::FromListIndex(2));
    QtSurface surface(nullptr);
    surface.SetScale(static_cast<double>(state.range(0)) / 100);
    surface.SetSizeTwips(1920 * 15.0, 1080 * 15.0);
    FakeStatusBar status;
    RowSelection selection;
    selection.Clicked(100);
    selection.Settle(*table, RowsThatFit(surface.Height()));
    DrawTable(surface, status, *table, selection);  // glyphs rendered once, as after the first drawing
    bench::Figures figures;
    for (auto _ : state) {
        const bench::Took run = bench::TimeMs([&] { DrawTable(surface, status, *table, selection); });
        state.SetIterationTime(run.wallMs / 1000);
        figures.Add(run, bench::TimeMs([&] { surface.Clear(); }));
    }
    figures.Report(state, "ref_full_fill");
}
BENCHMARK(BM_QtDrawTable1000)
    ->ArgName("scale_pct")
    ->Arg(100)
    ->Arg(150)
    ->Arg(200)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace norvale

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
