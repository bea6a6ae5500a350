// A full watch table of 1000 brands with quotes and measures, and the files of 1000 brands to poll.
#pragma once

#include <algorithm>
#include <chrono>
#include <ctime>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "app/MainWindowLogic.h"
#include "bench/Timing.h"
#include "platform/TextCodec.h"
#include "ranking/Ranking.h"
#include "tests/common/TableBuilder.h"
#include "tests/fakes/FakeFileSystem.h"

namespace norvale::bench {

// 1000 brands to poll from start-up, one in ten on "oj" (which asks 20 items instead of 14); no quotes yet.
inline void WatchPassBrands(FakeFileSystem& files) {
    std::vector<std::string> brands;
    for (int j = 0; j < kMaxEntries; ++j) brands.push_back(std::to_string(1301 + j) + (j % 10 == 0 ? ".oj" : ".t"));
    const test::TestFiles f = test::FilesOf(brands);
    files.files[files.InProgramFolder(kBrandMasterFileName)] = Utf8ToCp932(f.master);
    files.files[files.InProgramFolder(kWatchListFileName)] = f.watchList;
}

// Prices around 100 to 30,000 yen moving a few percent; quantities in lots of 100; a few brands
// with no quotes yet; measures through the real formulas, as a pass stores the quotes.
inline std::unique_ptr<WatchTable> SampleTable(unsigned seed = 1) {
    static const char* const names[] = {"極東重工業株式会社", "日之出電機", "北陸精密機械工業", "みなと銀行",
                                        "ｻﾝﾗｲｽﾞ商事", "東西物産", "青葉化学工業", "大和運輸ホールディングス"};
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> unit(0, 1);
    auto text = [](double v) { return std::to_string(static_cast<long long>(v)); };
    test::TableBuilder b;
    for (int k = 0; k < kMaxEntries; ++k) {
        b.Brand(std::to_string(1301 + k * 8), names[k % 8]);
        if (k % 97 == 0) continue;  // not quoted yet
        const double base = std::round(100 + unit(rng) * 30000);
        auto near = [&](double spread) { return std::round(base * (1 + (unit(rng) - 0.5) * spread)); };
        const double open = near(0.04), last = near(0.08);
        const double high = std::max({open, last, near(0.04)}), low = std::min({open, last, near(0.04)});
        using enum PriceItem;
        b.Price(PrevClose, text(base)).Price(Open, text(open));
        const unsigned move = rng() % 3;  // none, a rise or a fall to the last price
        if (move != 0) b.Price(Last, text(move == 1 ? last - 1 : last + 1));
        b.Price(Last, text(last)).Price(Vwap, text((high + low) / 2)).Price(High, text(high)).Price(Low, text(low));
        b.Quantities(text(100.0 * static_cast<double>(rng() % 50000)), text(100.0 * static_cast<double>(rng() % 50000)));
    }
    return b.Build();
}

}  // namespace norvale::bench
