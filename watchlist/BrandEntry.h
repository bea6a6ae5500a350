// Brand entry on the table: the key codes the handler knows and the appending of a typed brand.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "quotes/WatchTable.h"
#include "watchlist/BrandMaster.h"

namespace norvale {

// Virtual key codes that Picture1_KeyUp acts on.
inline constexpr std::int16_t kKeyBackspace = 8;
inline constexpr std::int16_t kKeyEnter = 13;
inline constexpr std::int16_t kKeyEscape = 27;
inline constexpr std::int16_t kKeyDelete = 46;
inline constexpr std::int16_t kKeyDigit0 = 48;   // main row 48 to 57
inline constexpr std::int16_t kKeyNumpad0 = 96;  // keypad 96 to 105

inline constexpr std::size_t kMaxCodeDigits = 4;
inline constexpr const char* kListFullText = "銘柄数上限";

// The digit 0 to 9 of a main-row or keypad digit key, nullopt for any other key.
std::optional<int> DigitOfKey(std::int16_t keyCode);

enum class AppendResult { Added, ListFull, UnknownCode };

// Appends the brand with the typed code (1 to 4 decimal digits) as the last slot and the last
// display row. Nothing changes unless the result is Added: the list is full, the master lacks
// the code, or the brand's market has no topic suffix.
[[nodiscard]] AppendResult AppendBrand(WatchTable& table, const BrandMaster& master, const std::string& codeDigits);

}  // namespace norvale
