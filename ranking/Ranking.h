// The six measures of a brand, the sort keys and the sort of the display order.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "quotes/WatchTable.h"

namespace norvale {

// The items of Combo1 in list order; the index is the sort key.
inline constexpr std::array<std::string_view, 13> kSortKeyTexts = {
    "並べ替え停止",       "前日終値乖離率-昇順", "前日終値乖離率-降順", "本日始値乖離率-昇順",
    "本日始値乖離率-降順", "VWAP乖離率-昇順",     "VWAP乖離率-降順",     "本日高値乖離率-昇順",
    "本日高値乖離率-降順", "本日安値乖離率-昇順", "本日安値乖離率-降順", "気配比率-昇順",
    "気配比率-降順",
};

// Measures, recomputed by the refresh pass at the points where their inputs arrive.
// None of them ever stores an infinite or NaN value.
void RecomputeOpenAndPrevCloseDev(WatchEntry& e);  // after a valid current price
void RecomputeVwapDev(WatchEntry& e);              // after a valid VWAP
void RecomputeHighDev(WatchEntry& e);              // after a valid high
void RecomputeLowDev(WatchEntry& e);               // after a valid low
void RecomputeQuoteRatio(WatchEntry& e);           // after both quantity totals, every pass

// The measure that sortKey 1 to 12 ranks by; nullptr for any other key.
using SortMeasure = double WatchEntry::*;
SortMeasure SortMeasureOf(std::int16_t sortKey);

// Orders RowOrder[0..EntryCount-1] by the absolute value of the measure of sortKey with the
// exchange sort, ties included, starting from the entries' own order. Key 0 leaves RowOrder
// untouched; a key outside 0..12 leaves the entries' own order. Writes no other slot.
void SortRows(WatchTable& table, std::int16_t sortKey);

}  // namespace norvale
