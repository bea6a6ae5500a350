// The ranking table as drawn on a recording surface: header, rows, colours, bar, bands.
#include "ranking/DrawTable.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/fake/FakeStatusBar.h"
#include "platform/fake/FakeSurface.h"
#include "ranking/Ranking.h"

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

const std::vector<SurfaceOp> kHeader = {
    {SurfaceOp::Persistent, 1, 0, 0, 0, {}, {}},
    F(-1, -1, 1000, 11, kG),
    T(2, 0, "ｺｰﾄﾞ", kW), T(1, 0, "ｺｰﾄﾞ", kK), L(32, -1, 11),
    T(34, 0, "銘柄", kW), T(33, 0, "銘柄", kK), L(152, -1, 11),
    T(154, 0, "現在値", kW), T(153, 0, "現在値", kK), L(224, -1, 11),
    T(226, 0, "前日終値", kW), T(225, 0, "前日終値", kK), L(280, -1, 11),
    T(282, 0, "乖離率", kW), T(281, 0, "乖離率", kK), L(328, -1, 11),
    T(330, 0, "本日始値", kW), T(329, 0, "本日始値", kK), L(384, -1, 11),
    T(386, 0, "乖離率", kW), T(385, 0, "乖離率", kK), L(432, -1, 11),
    T(434, 0, "VWAP", kW), T(433, 0, "VWAP", kK), L(488, -1, 11),
    T(490, 0, "乖離率", kW), T(489, 0, "乖離率", kK), L(536, -1, 11),
    T(538, 0, "本日高値", kW), T(537, 0, "本日高値", kK), L(592, -1, 11),
    T(594, 0, "乖離率", kW), T(593, 0, "乖離率", kK), L(640, -1, 11),
    T(642, 0, "本日安値", kW), T(641, 0, "本日安値", kK), L(696, -1, 11),
    T(698, 0, "乖離率", kW), T(697, 0, "乖離率", kK), L(744, -1, 11),
    T(746, 0, "売気配数量", kW), T(745, 0, "売気配数量", kK), L(816, -1, 11),
    T(818, 0, "買気配数量", kW), T(817, 0, "買気配数量", kK), L(888, -1, 11),
    T(890, 0, "気配比率", kW), T(889, 0, "気配比率", kK), L(968, -1, 11),
};

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
    const std::vector<SurfaceOp> row = {
        F(-1, 11, 1000, 23, kY), O(-1, 11, 1000, 23),
        T(2, 12, "7203", kW), T(1, 12, "7203", kK), L(32, 11, 23),
        T(34, 12, "トヨタ自動車株式会", kW), T(33, 12, "トヨタ自動車株式会", kK), L(152, 11, 23),
        T(154, 12, "   1,234,567", kW), T(153, 12, "   1,234,567", kR),
        T(154, 12, "↑", kR), T(153, 12, "↑", kR), L(224, 11, 23),
        T(226, 12, "1,234,567", kW), T(225, 12, "1,234,567", kK), L(280, 11, 23),
        T(282, 12, " -2.50", kW), T(281, 12, " -2.50", kK), L(328, 11, 23),
        T(330, 12, "    1,000", kW), T(329, 12, "    1,000", kR), L(384, 11, 23),
        T(386, 12, "  0.01", kW), T(385, 12, "  0.01", kK), L(432, 11, 23),
        T(434, 12, "2,000,000", kW), T(433, 12, "2,000,000", kB), L(488, 11, 23),
        T(490, 12, "-38.27", kW), T(489, 12, "-38.27", kK), L(536, 11, 23),
        T(538, 12, "1,234,567", kW), T(537, 12, "1,234,567", kR), L(592, 11, 23),
        T(594, 12, "  0.00", kW), T(593, 12, "  0.00", kK), L(640, 11, 23),
        T(642, 12, "1,234,567", kW), T(641, 12, "1,234,567", kB), L(696, 11, 23),
        T(698, 12, "  1.01", kW), T(697, 12, "  1.01", kK), L(744, 11, 23),
        T(746, 12, "       1,235", kW), T(745, 12, "       1,235", kK), L(816, 11, 23),
        T(818, 12, "            ", kW), T(817, 12, "            ", kK), L(888, 11, 23),
        F(889, 12, 968, 22, kR), F(889, 12, 907, 22, kB),
        T(890, 12, "        75.00", kW), T(889, 12, "        75.00", kW), L(968, 11, 23),
    };
    EXPECT_EQ(Slice(d.surface.ops, kHeader.size(), 1000), row);
    EXPECT_EQ(d.view.SelectedEntry, 1);
    EXPECT_EQ(d.status.Panel(StatusPanel::BrandCount), "銘柄数: 2/ 1000");
    EXPECT_FALSE(d.view.drawing);
}

