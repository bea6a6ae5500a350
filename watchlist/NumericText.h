// Numbers and brand codes read from file fields and typed keys.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "table/BrandCode.h"

namespace norvale {

// Blanks around it, an optional sign, digits with an optional fraction and an optional
// exponent ("7203", " 07203 ", "+7.203e3"). nullopt for anything else, including an empty
// text, hexadecimal, "inf", "nan" and a value beyond the range of a double.
std::optional<double> ParseNumber(std::string_view text);

// How a numeric brand code is written where it is read.
enum class CodeForm {
    Typed,      // on the keyboard: 1 to 4 decimal digits
    Master,     // in the brand master: a number (as ParseNumber) that is exactly a whole number
    WatchList,  // in a watch list file: a number rounded to the nearest whole, a half to even
};

// The brand code that text holds: a code with letters (BrandCode::Lettered) wherever one is
// written, else a number in that form within -32768 to 32767; nullopt when it holds neither.
// No text of the lettered form reads as a number, so numeric codes read as they always did.
std::optional<BrandCode> ReadBrandCode(std::string_view text, CodeForm form);

}  // namespace norvale
