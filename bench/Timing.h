// Timing of a measured run beside its reference: medians on the wall and on this thread's CPU.
#pragma once

#include <algorithm>
#include <chrono>
#include <ctime>
#include <string>
#include <vector>

namespace norvale::bench {

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
