// A full watch table of 1000 brands with quotes and measures.
#pragma once

#include <algorithm>
#include <chrono>
#include <ctime>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "quotes/Measures.h"
#include "quotes/WatchTable.h"
#include "ranking/Ranking.h"
#include "bench/Timing.h"

namespace norvale::bench {

// Prices around 100 to 30,000 yen moving a few percent; quantities in lots of 100; a few brands
// with no quotes yet; measures through the real formulas.
// 1000 brands to poll, one in ten on "oj" (which asks 20 items instead of 14); no quotes yet.
inline void FillPassBrands(WatchTable& table) {
    for (int j = 0; j < kMaxEntries; ++j) {
        WatchEntry& e = table.entries[static_cast<std::size_t>(j)];
        e.codeText = std::to_string(1301 + j);
        e.marketSuffix = j % 10 == 0 ? "oj" : "t";
        e.topic = e.codeText + "." + e.marketSuffix;
        e.brandName = "ベンチ銘柄";
    }
    table.EntryCount = kMaxEntries;
}

inline std::unique_ptr<WatchTable> SampleTable(unsigned seed = 1) {
    static const char* const names[] = {"極東重工業株式会社", "日之出電機", "北陸精密機械工業", "みなと銀行",
                                        "ｻﾝﾗｲｽﾞ商事", "東西物産", "青葉化学工業", "大和運輸ホールディングス"};
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> unit(0, 1);
    auto t = std::make_unique<WatchTable>();
    t->EntryCount = kMaxEntries;
    for (int k = 0; k < kMaxEntries; ++k) {
        WatchEntry& e = t->entries[static_cast<std::size_t>(k)];
        e.code = BrandCode(static_cast<std::int16_t>(1301 + k * 8));
        e.codeText = e.code.Text();
        e.brandName = names[k % 8];
        if (k % 97 == 0) continue;  // not quoted yet
        const double base = std::round(100 + unit(rng) * 30000);
        auto near = [&](double spread) { return std::round(base * (1 + (unit(rng) - 0.5) * spread)); };
        e.prevClose = base;
        e.open = near(0.04);
        e.last = near(0.08);
        e.high = std::max({e.open, e.last, near(0.04)});
        e.low = std::min({e.open, e.last, near(0.04)});
        e.vwap = (e.high + e.low) / 2;
        e.move = static_cast<PriceMove>(rng() % 3);
        e.askQtyTotal = 100.0 * static_cast<double>(rng() % 50000);
        e.bidQtyTotal = 100.0 * static_cast<double>(rng() % 50000);
        RecomputeOpenAndPrevCloseDev(e);
        RecomputeVwapDev(e);
        RecomputeHighDev(e);
        RecomputeLowDev(e);
        RecomputeQuoteRatio(e);
    }
    return t;
}

}  // namespace norvale::bench
