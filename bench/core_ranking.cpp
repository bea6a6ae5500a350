// SortRows and DrawTable of 1000 brands, each beside a reference measured in the same run.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>

#include "bench/SampleTable.h"
#include "ranking/DrawTable.h"
#include "tests/fakes/FakeStatusBar.h"

namespace norvale {
namespace {

// Sorting 1000 brands by each key in turn; reference: std::sort of the same absolute keys.
void BM_SortRows1000(benchmark::State& state) {
    auto table = bench::SampleTable();
    bench::Figures figures;
    int key = 0;
    for (auto _ : state) {
        key = key % 12 + 1;
        const bench::Took run = bench::TimeMs([&] { SortRows(*table, SortKey::FromListIndex(key)); });
        state.SetIterationTime(run.wallMs / 1000);
        benchmark::DoNotOptimize(table->RowOrder().data());

        const MeasureField m = FieldOf(SortKey::FromListIndex(key).measure);
        std::vector<double> keys(kMaxEntries);
        for (int k = 0; k < kMaxEntries; ++k) keys[static_cast<std::size_t>(k)] = std::fabs(table->Entry(k).*m);
        const bench::Took ref = bench::TimeMs([&] { std::sort(keys.begin(), keys.end()); });
        benchmark::DoNotOptimize(keys.data());
        figures.Add(run, ref);
    }
    figures.Report(state, "ref_std_sort");
}
BENCHMARK(BM_SortRows1000)->UseManualTime()->Unit(benchmark::kMillisecond);

// A surface that draws nothing: what the table logic itself costs (layout and number texts).
class NullSurface : public Surface {
public:
    int Width() const override { return 1920; }
    double Height() const override { return 1080; }
    void SetPersistent(bool) override {}
    void FillRect(int, int, int, int, Rgb) override { ++calls; }
    void OutlineRect(int, int, int, int, Rgb) override { ++calls; }
    void Line(int, int, int, int, Rgb) override { ++calls; }
    void Text(int, int, std::string_view t, Rgb) override { calls += static_cast<long>(t.size()); }
    void Clear() override {}
    long calls = 0;
};

// DrawTable of 1000 brands on a 1920 x 1080 surface (86 rows fit) without pixels; reference:
// printf-style formatting of the same ten numbers of every drawn row. The pixels themselves are
// measured on the real Qt surface in norvale_qt_bench.
void BM_DrawTableLogic1000(benchmark::State& state) {
    auto table = bench::SampleTable();
    SortRows(*table, SortKey::FromListIndex(2));
    NullSurface surface;
    FakeStatusBar status;
    RowSelection selection;
    selection.Clicked(100);
    selection.Settle(*table, RowsThatFit(surface.Height()));
    bench::Figures figures;
    char buf[64];
    for (auto _ : state) {
        const bench::Took run = bench::TimeMs([&] { DrawTable(surface, status, *table, selection); });
        state.SetIterationTime(run.wallMs / 1000);
        const bench::Took ref = bench::TimeMs([&] {
            for (int i = 0; i < 86; ++i) {
                const WatchEntry& e = table->Entry(table->SlotInRow(i));
                for (double v : {e.last, e.prevClose, e.open, e.vwap, e.high, e.low, e.askQtyTotal, e.bidQtyTotal}) {
                    benchmark::DoNotOptimize(std::snprintf(buf, sizeof buf, "%.0f", v));
                }
                for (double v : {e.prevCloseDev, e.openDev, e.vwapDev, e.highDev, e.lowDev, e.quoteRatio}) {
                    benchmark::DoNotOptimize(std::snprintf(buf, sizeof buf, "%.2f", v));
                }
            }
        });
        figures.Add(run, ref);
    }
    figures.Report(state, "ref_snprintf");
}
BENCHMARK(BM_DrawTableLogic1000)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace norvale
