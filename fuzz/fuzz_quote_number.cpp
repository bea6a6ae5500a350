// Fuzzes QuoteNumber against its definition: the last blank-separated word, read without its
// separators by the C library's own conversion. Whatever it gives is finite, and neither blanks
// after the text nor other words before it change it.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "fuzz/FuzzInput.h"
#include "table/QuoteNumber.h"

using norvale::QuoteNumber;
using norvale::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto Same = [](std::optional<double> a, std::optional<double> b) {
        return a.has_value() == b.has_value() && (!a || std::memcmp(&*a, &*b, sizeof(double)) == 0);
    };
    const std::string text = norvale::fuzz::Text(data, size);
    const std::optional<double> value = QuoteNumber(text);
    Check(!value || std::isfinite(*value));
    Check(Same(QuoteNumber(text + "  "), value));
    Check(text.find_first_not_of(" \t\r\n") == std::string::npos || Same(QuoteNumber("前日終値 " + text), value));
    if (!value) return 0;

    // The word that was read: what follows the last blank once trailing blanks are gone (npos + 1 is 0).
    std::string word = text.substr(0, text.find_last_not_of(" \t\r\n") + 1);
    word.erase(0, word.find_last_of(' ') + 1);
    word = word.substr(word.find_first_not_of(" \t\r\n"));
    std::erase(word, ',');
    // strtod rounds correctly too, and reads no exponent here: the reader accepted none.
    char* end = nullptr;
    const double expected = std::strtod(word.c_str(), &end);
    Check(end == word.c_str() + word.size() && expected == *value);
    return 0;
}
