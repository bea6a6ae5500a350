// The refresh intervals of the interval list, and the wait before the next pass they give.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace norvale {

struct Interval {
    std::string_view text;
    int seconds;  // 0 for "自動", which waits a fixed time after every pass
};

inline constexpr std::array<Interval, 10> kIntervals = {{
    {"自動", 0}, {"10秒", 10}, {"20秒", 20}, {"30秒", 30}, {"40秒", 40},
    {"50秒", 50}, {"60秒", 60}, {"90秒", 90}, {"120秒", 120}, {"180秒", 180},
}};

// The wait limit after a completed pass that took loadSeconds, for the interval list index
// selected at its end: 5 for "自動", the interval less the load time for the others, never
// below 0. An index outside the list (nothing selected) keeps current.
[[nodiscard]] std::int16_t WaitLimitAfterPass(int intervalIndex, std::int16_t loadSeconds, std::int16_t current);

}  // namespace norvale
