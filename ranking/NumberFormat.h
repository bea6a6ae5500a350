// Number texts of the status bar and of the ranking table.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace norvale {

// A count as the status bar writes it: one leading blank in the place of the sign for
// values of 0 and above (" 7"), a minus sign otherwise ("-7").
std::string SignPlace(long value);

// Patterns "#,###,###" and "###,###,###" (they behave alike): the nearest whole number, halves
// away from zero, digits grouped in threes by ",". A value that comes to 0 gives an empty text.
// Halves are judged on the value's shortest decimal form, so 0.5 gives "1" and -2.5 gives "-3".
// A non-finite value gives an empty text.
std::string FormatGrouped(double value);

// Pattern "0.00": exactly two decimals, halves away from zero on the shortest decimal form
// (2.675 gives "2.68"), at least one digit before the point. A value that comes to zero shows
// "0.00" without a minus sign. A non-finite value gives "0.00".
std::string FormatFixed2(double value);

// Blanks in front of text until it holds width characters (code points); a longer text is
// returned whole.
std::string PadLeft(std::string_view text, std::size_t width);

// The first count characters (code points) of a UTF-8 text.
std::string_view LeftChars(std::string_view utf8, std::size_t count);

}  // namespace norvale
