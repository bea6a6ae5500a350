// Reading the number that a quote text carries, the same on every machine whatever its locale.
#pragma once

#include <optional>
#include <string_view>

namespace norvale {

// The number of a quote text: its last blank-separated word, read with "," as thousands
// separator and "." as decimal point, an optional leading sign, no exponent. Trailing blanks
// are ignored, so a value padded by the server still reads. nullopt when the text has no
// value (empty, blanks only) and when the word is not a finite number ("---", "nan", "inf",
// digits beyond the range of a double): the caller then keeps the number it held.
[[nodiscard]] std::optional<double> QuoteNumber(std::string_view text);

}  // namespace norvale
