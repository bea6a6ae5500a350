#include "quotes/WatchTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

#include "app/MainWindowLogic.h"
#include "platform/fake/FakePlatform.h"

namespace norvale {
namespace {

void Fill(WatchTable& t, int n) {
    for (int i = 0; i < n; ++i) {
        auto& e = t.entries[static_cast<std::size_t>(i)];
        e.code = static_cast<std::int16_t>(1000 + i);
        e.codeText = std::to_string(1000 + i);
        e.marketSuffix = i % 3 == 0 ? "oj" : "t";
        e.topic = e.codeText + "." + e.marketSuffix;
        e.last = i + 0.5;
    }
    t.EntryCount = static_cast<std::int16_t>(n);
}

TEST(WatchTable, BlankEntryHasNoValues) {
    WatchEntry e;
    EXPECT_EQ(e.code, 0);
    EXPECT_EQ(e.tick, 0);
    EXPECT_TRUE(e.topic.empty());
    EXPECT_EQ(e.bidQty[7], 0.0);
    EXPECT_FALSE(HasValue(""));
    EXPECT_FALSE(HasValue(" "));
    EXPECT_TRUE(HasValue("  "));
    EXPECT_TRUE(HasValue("0"));
}

TEST(WatchTable, RemovingTheLastEntryBlanksItsSlot) {
    WatchTable t;
    Fill(t, 3);
    t.DeleteTarget = 2;
    t.RemoveTargetSlot();
    EXPECT_EQ(t.EntryCount, 2);
    EXPECT_EQ(t.entries[2].code, 0);
    EXPECT_TRUE(t.entries[2].topic.empty());
    EXPECT_EQ(t.entries[1].code, 1001);
    EXPECT_EQ(t.RowOrder[0], 0);
    EXPECT_EQ(t.RowOrder[1], 1);
}

TEST(WatchTable, RemovingEntryZeroOfAThousandKeepsThePermutedOrder) {
    WatchTable t;
    Fill(t, 1000);
    std::mt19937 rng(7);
    std::shuffle(t.RowOrder.begin(), t.RowOrder.end(), rng);
    std::vector<int> before;  // codes in display order, without the removed one
    for (int r = 0; r < 1000; ++r) {
        if (t.RowOrder[static_cast<std::size_t>(r)] != 0)
            before.push_back(t.entries[static_cast<std::size_t>(t.RowOrder[static_cast<std::size_t>(r)])].code);
    }
    t.DeleteTarget = 0;
    t.RemoveTargetSlot();
    ASSERT_EQ(t.EntryCount, 999);
    std::vector<int> after;
    std::vector<int> seen(999, 0);
    for (int r = 0; r < 999; ++r) {
        const int slot = t.RowOrder[static_cast<std::size_t>(r)];
        ASSERT_GE(slot, 0);
        ASSERT_LT(slot, 999);
        ++seen[static_cast<std::size_t>(slot)];
        after.push_back(t.entries[static_cast<std::size_t>(slot)].code);
    }
    EXPECT_TRUE(std::all_of(seen.begin(), seen.end(), [](int c) { return c == 1; }));
    EXPECT_EQ(before, after);
    EXPECT_EQ(t.entries[999].code, 0);
}

TEST(WatchTable, MovedEntriesKeepTheirSuffixWithTheirTopic) {
    WatchTable t;
    Fill(t, 7);
    t.DeleteTarget = 1;
    t.RemoveTargetSlot();
    for (int k = 0; k < t.EntryCount; ++k) {
        const auto& e = t.entries[static_cast<std::size_t>(k)];
        EXPECT_EQ(e.topic, e.codeText + "." + e.marketSuffix);
    }
    EXPECT_EQ(t.entries[1].code, 1002);
    EXPECT_EQ(t.entries[2].marketSuffix, "oj");  // 1003 was slot 3
}

TEST(WatchTable, RemoveEntryRedrawsOnAClearedSurfaceAndEndsThePendingRemoval) {
    FakePlatform fp;
    MainWindowLogic frm(fp.platform);
    Fill(frm.table, 4);
    frm.table.DeleteTarget = 1;
    frm.table.DeletePending = 2;
    frm.RemoveEntry();
    EXPECT_EQ(frm.table.EntryCount, 3);
    EXPECT_EQ(frm.table.DeletePending, 0);
    ASSERT_FALSE(fp.tableSurface.ops.empty());
    EXPECT_EQ(fp.tableSurface.ops.front().kind, SurfaceOp::Clear);
    EXPECT_EQ(fp.statusBar.Panel(StatusPanel::BrandCount), "銘柄数: 3/ 1000");
}

}  // namespace
}  // namespace norvale
