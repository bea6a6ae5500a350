// Numbers and brand codes read from file fields and typed digits.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace norvale {

// Blanks around it, an optional sign, digits with an optional fraction and an optional
// exponent ("7203", " 07203 ", "+7.203e3"). nullopt for anything else, including an empty
// text, hexadecimal, "inf", "nan" and a value beyond the range of a double.
std::optional<double> ParseNumber(std::string_view text);

// How a brand code is written where it is read.
enum class CodeForm {
    Typed,      // on the keyboard: 1 to 4 decimal digits
    Master,     // in the brand master: a number (as ParseNumber) that is exactly a whole number
    WatchList,  // in a watch list file: a number rounded to the nearest whole, a half to even
};

// The 16-bit brand code that text holds in that form; nullopt when it holds none or one
// outside -32768 to 32767.
std::optional<std::int16_t> ReadBrandCode(std::string_view text, CodeForm form);

}  // namespace norvale
