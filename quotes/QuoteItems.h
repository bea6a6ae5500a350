// The items the quote server is asked for, as it names them; the level digits are full-width.
#pragma once

#include <array>
#include <string_view>

#include "table/WatchEntry.h"

namespace norvale::quote {

inline constexpr std::string_view kOpen = "始値";
inline constexpr std::string_view kPrevClose = "前日終値";
inline constexpr std::string_view kLast = "現在値";
inline constexpr std::string_view kVwap = "出来高加重平均";
inline constexpr std::string_view kHigh = "高値";
inline constexpr std::string_view kLow = "安値";
inline constexpr std::array<std::string_view, kQuoteLevels> kAsk = {
    "最良売気配数量１", "最良売気配数量２", "最良売気配数量３", "最良売気配数量４",
    "最良売気配数量５", "最良売気配数量６", "最良売気配数量７", "最良売気配数量８"};
inline constexpr std::array<std::string_view, kQuoteLevels> kBid = {
    "最良買気配数量１", "最良買気配数量２", "最良買気配数量３", "最良買気配数量４",
    "最良買気配数量５", "最良買気配数量６", "最良買気配数量７", "最良買気配数量８"};

// Every item: the six prices, then the ask and the bid levels.
inline constexpr std::array<std::string_view, 22> kAll = {
    kOpen, kPrevClose, kLast, kVwap, kHigh, kLow,
    kAsk[0], kAsk[1], kAsk[2], kAsk[3], kAsk[4], kAsk[5], kAsk[6], kAsk[7],
    kBid[0], kBid[1], kBid[2], kBid[3], kBid[4], kBid[5], kBid[6], kBid[7]};

}  // namespace norvale::quote
