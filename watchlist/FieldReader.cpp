#include "watchlist/FieldReader.h"

#include <array>

namespace norvale {

namespace {

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

// The delimiters as a table: one load per byte in the loops that run through a whole master.
constexpr auto kDelimiters = [] {
    std::array<bool, 256> table{};
    table[','] = table['\r'] = table['\n'] = true;
    return table;
}();

bool IsDelimiter(char c) { return kDelimiters[static_cast<unsigned char>(c)]; }

}  // namespace

std::string_view FieldReader::Next() {
    // A local cursor: a byte read through p_ may be p_ itself as far as the compiler knows, so
    // the loops would store it back on every byte.
    const char* p = p_;
    const char* const end = end_;
    while (p != end && (*p == ' ' || *p == '\t')) ++p;
    if (p == end) {
        p_ = p;
        return {};
    }

    std::string_view value;
    if (*p == '"') {
        const char* const start = ++p;
        while (p != end && *p != '"' && !IsLineEnd(*p)) ++p;
        value = std::string_view(start, static_cast<std::size_t>(p - start));
        while (p != end && !IsDelimiter(*p)) ++p;
    } else {
        const char* const start = p;
        while (p != end && !IsDelimiter(*p)) ++p;
        value = std::string_view(start, static_cast<std::size_t>(p - start));
    }
    // The delimiter: a comma or a line end, CR LF being one.
    if (p != end) {
        const char c = *p++;
        if (c == '\r' && p != end && *p == '\n') ++p;
    }
    p_ = p;
    return value;
}

}  // namespace norvale
