// Removing a slot from the watch table: the gap closes in the slots and in the display order.
#include "quotes/WatchTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>

#include "app/MainWindowLogic.h"
#include "platform/fake/FakePlatform.h"

namespace norvale {
namespace {

void Fill(WatchTable& t, int n) {
    for (int i = 0; i < n; ++i) {
        WatchEntry e;
        e.code = static_cast<std::int16_t>(1000 + i);
        e.codeText = std::to_string(1000 + i);
        e.marketSuffix = i % 3 == 0 ? "oj" : "t";
        e.topic = e.codeText + "." + e.marketSuffix;
        ASSERT_TRUE(t.Append(std::move(e)));
    }
}

TEST(WatchTable, RemovingASlotClosesTheGapAndKeepsTheDisplayOrder) {
    // The last slot; a middle one; slot 0 of a thousand in a shuffled order.
    for (const auto& [n, target] : {std::pair{3, 2}, std::pair{7, 1}, std::pair{1000, 0}}) {
        auto t = std::make_unique<WatchTable>();
        Fill(*t, n);
        std::mt19937 rng(7);
        std::shuffle(t->RowOrder.begin(), t->RowOrder.begin() + n, rng);
        std::vector<int> before;  // codes in display order, without the removed one
        for (int r = 0; r < n; ++r) {
            if (t->RowOrder[r] != target) before.push_back(t->entries[t->RowOrder[r]].code);
        }
        t->DeleteTarget = static_cast<std::int16_t>(target);
        t->RemoveTargetSlot();
        ASSERT_EQ(t->EntryCount, n - 1);
        std::vector<int> after;
        std::vector<int> seen(static_cast<std::size_t>(n - 1), 0);
        for (int r = 0; r < n - 1; ++r) {
            const int slot = t->RowOrder[r];
            ASSERT_GE(slot, 0);
            ASSERT_LT(slot, n - 1);
            ++seen[static_cast<std::size_t>(slot)];
            after.push_back(t->entries[slot].code);
        }
        EXPECT_TRUE(std::all_of(seen.begin(), seen.end(), [](int c) { return c == 1; }));
        EXPECT_EQ(before, after);
        EXPECT_EQ(t->entries[n - 1].code, 0);  // the freed slot is blank
        EXPECT_TRUE(t->entries[n - 1].topic.empty());
        for (int k = 0; k < t->EntryCount; ++k) {  // moved entries keep their suffix with their topic
            EXPECT_EQ(t->entries[k].topic, t->entries[k].codeText + "." + t->entries[k].marketSuffix);
            EXPECT_EQ(t->entries[k].code, 1000 + k + (k >= target ? 1 : 0));
        }
    }
}

TEST(WatchTable, ATargetOutsideTheLiveRangeRemovesNothing) {
    for (const int target : {-1, 3, 4, 999}) {  // 3: the slot just past the last brand
        auto t = std::make_unique<WatchTable>();
        Fill(*t, 3);
        t->DeleteTarget = static_cast<std::int16_t>(target);
        t->RemoveTargetSlot();
        EXPECT_EQ(t->EntryCount, 3) << target;
        for (int k = 0; k < 3; ++k) EXPECT_EQ(t->entries[k].code, 1000 + k) << target;
    }
}

TEST(WatchTable, RemoveEntryRedrawsOnAClearedSurfaceAndEndsThePendingRemoval) {
    FakePlatform fp;
    MainWindowLogic logic(fp.platform);
    WatchTable& t = logic.TableForSetUp();
    Fill(t, 4);
    t.DeleteTarget = 1;
    t.removal = PendingRemoval::Removing;
    logic.RemoveEntry();
    EXPECT_EQ(t.EntryCount, 3);
    EXPECT_EQ(t.removal, PendingRemoval::None);
    ASSERT_FALSE(fp.tableSurface.ops.empty());
    EXPECT_EQ(fp.tableSurface.ops.front().kind, SurfaceOp::Clear);
    EXPECT_EQ(fp.statusBar.Panel(StatusPanel::BrandCount), "銘柄数: 3/ 1000");
}

}  // namespace
}  // namespace norvale
