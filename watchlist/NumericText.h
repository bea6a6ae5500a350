// Numbers read from file fields the way numeric text converts.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace norvale {

// Blanks around it, an optional sign, digits with an optional fraction and an optional
// exponent ("7203", " 07203 ", "+7.203e3"). nullopt for anything else, including an empty
// text, hexadecimal, "inf", "nan" and a value beyond the range of a double.
std::optional<double> ParseNumber(std::string_view text);

// ParseNumber rounded to the nearest whole number, a half to the even neighbour; nullopt
// when that is not a number or falls outside -32768 to 32767.
std::optional<std::int16_t> ParseInt16(std::string_view text);

}  // namespace norvale
