#include "table/QuoteNumber.h"

#include <charconv>
#include <cmath>
#include <string>

namespace norvale {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::optional<double> QuoteNumber(std::string_view text) {
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    const std::size_t lastBlank = text.find_last_of(' ');
    if (lastBlank != std::string_view::npos) text.remove_prefix(lastBlank + 1);
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    if (text.empty()) return std::nullopt;

    bool negative = false;
    if (text.front() == '+' || text.front() == '-') {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }

    // Separators are dropped before std::from_chars, which never looks at the C locale.
    // A separator stands only between two digits of the integer part.
    std::string plain;
    plain.reserve(text.size());
    bool point = false;
    bool digits = false;
    for (std::size_t k = 0; k < text.size(); ++k) {
        const char c = text[k];
        if (IsDigit(c)) {
            plain.push_back(c);
            digits = true;
        } else if (c == ',') {
            if (point || k == 0 || !IsDigit(text[k - 1]) || k + 1 == text.size() || !IsDigit(text[k + 1]))
                return std::nullopt;
        } else if (c == '.' && !point) {
            plain.push_back(c);
            point = true;
        } else {
            return std::nullopt;
        }
    }
    if (!digits) return std::nullopt;

    double value = 0;
    const char* end = plain.data() + plain.size();
    const auto [ptr, ec] = std::from_chars(plain.data(), end, value, std::chars_format::fixed);
    if (ec != std::errc() || ptr != end || !std::isfinite(value)) return std::nullopt;
    return negative ? -value : value;
}

}  // namespace norvale
