#include "tools/quote-server/MarketSim.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>

#include "quotes/QuoteItems.h"
#include "table/BrandCode.h"
#include "table/Market.h"

namespace norvale {

namespace {

struct Band {
    Tenths limit;  // prices up to and including this use tick
    Tenths tick;
};
constexpr Tenths kYen = 10;
constexpr Tenths kNoLimit = std::numeric_limits<Tenths>::max();

// The exchange's tick table by price band, and the table of the most traded brands.
constexpr std::array<Band, 11> kStandard = {{{3000 * kYen, 1 * kYen},
                                             {5000 * kYen, 5 * kYen},
                                             {30000 * kYen, 10 * kYen},
                                             {50000 * kYen, 50 * kYen},
                                             {300000 * kYen, 100 * kYen},
                                             {500000 * kYen, 500 * kYen},
                                             {3000000 * kYen, 1000 * kYen},
                                             {5000000 * kYen, 5000 * kYen},
                                             {30000000 * kYen, 10000 * kYen},
                                             {50000000 * kYen, 50000 * kYen},
                                             {kNoLimit, 100000 * kYen}}};
constexpr std::array<Band, 11> kFine = {{{1000 * kYen, 1},
                                         {3000 * kYen, 5},
                                         {10000 * kYen, 1 * kYen},
                                         {30000 * kYen, 5 * kYen},
                                         {100000 * kYen, 10 * kYen},
                                         {300000 * kYen, 50 * kYen},
                                         {1000000 * kYen, 100 * kYen},
                                         {3000000 * kYen, 500 * kYen},
                                         {10000000 * kYen, 1000 * kYen},
                                         {30000000 * kYen, 5000 * kYen},
                                         {kNoLimit, 10000 * kYen}}};


int PriceDecimals(Tenths price, bool fine) { return TickAtOrBelow(price, fine) < kYen ? 1 : 0; }

std::string InsertSeparators(const std::string& digits) {
    std::string out;
    const std::size_t n = digits.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
}

bool ValidTopicWithoutMaster(const std::string& topic) {
    const auto dot = topic.find('.');
    if (dot == std::string::npos || dot == 0 || dot > 4) return false;
    const std::string stem = topic.substr(0, dot);
    const std::optional<BrandCode> lettered = BrandCode::Lettered(stem);
    if (!(lettered && lettered->TopicStem() == stem) &&
        !std::all_of(stem.begin(), stem.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    const std::string suffix = topic.substr(dot + 1);
    return std::any_of(kMarkets.begin(), kMarkets.end(), [&](const Market& m) { return m.suffix == suffix; });
}

}  // namespace

std::uint64_t SplitMix64(std::uint64_t& state) {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::uint64_t HashText(std::uint64_t seed, const std::string& text) {
    std::uint64_t h = 0xCBF29CE484222325ull ^ seed;
    for (unsigned char c : text) h = (h ^ c) * 0x100000001B3ull;
    return SplitMix64(h);
}

Tenths TickAtOrBelow(Tenths price, bool fine) {
    for (const Band& band : fine ? kFine : kStandard) {
        if (price <= band.limit) return band.tick;
    }
    return kStandard.back().tick;
}

Tenths TickAbove(Tenths price, bool fine) {
    for (const Band& band : fine ? kFine : kStandard) {
        if (price < band.limit) return band.tick;
    }
    return kStandard.back().tick;
}

std::string FormatTenths(Tenths value, int decimals) {
    const bool negative = value < 0;
    const Tenths magnitude = negative ? -value : value;
    // Appended piece by piece: GCC 12 warns of an overlap (-Wrestrict) inside "literal" + string.
    std::string text = negative ? "-" : "";
    text += InsertSeparators(std::to_string(magnitude / kYen));
    if (decimals > 0) {
        text += '.';
        text += std::to_string(magnitude % kYen);
    }
    return text;
}

std::string FormatWithSeparators(double value, int decimals) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    std::string text(buffer);
    const bool negative = !text.empty() && text[0] == '-';
    if (negative) text.erase(0, 1);
    const auto point = text.find('.');
    const std::string whole = point == std::string::npos ? text : text.substr(0, point);
    const std::string rest = point == std::string::npos ? std::string() : text.substr(point);
    std::string formatted = negative ? "-" : "";
    formatted += InsertSeparators(whole);
    formatted += rest;
    return formatted;
}

std::int64_t TradesUntil(double secondsOfDay) {
    constexpr double kMorningEnd = 11.5 * 3600, kAfternoonStart = 12.5 * 3600, kAfternoonEnd = 15.5 * 3600;
    if (secondsOfDay < kOpenSeconds) return 0;
    const double morning = std::min(secondsOfDay, kMorningEnd) - kOpenSeconds;
    const double afternoon = std::clamp(secondsOfDay, kAfternoonStart, kAfternoonEnd) - kAfternoonStart;
    return 1 + static_cast<std::int64_t>(morning) + static_cast<std::int64_t>(afternoon);
}

void MarketSim::AddBrand(const std::string& topic, const std::string& name) { names_.emplace(topic, name); }

bool MarketSim::Serves(const std::string& topic) const {
    return names_.empty() ? ValidTopicWithoutMaster(topic) : names_.count(topic) != 0;
}

const std::vector<std::string>& MarketSim::RefreshItems() {
    static const std::vector<std::string> items(quote::kAll.begin(), quote::kAll.end());
    return items;
}

BrandQuote& MarketSim::Brand(const std::string& topic) {
    const auto found = brands_.find(topic);
    if (found != brands_.end()) return found->second;
    BrandQuote& brand = brands_[topic];
    std::uint64_t h = HashText(seed_, topic);
    brand.rng = SplitMix64(h);
    brand.fine = SplitMix64(h) % 5 == 0;
    // Previous closes spread evenly on a log scale from 50 to 20,000 yen, on a valid price.
    const double unit = static_cast<double>(SplitMix64(h) >> 11) / 9007199254740992.0;
    Tenths price = std::llround(50.0 * std::pow(400.0, unit) * kYen);
    price -= price % TickAtOrBelow(price, brand.fine);
    brand.prevClose = std::max<Tenths>(price, TickAtOrBelow(1, brand.fine));
    const auto name = names_.find(topic);
    brand.name = name != names_.end() ? name->second : "銘柄" + topic.substr(0, topic.find('.'));
    return brand;
}

void MarketSim::Advance(BrandQuote& b, std::int64_t trades) const {
    for (; b.trades < trades; ++b.trades) {
        const std::uint64_t r = SplitMix64(b.rng);
        std::int64_t shares = 0;
        int steps = 0;
        if (b.trades == 0) {
            b.last = b.prevClose;
            steps = static_cast<int>(r % 11) - 5;  // the opening gap
            shares = 100 * static_cast<std::int64_t>(50 + (r >> 8) % 500);
        } else {
            // About one second in eight moves, mostly by one tick, and drawn back towards the
            // previous close the further it strays, so a day stays within a plausible range.
            if (r % 1000 < 120) {
                const double drift = static_cast<double>(b.last - b.prevClose) / static_cast<double>(b.prevClose);
                const double up = std::clamp(0.5 - 4 * drift, 0.1, 0.9);
                steps = (r >> 32) % 8 == 0 ? 2 : 1;
                if (static_cast<double>((r >> 16) % 1000) >= up * 1000) steps = -steps;
            }
            shares = 100 * static_cast<std::int64_t>(1 + (r >> 8) % 30);
        }
        for (; steps > 0; --steps) b.last += TickAbove(b.last, b.fine);
        for (; steps < 0; ++steps) {
            const Tenths down = TickAtOrBelow(b.last, b.fine);
            if (b.last - down >= down) b.last -= down;
        }
        if (b.trades == 0) b.open = b.high = b.low = b.last;
        b.high = std::max(b.high, b.last);
        b.low = std::min(b.low, b.last);
        b.volume += shares;
        b.turnover += static_cast<double>(shares) * static_cast<double>(b.last) / kYen;
    }
}

std::string MarketSim::Quantity(const BrandQuote& brand, const std::string& topic, int side, int level) const {
    const std::uint64_t h =
        HashText(seed_ ^ (static_cast<std::uint64_t>(brand.trades) * 0x9E3779B97F4A7C15ull), topic + char('0' + side) +
                                                                                             char('0' + level));
    return FormatTenths(100 * kYen * static_cast<Tenths>(1 + h % static_cast<std::uint64_t>(20 + 30 * level)), 0);
}

std::optional<std::string> MarketSim::Value(const std::string& topic, const std::string& item, double secondsOfDay) {
    if (!Serves(topic)) return std::nullopt;
    BrandQuote& b = Brand(topic);
    Advance(b, TradesUntil(secondsOfDay));

    const bool traded = b.trades > 0;
    auto price = [&](Tenths p) { return traded ? FormatTenths(p, PriceDecimals(p, b.fine)) : std::string(" "); };
    if (item == "銘柄名称") return b.name;
    if (item == quote::kPrevClose) return FormatTenths(b.prevClose, PriceDecimals(b.prevClose, b.fine));
    if (item == quote::kOpen) return price(b.open);
    if (item == quote::kLast) return price(b.last);
    if (item == quote::kHigh) return price(b.high);
    if (item == quote::kLow) return price(b.low);
    if (item == "出来高") return traded ? FormatTenths(b.volume * kYen, 0) : " ";
    if (item == quote::kVwap)
        return traded ? FormatWithSeparators(b.turnover / static_cast<double>(b.volume), 4) : " ";
    for (int side = 0; side < 2; ++side) {
        const auto& levels = side == 0 ? quote::kAsk : quote::kBid;
        for (int level = 1; level <= kQuoteLevels; ++level) {
            if (item == levels[static_cast<std::size_t>(level - 1)]) return Quantity(b, topic, side, level);
        }
    }
    return std::nullopt;
}

std::string GarbageBytes(std::uint64_t& rng) {
    const std::uint64_t r = SplitMix64(rng);
    const std::size_t length = 512 + r % 2500;
    switch (r % 13) {
        case 0: {
            std::string digits;
            for (std::size_t i = 0; i < length; ++i) digits += static_cast<char>('0' + (i % 10));
            return digits;
        }
        case 1: {
            std::string kanji;  // "値" in CP932, and a cut one at the end
            for (std::size_t i = 0; i < length / 2; ++i) kanji += "\x92\x6C";
            return kanji + "\x92";
        }
        case 2: return "\x81\x20\xFF\x80\xA0\xFD";
        case 3: return "123\x82";
        case 4: return "NaN";
        case 5: return (r >> 8) % 2 ? "inf" : "-inf";
        case 6: return "1e309";
        case 7: return "";
        case 8: return " ";
        case 9: return std::string("12\0 34", 6);
        case 10: return "abc 1,234";
        case 11: return "\x82\x50\x82\x51\x82\x52";  // full-width 123
        default: return (r >> 8) % 2 ? "99999999999999999999999999" : "1,2,,3\t-0\r\n";
    }
}

}  // namespace norvale
