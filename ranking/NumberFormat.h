// Number texts of the status bar and of the ranking table.
#pragma once

#include <string>

namespace norvale {

// A count as the status bar writes it: one leading blank in the place of the sign for
// values of 0 and above (" 7"), a minus sign otherwise ("-7").
std::string SignPlace(long value);

}  // namespace norvale
