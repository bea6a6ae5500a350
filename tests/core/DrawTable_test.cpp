// The ranking table as drawn on a recording surface: header, rows, colours, bar, bands.
#include "ranking/DrawTable.h"

#include <gtest/gtest.h>

#include "tests/common/TableBuilder.h"
#include "tests/fakes/FakePlatform.h"

namespace norvale {
namespace {

constexpr Rgb kG{200, 255, 200}, kK{0, 0, 0}, kW{255, 255, 255}, kR{255, 0, 0}, kB{0, 0, 255}, kY{255, 255, 0};

SurfaceOp T(int x, int y, std::string text, Rgb c) { return {SurfaceOp::Text, x, y, 0, 0, c, std::move(text)}; }
SurfaceOp L(int x, int y1, int y2) { return {SurfaceOp::Line, x, y1, x, y2, kK, {}}; }
SurfaceOp F(int x1, int y1, int x2, int y2, Rgb c) { return {SurfaceOp::Fill, x1, y1, x2, y2, c, {}}; }
SurfaceOp O(int x1, int y1, int x2, int y2) { return {SurfaceOp::Outline, x1, y1, x2, y2, kK, {}}; }

// The table drawn as the window draws it: the selection settled on the rows shown, then the drawing.
struct Drawing {
    FakeSurface surface;
    FakeStatusBar status;
    RowSelection selection;
    void Draw(const WatchTable& table, int clickY = 0) {
        selection.Clicked(clickY);
        selection.Settle(table, RowsThatFit(surface.height));
        DrawTable(surface, status, table, selection);
    }
};

using Ops = std::vector<SurfaceOp>;
Ops operator+(Ops a, const Ops& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
constexpr int kColumnRight[] = {32, 152, 224, 280, 328, 384, 432, 488, 536, 592, 640, 696, 744, 816, 888, 968};

// The cells of a line at y, left to right: the text over its white shadow one pixel to the right,
// then the column's right line; `around` holds what a column draws before and after its text.
Ops Cells(int y, const std::vector<std::pair<std::string, Rgb>>& cells, std::map<std::size_t, std::pair<Ops, Ops>> around = {}) {
    Ops out;
    int x = 1;
    for (std::size_t k = 0; k < cells.size(); x = kColumnRight[k++] + 1) {
        const auto& [before, after] = around[k];
        out = out + before + Ops{T(x + 1, y, cells[k].first, kW), T(x, y, cells[k].first, cells[k].second)} + after +
              Ops{L(kColumnRight[k], y - 1, y + 11)};
    }
    return out;
}

// A data row at y: its band and outline up to `right`, the cells, the arrow drawn after the price and
// the ratio bar, blue up to blueRight, before the ratio.
Ops DataRow(int y, Rgb band, int right, const std::vector<std::pair<std::string, Rgb>>& cells, const char* arrow,
            Rgb arrowColour, int blueRight) {
    return Ops{F(-1, y - 1, right, y + 11, band), O(-1, y - 1, right, y + 11)} +
           Cells(y, cells,
                 {{2, {{}, {T(154, y, arrow, arrowColour), T(153, y, arrow, arrowColour)}}},
                  {15, {{F(889, y, 968, y + 10, kR), F(889, y, blueRight, y + 10, kB)}, {}}}});
}

// The header across a surface `width` pixels wide.
Ops Header(int width = 809) {
    std::vector<std::pair<std::string, Rgb>> titles;
    for (const char* t : {"ｺｰﾄﾞ", "銘柄", "現在値", "前日終値", "乖離率", "本日始値", "乖離率", "VWAP", "乖離率",
                          "本日高値", "乖離率", "本日安値", "乖離率", "売気配数量", "買気配数量", "気配比率"})
        titles.emplace_back(t, kK);
    return Ops{{SurfaceOp::Persistent, 1, 0, 0, 0, {}, {}}, F(-1, -1, width, 11, kG)} + Cells(0, titles);
}

TEST(DrawTable, HeaderAndOneFullRowExactly) {
    Drawing d;
    d.surface.width = 1000;
    d.surface.height = 71.9;  // room for row 1 only
    using enum PriceItem;
    const auto table = test::TableBuilder()
                           .Brand("1301")
                           .Brand("7203", "トヨタ自動車株式会社です")
                           .Price(PrevClose, "1,200,000")  // above the price: blue
                           .Price(Open, "1,000,000")       // below: red
                           .Price(Last, "1,160,000")
                           .Price(Last, "1,170,000")  // a rise
                           .Price(Vwap, "1,170,000")  // equal: black
                           .Price(High, "1,170,000")  // equal: red
                           .Price(Low, "1,170,000")   // equal: blue
                           .Quantities("1234.5", "3703.5")
                           .Reversed()
                           .Build();
    d.Draw(*table, 12);  // the first pixel line of row 1

    EXPECT_EQ(d.surface.ops,
              Header(1000) + DataRow(12, kY, 1000,
                      {{"7203", kK}, {"トヨタ自動車株式会", kK}, {"   1,170,000", kR}, {"1,200,000", kB}, {" -2.50", kK},
                       {"1,000,000", kR}, {" 17.00", kK}, {"1,170,000", kK}, {"  0.00", kK}, {"1,170,000", kR},
                       {"  0.00", kK}, {"1,170,000", kB}, {"  0.00", kK}, {"       1,235", kK}, {"       3,704", kK},
                       {"        75.00", kW}},
                      "↑", kR, 907));
    EXPECT_EQ(std::tuple(d.selection.Entry(), d.status.Panel(StatusPanel::BrandCount)), std::tuple(1, "銘柄数: 2/ 1000"));
}

// The colours against close, open and VWAP, and at equality, are pinned by the full row above.
TEST(DrawTable, EntryWithoutQuotesAFallAndAPriceBetweenHighAndLow) {
    Drawing d;
    using enum PriceItem;
    const auto table = test::TableBuilder()
                           .Brand("1301", "東洋")  // no quotes at all
                           .Brand("1332", "日水")
                           .Price(Last, "600")
                           .Price(Last, "500")
                           .Price(High, "600")
                           .Price(Low, "400")
                           .Build();
    d.Draw(*table);

    // The rates without a reference read "  0.00" in black, the numbers without a value are blank,
    // the bar is nearly all blue; the price against the high and low, and the rest against the price.
    const std::string b9(9, ' '), b12(12, ' '), zero = "  0.00", ratio = "         0.00";
    EXPECT_EQ(d.surface.ops,
              Header() +
                  DataRow(12, kW, 809,
                          {{"1301", kK}, {"東洋", kK}, {b12, kK}, {b9, kK}, {zero, kK}, {b9, kK}, {zero, kK}, {b9, kK},
                           {zero, kK}, {b9, kR}, {zero, kK}, {b9, kB}, {zero, kK}, {b12, kK}, {b12, kK}, {ratio, kW}},
                          "→", kK, 967) +
                  DataRow(24, kW, 809,
                          {{"1332", kK}, {"日水", kK}, {"         500", kB}, {b9, kR}, {zero, kK}, {b9, kR}, {zero, kK},
                           {b9, kR}, {zero, kK}, {"      600", kB}, {"-16.67", kK}, {"      400", kR}, {" 25.00", kK},
                           {b12, kK}, {b12, kK}, {ratio, kW}},
                          "↓", kB, 967));
}

TEST(DrawTable, RowsAreCutByTheUnroundedHeight) {
    const auto table = test::TableBuilder().Brands(1000).Build();
    for (const auto& [h, rows] : {std::pair{528., 40}, {527.9, 39}, {59.99, 0}, {12048., 1000}}) {
        Drawing d;
        d.surface.height = h;
        d.Draw(*table);
        EXPECT_EQ(std::tuple(d.surface.Count(SurfaceOp::Outline), d.status.Panel(StatusPanel::BrandCount)),
                  std::tuple(rows, "銘柄数: 1000/ 1000"))
            << h;
    }
    Drawing none;
    none.Draw(WatchTable());
    EXPECT_EQ(std::tuple(none.surface.ops, none.status.Panel(StatusPanel::BrandCount)), std::tuple(Header(), "銘柄数: 0/ 1000"));
}

// Shown in reverse, row r holds slot n - 1 - r. A selection left from an earlier drawing goes.
TEST(DrawTable, BandsShowTheSelectionOnARowAndAPendingRemovalBeforeIt) {
    // marked -1: none; bands top to bottom: White, Yellow, blacK.
    struct Case { int clickY, entries; double height; int marked; const char* bands; int selected; };
    const Case cases[] = {
        {35, 4, 529, -1, "WYWW", 2},  // the last pixel line of row 2, which shows entry 2
        {35, 4, 529, 2, "WKWW", -1},  // a row marked for removal is not selected
        {35, 4, 529, 0, "WYWK", 2},
        // The header, below the rows; below the last drawn row although entries remain that do not fit.
        {11, 4, 529, -1, "WWWW", -1}, {60, 4, 529, -1, "WWWW", -1}, {40, 10, 72, -1, "WW", -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "click " << c.clickY << ", marked " << c.marked);
        auto table = test::TableBuilder().Brands(c.entries).Reversed().Build();
        EXPECT_EQ(table->MarkForRemoval(c.marked), c.marked >= 0);
        Drawing d;
        d.surface.height = c.height;
        d.Draw(*table, 12);
        d.surface.ops.clear();
        d.Draw(*table, c.clickY);
        Ops bands, expected;  // the band fills of the data rows, top to bottom
        for (const auto& op : d.surface.ops)
            if (op.kind == SurfaceOp::Fill && op.x1 == -1 && op.y1 > 0) bands.push_back(op);
        for (int k = 0; c.bands[k] != '\0'; ++k)
            expected.push_back(F(-1, 11 + 12 * k, 809, 23 + 12 * k, c.bands[k] == 'Y' ? kY : c.bands[k] == 'K' ? kK : kW));
        EXPECT_EQ(std::pair(bands, int{d.selection.Entry()}), std::pair(expected, c.selected));
    }
}

}  // namespace
}  // namespace norvale