TEST(DrawTable, EntryWithoutQuotesAndTheColoursAtEquality) {
    Drawing d;
    d.table->EntryCount = 3;
    d.table->entries[0].codeText = "1301";  // no quotes at all
    WatchEntry& same = d.table->entries[1];
    same.last = same.prevClose = same.open = same.vwap = same.high = same.low = 500;
    same.move = PriceMove::Fell;
    WatchEntry& between = d.table->entries[2];
    between.last = 500;
    between.prevClose = between.open = between.vwap = between.low = 400;  // price above: red
    between.high = 600;                                                   // below the high: blue
    d.Draw();

    auto texts = [&](int y) {
        std::vector<SurfaceOp> out;
        for (const auto& op : d.surface.ops) {
            if (op.kind == SurfaceOp::Text && op.y1 == y && op.x1 % 2 == 1) out.push_back(op);  // main copies
        }
        return out;
    };
    const auto blank = texts(12);
    ASSERT_EQ(blank.size(), 17u);
    EXPECT_EQ(blank[2].text, "            ");
    EXPECT_EQ(blank[3].text, "→");
    EXPECT_EQ(blank[3].colour, kK);
    EXPECT_EQ(blank[4].text, "         ");
    for (int k : {5, 7, 9, 11, 13}) EXPECT_EQ(blank[static_cast<std::size_t>(k)].text, "  0.00");
    EXPECT_EQ(blank[14].text, "            ");
    EXPECT_EQ(blank[16].text, "         0.00");
    EXPECT_EQ(d.Of(SurfaceOp::Fill)[3], F(889, 12, 967, 22, kB));  // nearly all blue

    const auto eq = texts(24);
    EXPECT_EQ(eq[2].colour, kB);  // fell
    EXPECT_EQ(eq[3].text, "↓");
    EXPECT_EQ(eq[3].colour, kB);
    EXPECT_EQ(eq[4].colour, kK);   // previous close
    EXPECT_EQ(eq[6].colour, kK);   // open
    EXPECT_EQ(eq[8].colour, kK);   // VWAP
    EXPECT_EQ(eq[10].colour, kR);  // high
    EXPECT_EQ(eq[12].colour, kB);  // low

    const auto up = texts(36);
    for (int k : {4, 6, 8, 12}) EXPECT_EQ(up[static_cast<std::size_t>(k)].colour, kR);
    EXPECT_EQ(up[10].colour, kB);
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

TEST(DrawTable, BandsPendingRemovalBeforeYellowAndTheSelection) {
    Drawing d;
    d.table->EntryCount = 4;
    d.table->RowOrder[0] = 3;  // rows show entries 3, 2, 1, 0
    d.table->RowOrder[1] = 2;
    d.table->RowOrder[2] = 1;
    d.table->RowOrder[3] = 0;
    d.view.ClickY = 35;  // last pixel line of row 2
    d.Draw();
    EXPECT_EQ(d.Bands(), (std::vector<SurfaceOp>{F(-1, 11, 809, 23, kW), F(-1, 23, 809, 35, kY),
                                                 F(-1, 35, 809, 47, kW), F(-1, 47, 809, 59, kW)}));
    EXPECT_EQ(d.view.SelectedEntry, 2);

    d.surface.ops.clear();
    d.table->DeleteTarget = 2;
    d.table->removal = PendingRemoval::AfterPass;
    d.Draw();
    EXPECT_EQ(d.Bands()[1], F(-1, 23, 809, 35, kK));
    EXPECT_EQ(d.view.SelectedEntry, -1);  // a row marked for removal is not selected

    d.surface.ops.clear();
    d.table->DeleteTarget = 0;  // marked row elsewhere
    d.Draw();
    EXPECT_EQ(d.Bands()[1], F(-1, 23, 809, 35, kY));
    EXPECT_EQ(d.Bands()[3], F(-1, 47, 809, 59, kK));
    EXPECT_EQ(d.view.SelectedEntry, 2);

    d.surface.ops.clear();
    d.table->removal = PendingRemoval::Removing;  // removal under way: no longer shown black
    d.Draw();
    EXPECT_EQ(d.Bands()[3], F(-1, 47, 809, 59, kW));
}

TEST(DrawTable, ClicksOnTheHeaderOrBelowTheRowsSelectNothing) {
    for (int y : {0, 11, 60, 61, 500}) {
        Drawing d;
        d.table->EntryCount = 4;
        d.view.ClickY = y;
        d.view.SelectedEntry = 3;
        d.Draw();
        EXPECT_EQ(d.view.SelectedEntry, -1) << y;
        for (const auto& band : d.Bands()) EXPECT_EQ(band.colour, kW) << y;
    }
    // Below the last drawn row, although entries remain that do not fit.
    Drawing d;
    d.table->EntryCount = 10;
    d.surface.height = 72;  // rows 1 and 2
    d.view.ClickY = 40;
    d.Draw();
    EXPECT_EQ(d.Bands().size(), 2u);
    EXPECT_EQ(d.view.SelectedEntry, -1);
}

TEST(DrawTable, SelectionStaysOnTheScreenRowAcrossAResort) {
    Drawing d;
    d.table->EntryCount = 5;
    for (int k = 0; k < 5; ++k) d.table->entries[k].prevCloseDev = k;  // 0 .. 4
    SortRows(*d.table, SortKey::FromListIndex(1));
    d.view.ClickY = 50;  // lines 48..59: display row 3
    d.Draw();
    EXPECT_EQ(d.view.SelectedEntry, 3);

    SortRows(*d.table, SortKey::FromListIndex(2));
    d.surface.ops.clear();
    d.Draw();
    EXPECT_EQ(d.Bands()[3], F(-1, 47, 809, 59, kY));
    EXPECT_EQ(d.view.SelectedEntry, 1);
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
