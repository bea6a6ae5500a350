#include "ranking/NumberFormat.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>

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

// Writes the decimal digits of n so that they end at `end`; returns where they start.
char* DigitsBefore(char* end, std::uint64_t n) {
    do {
        *--end = static_cast<char>('0' + n % 10);
        n /= 10;
    } while (n != 0);
    return end;
}

// The magnitude of a table number rounded half away from zero to a whole number, where that needs
// no decimal text: below 2^52 every x.5 is a double of its own, so the shortest form of a value
// lies on the same side of x.5 as the value.
std::optional<std::uint64_t> WholeQuickly(double magnitude) {
    if (!(magnitude < 0x1p52)) return std::nullopt;
    const double whole = std::floor(magnitude);
    return static_cast<std::uint64_t>(whole) + (magnitude - whole >= 0.5 ? 1 : 0);
}

// The magnitude in hundredths, rounded half away from zero, where the product with 100 lies
// clearly off a half: the shortest form and the value then round alike. Values near a half
// (2.675) are left to the decimal text.
std::optional<std::uint64_t> HundredthsQuickly(double magnitude) {
    if (!(magnitude < 1e13)) return std::nullopt;
    const double y = magnitude * 100;
    const double whole = std::floor(y);
    const double fraction = y - whole;
    if (std::fabs(fraction - 0.5) <= (y + 1) * 0x1p-40) return std::nullopt;
    return static_cast<std::uint64_t>(whole) + (fraction > 0.5 ? 1 : 0);
}

}  // namespace

std::string SignPlace(long value) {
    std::string text = std::to_string(value);
    if (value >= 0) text.insert(text.begin(), ' ');
    return text;
}

std::string FormatGrouped(double value) {
    if (!std::isfinite(value)) return {};
    if (const auto whole = WholeQuickly(std::fabs(value))) {
        if (*whole == 0) return {};
        std::array<char, 32> buf;
        char* const end = buf.data() + buf.size();
        char* p = end;
        std::uint64_t n = *whole;
        for (int group = 0;; ++group) {
            if (group > 0) *--p = ',';
            const std::uint64_t rest = n / 1000;
            p = DigitsBefore(p, n % 1000);
            if (rest == 0) break;
            while (end - p < 4 * (group + 1) - 1) *--p = '0';  // inner groups keep their zeros
            n = rest;
        }
        if (value < 0) *--p = '-';
        return std::string(p, end);
    }
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
    if (const auto hundredths = HundredthsQuickly(std::fabs(value))) {
        std::array<char, 32> buf;
        char* const end = buf.data() + buf.size();
        char* p = end;
        *--p = static_cast<char>('0' + *hundredths % 10);
        *--p = static_cast<char>('0' + *hundredths / 10 % 10);
        *--p = '.';
        p = DigitsBefore(p, *hundredths / 100);
        if (value < 0 && *hundredths != 0) *--p = '-';
        return std::string(p, end);
    }
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
