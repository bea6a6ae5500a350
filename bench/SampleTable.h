// A full watch table of 1000 brands with quotes and measures, and the timing helpers of the
// ranking benchmarks.
#pragma once

#include <algorithm>
#include <chrono>
#include <ctime>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "quotes/WatchTable.h"
#include "ranking/Ranking.h"

namespace norvale::bench {

// Prices around 100 to 30,000 yen moving a few percent; quantities in lots of 100; a few brands
// with no quotes yet; measures through the real formulas.
inline std::unique_ptr<WatchTable> SampleTable(unsigned seed = 1) {
    static const char* const names[] = {"極東重工業株式会社", "日之出電機", "北陸精密機械工業", "みなと銀行",
                                        "ｻﾝﾗｲｽﾞ商事", "東西物産", "青葉化学工業", "大和運輸ホールディングス"};
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> unit(0, 1);
    auto t = std::make_unique<WatchTable>();
    t->EntryCount = kMaxEntries;
    for (int k = 0; k < kMaxEntries; ++k) {
        WatchEntry& e = t->entries[static_cast<std::size_t>(k)];
        e.code = static_cast<std::int16_t>(1301 + k * 8);
        e.codeText = std::to_string(e.code);
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
        e.tick = static_cast<std::int16_t>(rng() % 3);
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

inline double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v.size() % 2 == 1 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// Milliseconds taken by f: on the wall clock, and on this thread's CPU clock, which the other
// work on a shared machine does not inflate.
struct Took {
    double wallMs = 0;
    double cpuMs = 0;
};

inline double ThreadCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

template <typename F>
Took TimeMs(F&& f) {
    const double c0 = ThreadCpuMs();
    const auto t0 = std::chrono::steady_clock::now();
    f();
    const auto t1 = std::chrono::steady_clock::now();
    return {std::chrono::duration<double, std::milli>(t1 - t0).count(), ThreadCpuMs() - c0};
}

// Wall and CPU medians of a measured run and of its reference, and their ratio (on CPU time).
struct Figures {
    std::vector<double> wall, cpu, refWall, refCpu;
    void Add(Took run, Took ref) {
        wall.push_back(run.wallMs);
        cpu.push_back(run.cpuMs);
        refWall.push_back(ref.wallMs);
        refCpu.push_back(ref.cpuMs);
    }
    template <typename State>
    void Report(State& state, const char* refName) const {
        state.counters["median_ms"] = Median(wall);
        state.counters["median_cpu_ms"] = Median(cpu);
        state.counters[std::string(refName) + "_ms"] = Median(refWall);
        state.counters[std::string(refName) + "_cpu_ms"] = Median(refCpu);
        state.counters["ratio"] = Median(cpu) / Median(refCpu);
    }
};

}  // namespace norvale::bench
