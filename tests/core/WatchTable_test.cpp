// The watch table's operations and the invariants they keep: the live range, the row order, a
// marked removal, and stores that reach only the brand a pass asked for.
#include "table/WatchTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "tests/common/TableBuilder.h"

namespace norvale {
namespace {

std::vector<int> Codes(const WatchTable& t, bool inRows) {
    std::vector<int> out;
    for (int k = 0; k < t.Count(); ++k) out.push_back(t.Entry(inRows ? t.SlotInRow(k) : k).code.Number());
    return out;
}

TEST(WatchTable, RemovingASlotClosesTheGapAndKeepsTheDisplayOrder) {
    // The last slot; a middle one; slot 0 of a thousand; the slot just past the last brand, which
    // removes nothing. Shown in a shuffled order.
    for (const auto& [n, target] : {std::pair{3, 2}, std::pair{7, 1}, std::pair{1000, 0}, std::pair{3, 3}}) {
        SCOPED_TRACE(testing::Message() << n << " brands, target " << target);
        test::TableBuilder b;
        for (int i = 0; i < n; ++i) b.Brand(std::to_string(1000 + i) + (i % 3 == 0 ? ".oj" : ".t"));
        auto t = b.Build();
        std::vector<std::int16_t> rows(t->RowOrder().begin(), t->RowOrder().end());
        std::shuffle(rows.begin(), rows.end(), std::mt19937(7));
        ASSERT_TRUE(t->SetRowOrder(rows));
        std::vector<int> before = Codes(*t, true);
        const bool removes = target >= 0 && target < n;
        if (removes) std::erase(before, 1000 + target);
        EXPECT_EQ(t->Remove(target), removes);
        ASSERT_EQ(t->Count(), removes ? n - 1 : n);
        EXPECT_EQ(Codes(*t, true), before);  // the codes are distinct: a slot shown twice would show here
        for (int k = 0; k < t->Count(); ++k) {  // moved entries keep their suffix with their topic
            const WatchEntry& e = t->Entry(k);
            EXPECT_EQ(e.topic, TopicOf(e.code, e.marketSuffix));
            EXPECT_EQ(e.code.Number(), 1000 + k + (removes && k >= target ? 1 : 0));
        }
    }
}

// An append as the last row, a full list and an import's Clear are the brand entry's and the watch
// list's tests.
TEST(WatchTable, RowOrderIsAlwaysAPermutation) {
    auto t = test::TableBuilder().Brands(3).Build();
    for (const std::vector<std::int16_t>& bad : {std::vector<std::int16_t>{0, 1}, {0, 1, 1}, {0, 1, 3}, {-1, 0, 1}})
        EXPECT_FALSE(t->SetRowOrder(bad));
    EXPECT_EQ(Codes(*t, true), (std::vector<int>{1301, 1302, 1303}));
    ASSERT_TRUE(t->SetRowOrder(std::vector<std::int16_t>{2, 0, 1}));
    EXPECT_EQ(Codes(*t, true), (std::vector<int>{1303, 1301, 1302}));
}

// Entries never move while a removal waits: only appends go ahead, and the end of the pass carries
// the removal out. An import forgets it.
TEST(WatchTable, AMarkedRemovalWaitsForItsTurnAndMovesNothingMeanwhile) {
    auto t = test::TableBuilder().Brands(4).Reversed().Build();
    EXPECT_FALSE(t->CarryOutRemoval() || t->MarkForRemoval(4));
    ASSERT_TRUE(t->MarkForRemoval(1));
    EXPECT_EQ(std::tuple(t->RemovalMarked(), t->MarkedForRemoval(1), t->MarkedForRemoval(2)), std::tuple(true, true, false));
    EXPECT_FALSE(t->MarkForRemoval(2) || t->Remove(2));
    ASSERT_TRUE(t->Append(test::BrandOf("7203")));
    EXPECT_TRUE(t->CarryOutRemoval());
    EXPECT_EQ(std::tuple(t->RemovalMarked(), Codes(*t, true)), std::tuple(false, std::vector<int>{1304, 1303, 1301, 7203}));
    EXPECT_FALSE(t->CarryOutRemoval());

    ASSERT_TRUE(t->MarkForRemoval(0));
    t->Clear();
    EXPECT_FALSE(t->RemovalMarked());
}

// A pass takes a handle of its brand; what it stores after the slot changed is refused whole.
TEST(WatchTable, StoresReachOnlyTheBrandTheHandleNames) {
    auto t = test::TableBuilder().Brand("1111").Brand("2222").Build();
    const EntryHandle first = *t->Handle(0), second = *t->Handle(1);
    EXPECT_EQ(std::tuple(t->Handle(2).has_value(), first.Topic()), std::tuple(false, "1111.t"));
    ASSERT_TRUE(t->Remove(0));  // 2222 moves into slot 0, slot 1 leaves the live range
    EXPECT_FALSE(t->StorePrice(first, PriceItem::Last, "999"));
    EXPECT_FALSE(t->StoreLevel(second, QuoteSide::Ask, 0, "999"));
    EXPECT_FALSE(t->TotalLevels(first, QuoteSide::Bid));
    EXPECT_FALSE(t->RecomputeQuoteRatio(second));
    EXPECT_EQ(t->Entry(0).lastText + t->Entry(0).askQtyText[0], "");
    EXPECT_TRUE(t->StorePrice(*t->Handle(0), PriceItem::Last, "999"));
    EXPECT_EQ(t->Entry(0).last, 999);
}

// Levels 6 to 8 count only on "oj"; elsewhere their texts stay as they are and their quantities are 0.
// A blank level keeps its last number. A total that overflows counts 0.
TEST(WatchTable, LevelsBeyondTheMarketsCountZeroAndAnOverflowingTotalToo) {
    auto t = test::TableBuilder().Brand("7203").Brand("9984.oj").Build();
    for (int slot : {0, 1}) {
        const EntryHandle h = *t->Handle(slot);
        for (int k = 0; k < kQuoteLevels; ++k) ASSERT_TRUE(t->StoreLevel(h, QuoteSide::Ask, k, "100"));
        ASSERT_TRUE(t->TotalLevels(h, QuoteSide::Ask));
    }
    ASSERT_TRUE(t->StoreLevel(*t->Handle(0), QuoteSide::Ask, 1, " ") && t->TotalLevels(*t->Handle(0), QuoteSide::Ask));
    const WatchEntry& e = t->Entry(0);
    EXPECT_EQ(std::tuple(e.askQtyText[7], e.askQty[5], e.askQtyText[1], e.askQtyTotal, t->Entry(1).askQtyTotal),
              std::tuple("100", 0., " ", 500., 800.));
    const EntryHandle h = *t->Handle(1);
    ASSERT_TRUE(t->StoreLevel(h, QuoteSide::Bid, 0, std::string(308, '9')));
    ASSERT_TRUE(t->StoreLevel(h, QuoteSide::Bid, 1, std::string(308, '9')));
    ASSERT_TRUE(t->TotalLevels(h, QuoteSide::Bid));
    EXPECT_EQ(std::tuple(t->Entry(1).bidQty[0] > 1e307, t->Entry(1).bidQtyTotal), std::tuple(true, 0.));
}

}  // namespace
}  // namespace norvale
