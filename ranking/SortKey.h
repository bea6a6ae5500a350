// The sort key: the measure the rows are ranked by and the direction, as chosen in the list.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "table/WatchEntry.h"

namespace norvale {

enum class SortMeasure : std::int8_t {
    None,        // no sorting: the rows stay as they are
    PrevCloseDev,
    OpenDev,
    VwapDev,
    HighDev,
    LowDev,
    QuoteRatio,
    EntryOrder,  // nothing selected in the list: the rows go back to the entries' own order
};
enum class SortDirection : std::int8_t { Ascending, Descending };

// The texts of the sort-key list in list order.
inline constexpr std::array<std::string_view, 13> kSortKeyTexts = {
    "並べ替え停止",       "前日終値乖離率-昇順", "前日終値乖離率-降順", "本日始値乖離率-昇順",
    "本日始値乖離率-降順", "VWAP乖離率-昇順",     "VWAP乖離率-降順",     "本日高値乖離率-昇順",
    "本日高値乖離率-降順", "本日安値乖離率-昇順", "本日安値乖離率-降順", "気配比率-昇順",
    "気配比率-降順",
};

struct SortKey {
    SortMeasure measure = SortMeasure::None;
    SortDirection direction = SortDirection::Ascending;

    // The key of a list index: 0 no sorting, then each measure ascending and descending;
    // any other index (-1 when nothing is selected) the entries' own order.
    static constexpr SortKey FromListIndex(int index) {
        if (index == 0) return {};
        if (index < 0 || index >= static_cast<int>(kSortKeyTexts.size())) return {SortMeasure::EntryOrder};
        return {static_cast<SortMeasure>((index + 1) / 2),
                index % 2 == 1 ? SortDirection::Ascending : SortDirection::Descending};
    }
    friend constexpr bool operator==(const SortKey&, const SortKey&) = default;
};

// The field of an entry that a measure ranks by; nullptr for None and EntryOrder.
using MeasureField = double WatchEntry::*;
MeasureField FieldOf(SortMeasure measure);

}  // namespace norvale
