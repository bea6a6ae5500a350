#include "watchlist/NumericText.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace norvale {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::size_t SkipDigits(std::string_view s, std::size_t i) {
    while (i < s.size() && IsDigit(s[i])) ++i;
    return i;
}

}  // namespace

std::optional<double> ParseNumber(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);

    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    // Check the shape first: from_chars alone would also take "inf", "nan" and hex forms.
    std::size_t i = SkipDigits(text, 0);
    std::size_t mantissaDigits = i;
    if (i < text.size() && text[i] == '.') {
        const std::size_t afterPoint = SkipDigits(text, i + 1);
        mantissaDigits += afterPoint - (i + 1);
        i = afterPoint;
    }
    if (mantissaDigits == 0) return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        const std::size_t end = SkipDigits(text, j);
        if (end == j) return std::nullopt;
        i = end;
    }
    if (i != text.size()) return std::nullopt;

    double value = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || ptr != text.data() + text.size()) return std::nullopt;
    return negative ? -value : value;
}

namespace {

std::optional<std::int16_t> InCodeRange(double value) {
    if (value < -32768.0 || value > 32767.0) return std::nullopt;
    return static_cast<std::int16_t>(value);
}

std::optional<std::int16_t> ReadNumericCode(std::string_view text, CodeForm form) {
    // Plain digits, as the keyboard gives them and nearly every master writes them, are read
    // without the general number reader.
    const bool plain = !text.empty() && text.size() <= 5 && SkipDigits(text, 0) == text.size();
    switch (form) {
        case CodeForm::Typed: {
            if (!plain || text.size() > 4) return std::nullopt;
            int value = 0;
            for (const char c : text) value = value * 10 + (c - '0');
            return static_cast<std::int16_t>(value);
        }
        case CodeForm::Master: {
            if (plain) {
                int value = 0;
                for (const char c : text) value = value * 10 + (c - '0');
                return value <= 32767 ? std::optional<std::int16_t>(static_cast<std::int16_t>(value)) : std::nullopt;
            }
            const std::optional<double> value = ParseNumber(text);
            if (!value || *value < -32768.0 || *value > 32767.0) return std::nullopt;
            if (static_cast<double>(static_cast<int>(*value)) != *value) return std::nullopt;
            return InCodeRange(*value);
        }
        case CodeForm::WatchList: {
            const std::optional<double> value = ParseNumber(text);
            if (!value) return std::nullopt;
            return InCodeRange(std::nearbyint(*value));  // the default rounding mode: half to even
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<BrandCode> ReadBrandCode(std::string_view text, CodeForm form) {
    // Plain digits, as nearly every code is written, hold no letter: a master's load skips the test.
    const bool digitsOnly = !text.empty() && SkipDigits(text, 0) == text.size();
    if (std::optional<BrandCode> lettered = digitsOnly ? std::nullopt : BrandCode::Lettered(text)) return lettered;
    const std::optional<std::int16_t> number = ReadNumericCode(text, form);
    return number ? std::optional<BrandCode>(BrandCode(*number)) : std::nullopt;
}

}  // namespace norvale
