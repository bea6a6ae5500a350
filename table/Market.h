// The markets a brand can be watched on: the suffix of its DDE topic and the quote levels asked of it.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "table/BrandCode.h"
#include "table/WatchEntry.h"

namespace norvale {

struct Market {
    std::string_view name;    // as the brand master writes it
    std::string_view suffix;  // of the DDE topic
    int quoteLevels;          // best ask and bid levels the quote server has for its brands
};

inline constexpr int kCommonLevels = 5;
inline constexpr std::array<Market, 4> kMarkets = {{
    {"東証", "t", kCommonLevels},
    {"大証", "os", kCommonLevels},
    {"JASDAQ", "q", kCommonLevels},
    {"HC", "oj", kQuoteLevels},
}};

// The suffix of a market name, compared exactly; nullopt for a market that cannot be watched.
std::optional<std::string> MarketSuffix(std::string_view marketName);

// The quote levels asked of a brand with this suffix: 8 on "oj", 5 on any other.
int QuoteLevels(std::string_view suffix);

// The DDE topic of a brand: BrandCode::TopicStem, ".", the market suffix (13010 on "t" is
// asked for as "3010.t", 130A as "130A.t").
std::string TopicOf(BrandCode code, std::string_view suffix);

}  // namespace norvale
