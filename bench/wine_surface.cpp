// A redraw of 1000 brands on the Win32 table surface (the shared table raster with the GDI font's
// glyphs), 1920 x 1080 logical pixels, at scale 1 and 2 (under Wine), beside one full fill of the
// same image in the same run.
//
// norvale_wine_surface_bench [rounds, default 100]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench/SampleTable.h"
#include "frontend/win32/Win32Surface.h"
#include "ranking/DrawTable.h"
#include "tests/fakes/FakeStatusBar.h"
#include "tests/fakes/NullSurface.h"

namespace {

using Clock = std::chrono::steady_clock;

template <typename F>
double Ms(F&& f) {
    const auto t0 = Clock::now();
    f();
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// On a machine shared with other work, the fastest run is the one least disturbed.
double Least(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100;
    auto table = norvale::bench::SampleTable();
    norvale::SortRows(*table, norvale::SortKey::FromListIndex(2));
    std::printf("wine surface bench, 1000 brands on 1920 x 1080 logical pixels, median of %d rounds:\n", rounds);
    {
        // What the core's own drawing (formatting, colours) takes on a surface that draws nothing.
        norvale::NullSurface null;
        norvale::FakeStatusBar status;
        const norvale::RowSelection none;
        std::vector<double> core;
        for (int k = 0; k < rounds; ++k) core.push_back(Ms([&] { norvale::DrawTable(null, status, *table, none); }));
        std::printf("  the core's part, on a surface that draws nothing: %.3f ms\n", Median(core));
    }
    for (const int dpi : {96, 192}) {
        norvale::Win32Surface surface(dpi);
        surface.SetSizeTwips(1920 * 15.0, 1080 * 15.0);
        norvale::FakeStatusBar status;
        norvale::RowSelection selection;
        selection.Clicked(100);
        selection.Settle(*table, norvale::RowsThatFit(surface.Height()));
        norvale::DrawTable(surface, status, *table, selection);  // glyphs rendered once, as after the first drawing
        std::vector<double> draw, fill;
        // Interleaved, so that load from elsewhere falls on both.
        for (int k = 0; k < rounds; ++k) {
            draw.push_back(Ms([&] { norvale::DrawTable(surface, status, *table, selection); }));
            fill.push_back(Ms([&] { surface.Clear(); }));
        }
        const norvale::DeviceImage image = surface.Image();
        std::printf("  scale %d (%d x %d): redraw %.3f ms (fastest %.3f), full fill %.3f ms (fastest %.3f); "
                    "ratio %.2f (of the fastest %.2f)\n",
                    dpi / 96, image.width, image.height, Median(draw), Least(draw), Median(fill), Least(fill),
                    Median(draw) / Median(fill), Least(draw) / Least(fill));
    }
    return 0;
}
