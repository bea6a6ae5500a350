// Removing a slot from the watch table: the gap closes in the slots and in the display order.
#include "quotes/WatchTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>

namespace norvale {
namespace {

TEST(WatchTable, RemovingASlotClosesTheGapAndKeepsTheDisplayOrder) {
    // The last slot; a middle one; slot 0 of a thousand; then targets outside the live range,
    // 3 being the slot just past the last brand, which remove nothing. Shown in a shuffled order.
    for (const auto& [n, target] : {std::pair{3, 2}, std::pair{7, 1}, std::pair{1000, 0}, std::pair{3, -1},
                                    std::pair{3, 3}, std::pair{3, 4}, std::pair{3, 999}}) {
        SCOPED_TRACE(testing::Message() << n << " brands, target " << target);
        auto t = std::make_unique<WatchTable>();
        for (int i = 0; i < n; ++i) {
            WatchEntry e;
            e.code = BrandCode(static_cast<std::int16_t>(1000 + i));
            e.codeText = std::to_string(1000 + i);
            e.marketSuffix = i % 3 == 0 ? "oj" : "t";
            e.topic = e.codeText + "." + e.marketSuffix;
            ASSERT_TRUE(t->Append(std::move(e)));
        }
        std::shuffle(t->RowOrder.begin(), t->RowOrder.begin() + n, std::mt19937(7));
        std::vector<int> before;  // codes in display order, without the removed one
        for (int r = 0; r < n; ++r) {
            if (t->RowOrder[r] != target) before.push_back(t->entries[t->RowOrder[r]].code.Number());
        }
        const bool removes = target >= 0 && target < n;
        t->DeleteTarget = static_cast<std::int16_t>(target);
        t->RemoveTargetSlot();
        const int left = removes ? n - 1 : n;
        ASSERT_EQ(t->EntryCount, left);
        std::vector<int> after;
        for (int r = 0; r < left; ++r) {
            const int slot = t->RowOrder[r];
            ASSERT_GE(slot, 0);
            ASSERT_LT(slot, left);
            after.push_back(t->entries[slot].code.Number());
        }
        EXPECT_EQ(before, after);  // the codes are distinct: a slot shown twice would show here
        if (removes) {
            EXPECT_EQ(t->entries[n - 1].code, BrandCode());  // the freed slot is blank
            EXPECT_TRUE(t->entries[n - 1].topic.empty());
        }
        for (int k = 0; k < t->EntryCount; ++k) {  // moved entries keep their suffix with their topic
            EXPECT_EQ(t->entries[k].topic, t->entries[k].codeText + "." + t->entries[k].marketSuffix);
            EXPECT_EQ(t->entries[k].code.Number(), 1000 + k + (removes && k >= target ? 1 : 0));
        }
    }
}

}  // namespace
}  // namespace norvale
