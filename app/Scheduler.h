// The rule that turns the interval chosen in Combo2 into the wait before the next pass.
#pragma once

#include <cstdint>

namespace norvale {

// WaitLimit after a completed pass that took loadSeconds, for the Combo2 index selected at
// its end: 5 for "自動", the interval less the load time for the others, never below 0. An
// index outside the list (nothing selected) keeps current.
[[nodiscard]] std::int16_t WaitLimitAfterPass(int intervalIndex, std::int16_t loadSeconds, std::int16_t current);

}  // namespace norvale
