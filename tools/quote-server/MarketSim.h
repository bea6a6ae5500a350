// A seeded market of the stand-in quote server: every brand's day from its previous close on.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace norvale {

// Prices are held in tenths of a yen, so every tick of both tables is a whole number.
using Tenths = std::int64_t;

// The exchange's tick for a price: the step from price down to the next lower valid price.
// fine selects the table of the most traded brands, whose small prices move by 0.1 and 0.5 yen.
Tenths TickAtOrBelow(Tenths price, bool fine);
// The step from price up to the next higher valid price (the tick of the band above a band limit).
Tenths TickAbove(Tenths price, bool fine);

// "2,345", "812.3", "1,234,500": thousands separators, the given number of decimals.
std::string FormatTenths(Tenths value, int decimals);
std::string FormatWithSeparators(double value, int decimals);

// The trading clock: the morning session 09:00-11:30 and the afternoon 12:30-15:30.
inline constexpr int kOpenSeconds = 9 * 3600;
// Trades up to secondsOfDay: none before the open, the opening trade at 09:00:00, then one per
// second of a session.
std::int64_t TradesUntil(double secondsOfDay);

struct BrandQuote {
    std::string name;
    bool fine = false;
    Tenths prevClose = 0;
    Tenths open = 0, last = 0, high = 0, low = 0;
    std::int64_t volume = 0;  // shares
    double turnover = 0;      // yen, for the VWAP
    std::int64_t trades = 0;
    std::uint64_t rng = 0;
};

class MarketSim {
public:
    explicit MarketSim(std::uint64_t seed) : seed_(seed) {}

    // Serves code.suffix for each brand; without any brand every code of up to four digits, and every
    // code with letters written in capitals, on the four markets.
    void AddBrand(const std::string& topic, const std::string& name);
    [[nodiscard]] bool Serves(const std::string& topic) const;
    // The item's text at secondsOfDay as the server writes it (UTF-8); a single blank for a value
    // that does not exist yet; nullopt for an item the server does not know or a topic not served.
    [[nodiscard]] std::optional<std::string> Value(const std::string& topic, const std::string& item,
                                                   double secondsOfDay);

    // The refresh pass's items, in the pass's order.
    static const std::vector<std::string>& RefreshItems();

private:
    BrandQuote& Brand(const std::string& topic);
    void Advance(BrandQuote& brand, std::int64_t trades) const;
    std::string Quantity(const BrandQuote& brand, const std::string& topic, int side, int level) const;

    std::uint64_t seed_;
    std::map<std::string, std::string> names_;  // topic -> brand name
    std::map<std::string, BrandQuote> brands_;
};

// One reply of the garbage mode: raw bytes that a broken server might send (not always CP932).
std::string GarbageBytes(std::uint64_t& rng);

std::uint64_t SplitMix64(std::uint64_t& state);
std::uint64_t HashText(std::uint64_t seed, const std::string& text);

}  // namespace norvale
