// One watched brand's record: who it is, what the quote server last said of it, and its measures.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "table/BrandCode.h"

namespace norvale {

inline constexpr int kMaxEntries = 1000;
inline constexpr int kQuoteLevels = 8;

// The direction of the last change of the current price, for the arrow in front of it.
enum class PriceMove : std::int8_t { None, Rose, Fell };

// Who a newly watched brand is, as the brand master and its market give it.
struct WatchedBrand {
    BrandCode code;
    std::string codeText;      // as the master writes it
    std::string brandName;
    std::string marketSuffix;  // of the DDE topic: "t", "os", "q" or "oj"
};

// Texts are held as UTF-8. A text that is empty or a single blank has no value; its number then
// keeps what it last held (0 for a new entry). Only the watch table writes an entry.
struct WatchEntry {
    BrandCode code;
    std::string topic;
    double quoteRatio = 0;
    std::string codeText;
    std::string marketSuffix;
    std::string brandName;
    std::string lastText;
    double last = 0;
    double prevLast = 0;
    PriceMove move = PriceMove::None;  // None until a second price differs from the first
    std::string prevCloseText;
    double prevClose = 0;
    double prevCloseDev = 0;
    std::string vwapText;
    double vwap = 0;
    double vwapDev = 0;
    std::string openText;
    double open = 0;
    double openDev = 0;
    std::string highText;
    double high = 0;
    double highDev = 0;
    std::string lowText;
    double low = 0;
    double lowDev = 0;
    std::array<std::string, kQuoteLevels> askQtyText;  // levels 1 to 8 at 0 to 7
    std::array<double, kQuoteLevels> askQty{};
    double askQtyTotal = 0;
    std::array<std::string, kQuoteLevels> bidQtyText;
    std::array<double, kQuoteLevels> bidQty{};
    double bidQtyTotal = 0;
};

}  // namespace norvale
