#include "ranking/NumberFormat.h"

#include <array>
#include <charconv>
#include <cmath>

#include "platform/TextCodec.h"

namespace norvale {

namespace {

// The value as sign and decimal digits, rounded half away from zero to `decimals` places on its
// shortest round-trip form. Digits hold the integer part followed by exactly `decimals` digits.
struct Decimal {
    bool negative = false;
    std::string digits;
};

Decimal RoundShortest(double value, int decimals) {
    // Fixed notation of the shortest round-trip form: at most 309 integer digits, or a point
    // followed by at most 324 fraction digits for the smallest subnormals.
    std::array<char, 400> buf{};
    const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::fixed);
    std::string_view text(buf.data(), res.ec == std::errc() ? static_cast<std::size_t>(res.ptr - buf.data()) : 0);

    Decimal d;
    if (!text.empty() && text.front() == '-') {
        d.negative = true;
        text.remove_prefix(1);
    }
    const std::size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction = point == std::string_view::npos ? std::string_view() : text.substr(point + 1);

    d.digits.assign(whole.empty() ? std::string_view("0") : whole);
    for (int k = 0; k < decimals; ++k) {
        d.digits.push_back(static_cast<std::size_t>(k) < fraction.size() ? fraction[static_cast<std::size_t>(k)] : '0');
    }
    const bool roundUp = static_cast<std::size_t>(decimals) < fraction.size() &&
                         fraction[static_cast<std::size_t>(decimals)] >= '5';
    if (roundUp) {
        std::size_t k = d.digits.size();
        while (k > 0 && d.digits[k - 1] == '9') d.digits[--k] = '0';
        if (k == 0) {
            d.digits.insert(d.digits.begin(), '1');
        } else {
            ++d.digits[k - 1];
        }
    }
    // No leading zeros beyond the one digit kept before the point.
    const std::size_t keep = static_cast<std::size_t>(decimals) + 1;
    std::size_t lead = 0;
    while (d.digits.size() - lead > keep && d.digits[lead] == '0') ++lead;
    d.digits.erase(0, lead);
    return d;
}

bool AllZero(const std::string& digits) { return digits.find_first_not_of('0') == std::string::npos; }

}  // namespace

std::string SignPlace(long value) {
    std::string text = std::to_string(value);
    if (value >= 0) text.insert(text.begin(), ' ');
    return text;
}

std::string FormatGrouped(double value) {
    if (!std::isfinite(value)) return {};
    const Decimal d = RoundShortest(value, 0);
    if (AllZero(d.digits)) return {};
    std::string out;
    if (d.negative) out.push_back('-');
    const std::size_t n = d.digits.size();
    for (std::size_t k = 0; k < n; ++k) {
        if (k > 0 && (n - k) % 3 == 0) out.push_back(',');
        out.push_back(d.digits[k]);
    }
    return out;
}

std::string FormatFixed2(double value) {
    if (!std::isfinite(value)) return "0.00";
    const Decimal d = RoundShortest(value, 2);
    std::string out;
    if (d.negative && !AllZero(d.digits)) out.push_back('-');
    out.append(d.digits, 0, d.digits.size() - 2);
    out.push_back('.');
    out.append(d.digits, d.digits.size() - 2, 2);
    return out;
}

std::string PadLeft(std::string_view text, std::size_t width) {
    const std::size_t chars = Utf8CharCount(text);
    std::string out;
    if (chars < width) out.assign(width - chars, ' ');
    out.append(text);
    return out;
}

std::string_view LeftChars(std::string_view utf8, std::size_t count) {
    std::size_t seen = 0;
    for (std::size_t k = 0; k < utf8.size(); ++k) {
        if ((static_cast<unsigned char>(utf8[k]) & 0xC0) == 0x80) continue;  // continuation byte
        if (seen == count) return utf8.substr(0, k);
        ++seen;
    }
    return utf8;
}

}  // namespace norvale
