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
    while (p_ != end_ && (*p_ == ' ' || *p_ == '\t')) ++p_;
    if (p_ == end_) return {};

    if (*p_ == '"') {
        const char* const start = ++p_;
        while (p_ != end_ && *p_ != '"' && !IsLineEnd(*p_)) ++p_;
        const std::string_view value(start, static_cast<std::size_t>(p_ - start));
        while (p_ != end_ && !IsDelimiter(*p_)) ++p_;
        SkipDelimiter();
        return value;
    }

    const char* const start = p_;
    while (p_ != end_ && !IsDelimiter(*p_)) ++p_;
    const std::string_view value(start, static_cast<std::size_t>(p_ - start));
    SkipDelimiter();
    return value;
}

void FieldReader::SkipDelimiter() {
    if (p_ == end_) return;
    const char c = *p_++;
    if (c == '\r' && p_ != end_ && *p_ == '\n') ++p_;
}

}  // namespace norvale
