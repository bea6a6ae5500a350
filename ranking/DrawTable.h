// Drawing of the ranking table on the table surface and of the brand-count panel.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "platform/Rgb.h"
#include "platform/StatusBar.h"
#include "platform/Surface.h"
#include "table/RowSelection.h"
#include "table/WatchTable.h"

namespace norvale {

inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kHeaderGreen{200, 255, 200};
inline constexpr Rgb kRed{255, 0, 0};
inline constexpr Rgb kBlue{0, 0, 255};
inline constexpr Rgb kYellow{255, 255, 0};

// One column of the table: its header, first layout column and width in layout columns.
struct TableColumn {
    std::string_view header;
    int start;
    int width;
    constexpr int BorderX() const { return 8 * (start + width); }
};

inline constexpr std::array<TableColumn, 16> kTableColumns = {{
    {"ｺｰﾄﾞ", 0, 4},        {"銘柄", 4, 15},       {"現在値", 19, 9},      {"前日終値", 28, 7},
    {"乖離率", 35, 6},     {"本日始値", 41, 7},   {"乖離率", 48, 6},      {"VWAP", 54, 7},
    {"乖離率", 61, 6},     {"本日高値", 67, 7},   {"乖離率", 74, 6},      {"本日安値", 80, 7},
    {"乖離率", 87, 6},     {"売気配数量", 93, 9}, {"買気配数量", 102, 9}, {"気配比率", 111, 10},
}};

// How many data rows a surface of this overall height shows: a row needs four rows of room below
// its top, on the unrounded height (the surface reaches down under the status bar).
int RowsThatFit(double surfaceHeight);

// Draws the whole table over what the surface shows (without clearing it) and sets the
// brand-count panel: the header, then the rows in display order while they fit the surface's
// height. A row marked for removal is black; otherwise the selection's row is yellow.
void DrawTable(Surface& surface, StatusBar& statusBar, const WatchTable& table, const RowSelection& selection);

// Right x of the blue (ask side) part of the quote-ratio bar for ratio q, to the nearest pixel.
// A ratio outside 0..100 (only from bad quantities) is held to that range.
int BarBlueRight(double quoteRatio);

}  // namespace norvale
