// The ranking table: header, rows in display order, the selection band and the ratio bars.
#include "ranking/DrawTable.h"

#include <algorithm>
#include <cmath>

#include "ranking/NumberFormat.h"
#include "ranking/PrintCell.h"

namespace norvale {

namespace {

constexpr int kBarColumn = 111;
constexpr std::size_t kBrandNameChars = 9;

// Red above the reference, blue below, black at equality.
Rgb AgainstReference(double last, double reference) {
    if (last > reference) return kRed;
    if (last < reference) return kBlue;
    return kBlack;
}

void Border(Surface& s, const TableColumn& column, int top, int bottom) {
    s.Line(column.BorderX(), top, column.BorderX(), bottom, kBlack);
}

void DrawRow(Surface& s, const WatchEntry& e, int r) {
    const int top = kRowHeight * r - 1;
    const int bottom = kRowHeight * r + 11;
    const auto& c = kTableColumns;
    auto cell = [&](int k, std::string_view text, Rgb main) {
        PrintCell(s, c[k].start, r, text, main, kWhite);
        Border(s, c[k], top, bottom);
    };
    auto price = [&](double v) { return PadLeft(FormatGrouped(v), 9); };
    auto rate = [&](double v) { return PadLeft(FormatFixed2(v), 6); };

    cell(0, e.codeText, kBlack);
    cell(1, LeftChars(e.brandName, kBrandNameChars), kBlack);

    // The arrow goes on the blanks in front of the price, before the column's border.
    std::string_view arrow = "→";
    Rgb tickColour = kBlack;
    switch (e.move) {
        case PriceMove::None: break;
        case PriceMove::Rose:
            arrow = "↑";
            tickColour = kRed;
            break;
        case PriceMove::Fell:
            arrow = "↓";
            tickColour = kBlue;
            break;
    }
    PrintCell(s, c[2].start, r, PadLeft(FormatGrouped(e.last), 12), tickColour, kWhite);
    PrintCell(s, c[2].start, r, arrow, tickColour, tickColour);
    Border(s, c[2], top, bottom);

    cell(3, price(e.prevClose), AgainstReference(e.last, e.prevClose));
    cell(4, rate(e.prevCloseDev), kBlack);
    cell(5, price(e.open), AgainstReference(e.last, e.open));
    cell(6, rate(e.openDev), kBlack);
    cell(7, price(e.vwap), AgainstReference(e.last, e.vwap));
    cell(8, rate(e.vwapDev), kBlack);
    cell(9, price(e.high), e.last >= e.high ? kRed : kBlue);
    cell(10, rate(e.highDev), kBlack);
    cell(11, price(e.low), e.last > e.low ? kRed : kBlue);
    cell(12, rate(e.lowDev), kBlack);
    cell(13, PadLeft(FormatGrouped(e.askQtyTotal), 12), kBlack);
    cell(14, PadLeft(FormatGrouped(e.bidQtyTotal), 12), kBlack);

    // Quote-ratio bar: red for the whole bar, then blue from the left for the ask side's share.
    const int x0 = kColumnUnit * kBarColumn;
    s.FillRect(x0 + 1, kRowHeight * r, x0 + 80, kRowHeight * r + 10, kRed);
    s.FillRect(x0 + 1, kRowHeight * r, BarBlueRight(e.quoteRatio), kRowHeight * r + 10, kBlue);
    cell(15, PadLeft(FormatFixed2(e.quoteRatio), 13), kWhite);
}

}  // namespace

int BarBlueRight(double quoteRatio) {
    double q = std::isfinite(quoteRatio) ? quoteRatio : 0;
    q = q < 0 ? 0 : (q > 100 ? 100 : q);
    return kColumnUnit * kBarColumn - 1 + static_cast<int>(std::lround(0.8 * (100 - q)));
}

int RowsThatFit(double surfaceHeight) {
    int rows = 0;
    while (rows < kMaxEntries && surfaceHeight >= kRowHeight * (rows + 1 + 4)) ++rows;
    return rows;
}

void DrawTable(Surface& surface, StatusBar& statusBar, const WatchTable& table, const RowSelection& selection) {
    surface.SetPersistent(true);

    const int w = surface.Width();
    surface.FillRect(-1, -1, w, 11, kHeaderGreen);
    for (const TableColumn& column : kTableColumns) {
        PrintCell(surface, column.start, 0, column.header, kBlack, kWhite);
        Border(surface, column, -1, 11);
    }

    const int rows = std::min(table.Count(), RowsThatFit(surface.Height()));
    for (int i = 0; i < rows; ++i) {
        const int r = i + 1;
        const int e = table.SlotInRow(i);
        Rgb band = kWhite;
        if (table.MarkedForRemoval(e)) {
            band = kBlack;
        } else if (i == selection.Row()) {
            band = kYellow;
        }
        surface.FillRect(-1, kRowHeight * r - 1, w, kRowHeight * r + 11, band);
        surface.OutlineRect(-1, kRowHeight * r - 1, w, kRowHeight * r + 11, kBlack);
        DrawRow(surface, table.Entry(e), r);
    }

    statusBar.SetPanel(StatusPanel::BrandCount, "銘柄数:" + SignPlace(table.Count()) + "/" + SignPlace(kMaxEntries));
}

}  // namespace norvale
