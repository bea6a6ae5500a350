// Fuzzes QuoteNumber against its definition: the last blank-separated word, read without its
// separators by the C library's own conversion. Whatever it gives is finite, and neither blanks
// after the text nor other words before it change it.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "table/QuoteNumber.h"

namespace {

bool Same(std::optional<double> a, std::optional<double> b) {
    return a.has_value() == b.has_value() && (!a || std::memcmp(&*a, &*b, sizeof(double)) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::optional<double> value = norvale::QuoteNumber(text);
    if (value && !std::isfinite(*value)) __builtin_trap();

    if (!Same(norvale::QuoteNumber(text + "  "), value)) __builtin_trap();
    const bool blank = text.find_first_not_of(" \t\r\n") == std::string::npos;
    if (!blank && !Same(norvale::QuoteNumber("前日終値 " + text), value)) __builtin_trap();

    if (value) {
        // The word that was read: what follows the last blank once trailing blanks are gone.
        std::string word = text.substr(0, text.find_last_not_of(" \t\r\n") + 1);
        const std::size_t lastBlank = word.find_last_of(' ');
        if (lastBlank != std::string::npos) word.erase(0, lastBlank + 1);
        word = word.substr(word.find_first_not_of(" \t\r\n"));
        std::string plain;
        for (const char c : word) {
            if (c != ',') plain.push_back(c);
        }
        // strtod rounds correctly too, and reads no exponent here: the reader accepted none.
        char* end = nullptr;
        const double expected = std::strtod(plain.c_str(), &end);
        if (end != plain.c_str() + plain.size() || expected != *value) __builtin_trap();
    }
    return 0;
}
