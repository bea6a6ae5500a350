// The virtual key codes that reach the table's key handler, as Windows numbers them.
#pragma once

#include <cstdint>

namespace norvale::key {

inline constexpr std::int16_t kBackspace = 8;
inline constexpr std::int16_t kEnter = 13;
inline constexpr std::int16_t kEscape = 27;
inline constexpr std::int16_t kDelete = 46;
inline constexpr std::int16_t kDigit0 = 48;   // main row: 48 to 57
inline constexpr std::int16_t kLetterA = 65;  // the letter keys A to Z: 65 to 90, whatever the case
inline constexpr std::int16_t kNumpad0 = 96;  // keypad: 96 to 105

}  // namespace norvale::key
