// The table that the raster's test and the Wine screenshots draw, and the plain image file (binary
// PPM) those screenshots are saved in.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "platform/Surface.h"
#include "ranking/DrawTable.h"
#include "ranking/Ranking.h"
#include "tests/common/TableBuilder.h"
#include "tests/fakes/FakeStatusBar.h"

namespace norvale::compared {

// 1000 x 336 logical pixels: the whole table width and 24 data rows.
inline constexpr double kWidthTwips = 1000 * 15.0;
inline constexpr double kHeightTwips = 336 * 15.0;

// Every colour rule of the cells, the three arrows, the yellow and the black band, an unquoted
// entry, negative rates, a name cut to nine characters, half-width katakana and bars from 0 to 100.
inline void DrawTableOn(Surface& surface) {
    static const char* const names[] = {"極東重工業株式会社", "ｻﾝﾗｲｽﾞ商事", "大和運輸ホールディングス", "みなと銀行",
                                        "ABCﾏｰﾄ", "日之出電機", "青葉化学工業", "Ｎｅｘｔ　ＡＩ"};
    test::TableBuilder b;
    for (int k = 0; k < 30; ++k) {
        b.Brand(std::to_string(1301 + 97 * k), names[k % 8]);
        if (k == 5) continue;  // no quotes yet
        const double base = 150 + (k * 7919) % 28000;
        auto at = [&](double percent) { return std::round(base * (1 + percent / 100)); };
        const double open = at((k * 7) % 9 - 4);
        const double last = k % 6 == 0 ? base : at((k * 11) % 15 - 7);
        const double high = k % 5 == 1 ? last : std::max({open, last, at(3 + k % 3)});
        const double low = k % 7 == 3 ? last : std::min({open, last, at(-3 - k % 4)});
        const double vwap = k % 4 == 2 ? last : std::round((high + low + last) / 3);
        auto text = [](double v) { return std::to_string(static_cast<long long>(v)); };
        using enum PriceItem;
        b.Price(PrevClose, text(base)).Price(Open, text(open));
        if (k % 3 != 0) b.Price(Last, text(k % 3 == 1 ? last - 1 : last + 1));  // a rise or a fall to it
        b.Price(Last, text(last)).Price(Vwap, text(vwap)).Price(High, text(high)).Price(Low, text(low));
        b.Quantities(text(100.0 * ((k * 613 + 1500) % 40000)), text(k % 9 == 4 ? 0 : 100.0 * ((k * k * 389 + 900) % 40000)));
    }
    const auto table = b.Build();
    SortRows(*table, SortKey::FromListIndex(2));
    (void)table->MarkForRemoval(table->SlotInRow(6));
    FakeStatusBar status;
    RowSelection selection;
    selection.Clicked(12 * 4 + 5);  // the fourth data row
    selection.Settle(*table, RowsThatFit(surface.Height()));
    surface.Clear();
    DrawTable(surface, status, *table, selection);
}

// Writes width x height 0x00RRGGBB pixels, given by pixel(x, y), as a binary PPM.
template <typename PixelAt>
bool WritePpm(const std::string& path, int width, int height, PixelAt pixel) {
    std::string bytes = "P6\n" + std::to_string(width) + ' ' + std::to_string(height) + "\n255\n";
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (const int shift : {16, 8, 0}) bytes += static_cast<char>(pixel(x, y) >> shift & 0xFF);
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(path.c_str(), "wb"), &std::fclose);
    return f && std::fwrite(bytes.data(), 1, bytes.size(), f.get()) == bytes.size();
}

}  // namespace norvale::compared
