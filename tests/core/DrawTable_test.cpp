// The ranking table as drawn on a recording surface: header, rows, colours, bar, bands.
#include "ranking/DrawTable.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/fake/FakeStatusBar.h"
#include "platform/fake/FakeSurface.h"

namespace norvale {
namespace {

constexpr Rgb kG{200, 255, 200}, kK{0, 0, 0}, kW{255, 255, 255}, kR{255, 0, 0}, kB{0, 0, 255}, kY{255, 255, 0};

SurfaceOp T(int x, int y, std::string text, Rgb c) { return {SurfaceOp::Text, x, y, 0, 0, c, std::move(text)}; }
SurfaceOp L(int x, int y1, int y2) { return {SurfaceOp::Line, x, y1, x, y2, kK, {}}; }
SurfaceOp F(int x1, int y1, int x2, int y2, Rgb c) { return {SurfaceOp::Fill, x1, y1, x2, y2, c, {}}; }
SurfaceOp O(int x1, int y1, int x2, int y2) { return {SurfaceOp::Outline, x1, y1, x2, y2, kK, {}}; }

std::vector<SurfaceOp> Slice(const std::vector<SurfaceOp>& ops, std::size_t from, std::size_t count) {
    if (from >= ops.size()) return {};
    return {ops.begin() + static_cast<long>(from), ops.begin() + static_cast<long>(std::min(ops.size(), from + count))};
}

struct Drawing {
    std::unique_ptr<WatchTable> table = std::make_unique<WatchTable>();
    FakeSurface surface;
    FakeStatusBar status;
    TableView view;
    void Draw() { DrawTable(surface, status, *table, view); }
    std::vector<SurfaceOp> Of(SurfaceOp::Kind kind) const {
        std::vector<SurfaceOp> out;
        for (const auto& op : surface.ops) if (op.kind == kind) out.push_back(op);
        return out;
    }
    // Band fills of the data rows, top to bottom.
    std::vector<SurfaceOp> Bands() const {
        std::vector<SurfaceOp> out;
        for (const auto& op : surface.ops) {
            if (op.kind == SurfaceOp::Fill && op.x1 == -1 && op.y1 > 0) out.push_back(op);
        }
        return out;
    }
};

using Ops = std::vector<SurfaceOp>;
constexpr int kColumnRight[] = {32, 152, 224, 280, 328, 384, 432, 488, 536, 592, 640, 696, 744, 816, 888, 968};

// The cells of a line at y, left to right: the text over its white shadow one pixel to the right,
// then the column's right line; `around` holds what a column draws before and after its text.
Ops Cells(int y, const std::vector<std::pair<std::string, Rgb>>& cells, std::map<std::size_t, std::pair<Ops, Ops>> around = {}) {
    Ops out;
    int x = 1;
    for (std::size_t k = 0; k < cells.size(); x = kColumnRight[k++] + 1) {
        const auto& [before, after] = around[k];
        out.insert(out.end(), before.begin(), before.end());
        out.push_back(T(x + 1, y, cells[k].first, kW));
        out.push_back(T(x, y, cells[k].first, cells[k].second));
        out.insert(out.end(), after.begin(), after.end());
        out.push_back(L(kColumnRight[k], y - 1, y + 11));
    }
    return out;
}

Ops Header() {
    Ops out = {{SurfaceOp::Persistent, 1, 0, 0, 0, {}, {}}, F(-1, -1, 1000, 11, kG)};
    std::vector<std::pair<std::string, Rgb>> titles;
    for (const char* t : {"ｺｰﾄﾞ", "銘柄", "現在値", "前日終値", "乖離率", "本日始値", "乖離率", "VWAP", "乖離率",
                          "本日高値", "乖離率", "本日安値", "乖離率", "売気配数量", "買気配数量", "気配比率"})
        titles.emplace_back(t, kK);
    const Ops cells = Cells(0, titles);
    out.insert(out.end(), cells.begin(), cells.end());
    return out;
}
const Ops kHeader = Header();

TEST(DrawTable, HeaderAndOneFullRowExactly) {
    Drawing d;
    d.surface.width = 1000;
    d.surface.height = 71.9;  // room for row 1 only
    d.table->EntryCount = 2;
    d.table->RowOrder[0] = 1;
    d.table->RowOrder[1] = 0;
    WatchEntry& e = d.table->entries[1];
    e.codeText = "7203";
    e.brandName = "トヨタ自動車株式会社です";
    e.last = 1234567;
    e.move = PriceMove::Rose;
    e.prevClose = 1234567;  // equal: black
    e.prevCloseDev = -2.5;
    e.open = 1000;
    e.openDev = 0.005;
    e.vwap = 2000000;
    e.vwapDev = -38.2716;
    e.high = 1234567;  // equal: red
    e.low = 1234567;   // equal: blue
    e.lowDev = 1.005;
    e.askQtyTotal = 1234.5;
    e.bidQtyTotal = 0.4;
    e.quoteRatio = 75;
    d.view.ClickY = 12;  // first pixel line of row 1
    d.Draw();

    EXPECT_EQ(Slice(d.surface.ops, 0, kHeader.size()), kHeader);
    Ops row = {F(-1, 11, 1000, 23, kY), O(-1, 11, 1000, 23)};
    const Ops cells = Cells(
        12,
        {{"7203", kK}, {"トヨタ自動車株式会", kK}, {"   1,234,567", kR}, {"1,234,567", kK}, {" -2.50", kK},
         {"    1,000", kR}, {"  0.01", kK}, {"2,000,000", kB}, {"-38.27", kK}, {"1,234,567", kR}, {"  0.00", kK},
         {"1,234,567", kB}, {"  1.01", kK}, {"       1,235", kK}, {"            ", kK}, {"        75.00", kW}},
        {{2, {{}, {T(154, 12, "↑", kR), T(153, 12, "↑", kR)}}},
         {15, {{F(889, 12, 968, 22, kR), F(889, 12, 907, 22, kB)}, {}}}});
    row.insert(row.end(), cells.begin(), cells.end());
    EXPECT_EQ(Slice(d.surface.ops, kHeader.size(), 1000), row);
    EXPECT_EQ(d.view.SelectedEntry, 1);
    EXPECT_EQ(d.status.Panel(StatusPanel::BrandCount), "銘柄数: 2/ 1000");
    EXPECT_FALSE(d.view.drawing);
}

// The colours against close, open and VWAP, and at equality, are pinned by the full row above.
TEST(DrawTable, EntryWithoutQuotesAFallAndAPriceBetweenHighAndLow) {
    Drawing d;
    d.table->EntryCount = 2;
    d.table->entries[0].codeText = "1301";  // no quotes at all
    WatchEntry& fell = d.table->entries[1];
    fell.last = 500;
    fell.move = PriceMove::Fell;
    fell.high = 600;
    fell.low = 400;
    d.Draw();

    // Every rate reads "  0.00" in black, the numbers without a value are blank, the bar is
    // nearly all blue; the price against the high and low, and the rest against the price.
    auto row = [](int y, const char* code, const std::string& last, const char* arrow, Rgb move, Rgb others,
                  const std::string& high, Rgb highColour, const std::string& low, Rgb lowColour) {
        const std::string b9(9, ' '), b12(12, ' '), zero = "  0.00";
        Ops out = {F(-1, y - 1, 809, y + 11, kW), O(-1, y - 1, 809, y + 11)};
        const Ops cells = Cells(y,
                                {{code, kK}, {"", kK}, {last, move}, {b9, others}, {zero, kK}, {b9, others}, {zero, kK},
                                 {b9, others}, {zero, kK}, {high, highColour}, {zero, kK}, {low, lowColour},
                                 {zero, kK}, {b12, kK}, {b12, kK}, {"         0.00", kW}},
                                {{2, {{}, {T(154, y, arrow, move), T(153, y, arrow, move)}}},
                                 {15, {{F(889, y, 968, y + 10, kR), F(889, y, 967, y + 10, kB)}, {}}}});
        out.insert(out.end(), cells.begin(), cells.end());
        return out;
    };
    Ops rows = row(12, "1301", std::string(12, ' '), "→", kK, kK, std::string(9, ' '), kR, std::string(9, ' '), kB);
    const Ops down = row(24, "", "         500", "↓", kB, kR, "      600", kB, "      400", kR);
    rows.insert(rows.end(), down.begin(), down.end());
    EXPECT_EQ(Slice(d.surface.ops, kHeader.size(), 1000), rows);
}

TEST(DrawTable, QuoteRatioBarSplit) {
    const std::vector<std::pair<double, int>> cases = {{0, 967}, {50, 927}, {75, 907}, {100, 887},
                                                       {99.375, 888}, {-20, 967}, {250, 887}};
    for (const auto& [q, blueRight] : cases) {
        Drawing d;
        d.table->EntryCount = 1;
        d.table->entries[0].quoteRatio = q;
        d.Draw();
        const auto fills = d.Of(SurfaceOp::Fill);
        ASSERT_EQ(fills.size(), 4u);
        EXPECT_EQ(fills[2], F(889, 12, 968, 22, kR)) << q;
        EXPECT_EQ(fills[3], F(889, 12, blueRight, 22, kB)) << q;
    }
}

TEST(DrawTable, RowsAreCutByTheUnroundedHeight) {
    const std::vector<std::pair<double, std::size_t>> cases = {
        {529, 40}, {528, 40}, {527.9, 39}, {60, 1}, {59.99, 0}, {11, 0}, {0, 0}, {12047.9, 999}, {12048, 1000}};
    for (const auto& [h, rows] : cases) {
        Drawing d;
        d.table->EntryCount = 1000;
        d.surface.height = h;
        d.Draw();
        EXPECT_EQ(d.Of(SurfaceOp::Outline).size(), rows) << h;
        EXPECT_EQ(d.Of(SurfaceOp::Fill).front(), F(-1, -1, 809, 11, kG));
        EXPECT_EQ(d.status.Panel(StatusPanel::BrandCount), "銘柄数: 1000/ 1000");
    }
    Drawing none;
    none.Draw();
    EXPECT_EQ(none.surface.ops.size(), kHeader.size());
    EXPECT_EQ(none.status.Panel(StatusPanel::BrandCount), "銘柄数: 0/ 1000");
}

TEST(DrawTable, BandsShowTheSelectionOnARowAndAPendingRemovalBeforeIt) {
    struct Case {
        int clickY, entries;
        double height;
        std::int16_t deleteTarget;
        PendingRemoval removal;
        const char* bands;  // top to bottom: White, Yellow, blacK
        int selected;
    };
    constexpr auto kNone = PendingRemoval::None, kAfter = PendingRemoval::AfterPass;
    const Case cases[] = {
        {35, 4, 529, 0, kNone, "WYWW", 2},  // the last pixel line of row 2, which shows entry 2
        {35, 4, 529, 2, kAfter, "WKWW", -1},  // a row marked for removal is not selected
        {35, 4, 529, 0, kAfter, "WYWK", 2},
        {35, 4, 529, 0, PendingRemoval::Removing, "WYWW", 2},  // under way: no longer shown black
        // The header, below the rows, below the surface; below the last drawn row although
        // entries remain that do not fit.
        {0, 4, 529, 0, kNone, "WWWW", -1}, {11, 4, 529, 0, kNone, "WWWW", -1}, {60, 4, 529, 0, kNone, "WWWW", -1},
        {61, 4, 529, 0, kNone, "WWWW", -1}, {500, 4, 529, 0, kNone, "WWWW", -1}, {600, 4, 529, 0, kNone, "WWWW", -1},
        {40, 10, 72, 0, kNone, "WW", -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "click " << c.clickY << ", target " << c.deleteTarget);
        Drawing d;
        d.table->EntryCount = static_cast<std::int16_t>(c.entries);
        for (int r = 0; r < c.entries; ++r) d.table->RowOrder[r] = static_cast<std::int16_t>(c.entries - 1 - r);
        d.surface.height = c.height;
        d.table->DeleteTarget = c.deleteTarget;
        d.table->removal = c.removal;
        d.view.ClickY = c.clickY;
        d.view.SelectedEntry = 3;  // left from an earlier drawing
        d.Draw();
        Ops bands;
        for (int k = 0; c.bands[k] != '\0'; ++k) {
            bands.push_back(F(-1, 11 + 12 * k, 809, 23 + 12 * k, c.bands[k] == 'Y' ? kY : c.bands[k] == 'K' ? kK : kW));
        }
        EXPECT_EQ(d.Bands(), bands);
        EXPECT_EQ(d.view.SelectedEntry, c.selected);
    }
}

TEST(DrawTable, ABusyDrawingReturnsAtOnce) {
    Drawing d;
    d.table->EntryCount = 3;
    d.view.drawing = true;
    d.view.SelectedEntry = 2;
    d.Draw();
    EXPECT_TRUE(d.surface.ops.empty());
    EXPECT_TRUE(d.status.writes.empty());
    EXPECT_EQ(d.view.SelectedEntry, 2);
    EXPECT_TRUE(d.view.drawing);
}

}  // namespace
}  // namespace norvale
