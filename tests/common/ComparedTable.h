// The table that the raster's test and the Wine screenshots draw, and the plain image file (binary
// PPM) those screenshots are saved in.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "platform/Surface.h"
#include "platform/fake/FakeStatusBar.h"
#include "quotes/Measures.h"
#include "quotes/WatchTable.h"
#include "ranking/DrawTable.h"
#include "ranking/Ranking.h"

namespace norvale::compared {

// 1000 x 336 logical pixels: the whole table width and 24 data rows.
inline constexpr double kWidthTwips = 1000 * 15.0;
inline constexpr double kHeightTwips = 336 * 15.0;

// Every colour rule of the cells, the three arrows, the yellow and the black band, an unquoted
// entry, negative rates, a name cut to nine characters, half-width katakana and bars from 0 to 100.
inline void DrawTableOn(Surface& surface) {
    static const char* const names[] = {"極東重工業株式会社", "ｻﾝﾗｲｽﾞ商事", "大和運輸ホールディングス", "みなと銀行",
                                        "ABCﾏｰﾄ", "日之出電機", "青葉化学工業", "Ｎｅｘｔ　ＡＩ"};
    auto table = std::make_unique<WatchTable>();
    constexpr int n = 30;
    table->EntryCount = n;
    for (int k = 0; k < n; ++k) {
        WatchEntry& e = table->entries[static_cast<std::size_t>(k)];
        e.code = BrandCode(static_cast<std::int16_t>(1301 + 97 * k));
        e.codeText = e.code.Text();
        e.brandName = names[k % 8];
        if (k == 5) continue;  // no quotes yet
        const double base = 150 + (k * 7919) % 28000;
        auto at = [&](double percent) { return std::round(base * (1 + percent / 100)); };
        e.prevClose = base;
        e.open = at((k * 7) % 9 - 4);
        e.last = k % 6 == 0 ? base : at((k * 11) % 15 - 7);
        e.high = k % 5 == 1 ? e.last : std::max({e.open, e.last, at(3 + k % 3)});
        e.low = k % 7 == 3 ? e.last : std::min({e.open, e.last, at(-3 - k % 4)});
        e.vwap = k % 4 == 2 ? e.last : std::round((e.high + e.low + e.last) / 3);
        e.move = static_cast<PriceMove>(k % 3);
        e.askQtyTotal = 100.0 * ((k * 613 + 1500) % 40000);
        e.bidQtyTotal = k % 9 == 4 ? 0 : 100.0 * ((k * k * 389 + 900) % 40000);
        RecomputeOpenAndPrevCloseDev(e);
        RecomputeVwapDev(e);
        RecomputeHighDev(e);
        RecomputeLowDev(e);
        RecomputeQuoteRatio(e);
    }
    SortRows(*table, SortKey::FromListIndex(2));
    table->DeleteTarget = table->RowOrder[6];
    table->removal = PendingRemoval::AfterPass;
    FakeStatusBar status;
    TableView view;
    view.ClickY = 12 * 4 + 5;  // the fourth data row
    surface.Clear();
    DrawTable(surface, status, *table, view);
}

// Writes width x height 0x00RRGGBB pixels, given by pixel(x, y), as a binary PPM.
template <typename PixelAt>
bool WritePpm(const std::string& path, int width, int height, PixelAt pixel) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(path.c_str(), "wb"), &std::fclose);
    if (!f) return false;
    std::fprintf(f.get(), "P6\n%d %d\n255\n", width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t p = pixel(x, y);
            const unsigned char rgb[3] = {static_cast<unsigned char>(p >> 16), static_cast<unsigned char>(p >> 8),
                                          static_cast<unsigned char>(p)};
            std::fwrite(rgb, 1, 3, f.get());
        }
    }
    return std::ferror(f.get()) == 0;
}

}  // namespace norvale::compared
