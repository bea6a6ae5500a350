// The sort key and the exchange sort of the display order.
#include "ranking/Ranking.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "tests/core/PollingFixture.h"

namespace norvale {
namespace {

std::vector<int> Rows(const WatchTable& t) { return {t.RowOrder.begin(), t.RowOrder.begin() + t.EntryCount}; }

TEST(SortRows, KeyZeroKeepsTheRowsAnOtherIndexTheEntriesOrderAndNoRowPastTheCountIsWritten) {
    struct Case {
        std::vector<double> prevCloseDevs;
        int key;
        std::vector<int> rows;  // the first four rows after sorting rows that were 2, 1, 0, 777
    };
    const Case cases[] = {{{3, 1, 2}, 0, {2, 1, 0, 777}},   {{3, 1, 2}, 13, {0, 1, 2, 777}},
                          {{3, 1, 2}, -1, {0, 1, 2, 777}},  {{3, 1, 2}, 1, {1, 2, 0, 777}},
                          {{}, 1, {2, 1, 0, 777}},          {{4}, 2, {0, 1, 0, 777}}};
    for (const Case& c : cases) {
        WatchTable t;
        for (std::size_t k = 0; k < c.prevCloseDevs.size(); ++k) {
            t.entries[k].prevCloseDev = c.prevCloseDevs[k];
            t.entries[k].code = BrandCode(std::array<std::int16_t, 3>{7203, 1301, 9984}[k]);  // no order of codes either way
        }
        t.EntryCount = static_cast<std::int16_t>(c.prevCloseDevs.size());
        t.RowOrder[0] = 2;
        t.RowOrder[2] = 0;
        t.RowOrder[3] = 777;
        SortRows(t, SortKey::FromListIndex(c.key));
        EXPECT_EQ(std::vector<int>(t.RowOrder.begin(), t.RowOrder.begin() + 4), c.rows) << "key " << c.key;
    }
    // Each list index is a key of its own, and back; 13 is no key, as -1 is.
    for (int index = -1; index <= 12; ++index) EXPECT_EQ(SortKey::FromListIndex(index).ListIndex(), index);
    EXPECT_EQ(SortKey::FromListIndex(13), SortKey::FromListIndex(-1));
}

// The exchange steps written out literally, reading the measure afresh at every comparison. The
// keys of the list are these measures in turn, each ascending, then descending.
void ReferenceSort(WatchTable& t, int sortKey) {
    const MeasureField measures[] = {&WatchEntry::prevCloseDev, &WatchEntry::openDev, &WatchEntry::vwapDev,
                                     &WatchEntry::highDev,      &WatchEntry::lowDev,  &WatchEntry::quoteRatio};
    const MeasureField m = measures[(sortKey - 1) / 2];
    const int n = t.EntryCount;
    for (int r = 0; r < n; ++r) t.RowOrder[r] = static_cast<std::int16_t>(r);
    for (int i = 0; i <= n - 2; ++i) {
        for (int j = i + 1; j <= n - 1; ++j) {
            const double a = std::fabs(t.entries[t.RowOrder[i]].*m);
            const double b = std::fabs(t.entries[t.RowOrder[j]].*m);
            if (sortKey % 2 == 1 ? b < a : b > a) std::swap(t.RowOrder[i], t.RowOrder[j]);
        }
    }
}

// Pins the measure and direction of each key, the tie order, the restart from the entries' own order
// and the ranking by absolute value.
TEST(SortRows, MatchesTheLiteralExchangeStepsOnRandomInputsWithManyTies) {
    std::mt19937 rng(20240607);
    auto t = std::make_unique<WatchTable>();
    auto ref = std::make_unique<WatchTable>();
    for (int round = 0; round < 3000; ++round) {
        const int n = round < 2900 ? static_cast<int>(rng() % 40) : static_cast<int>(rng() % 1001);
        const int distinct = 1 + static_cast<int>(rng() % 6);  // few values: many ties
        t->EntryCount = static_cast<std::int16_t>(n);
        for (int k = 0; k < n; ++k) {
            WatchEntry& e = t->entries[k];
            for (double* f : {&e.prevCloseDev, &e.openDev, &e.vwapDev, &e.highDev, &e.lowDev, &e.quoteRatio}) {
                // Values of both signs so that +x and -x tie on the absolute value.
                const int v = static_cast<int>(rng() % distinct);
                *f = (rng() % 2 == 0 ? 1 : -1) * (v * 0.25);
            }
        }
        for (int k = 0; k < n; ++k) ref->entries[k] = t->entries[k];
        ref->EntryCount = t->EntryCount;
        const auto key = static_cast<int>(1 + rng() % 12);
        SortRows(*t, SortKey::FromListIndex(key));
        ReferenceSort(*ref, key);
        ASSERT_EQ(Rows(*t), Rows(*ref)) << "round " << round << " key " << key << " n " << n;
    }
}

TEST(SortKeyChosen, StoresTheKeyShowsItSortsAndRedrawsExceptForStop) {
    Polling p;
    WatchTable& t = p.logic.TableForSetUp();
    t.EntryCount = 3;
    t.entries[0].openDev = 1;
    t.entries[1].openDev = -9;
    t.entries[2].openDev = 4;

    p.fp.tableSurface.ops.clear();
    p.ChooseSortKey(4);  // 本日始値乖離率-降順
    EXPECT_EQ(p.logic.CurrentSortKey().ListIndex(), 4);
    EXPECT_EQ(p.Panel(StatusPanel::SortKey), "本日始値乖離率-降順");
    EXPECT_EQ(Rows(t), (std::vector<int>{1, 2, 0}));
    EXPECT_GT(p.fp.tableSurface.Count(SurfaceOp::Outline), 0);  // redrawn with the new order
    EXPECT_EQ(p.Panel(StatusPanel::BrandCount), "銘柄数: 3/ 1000");

    // Stop sorting: the key that later passes' sorts leave alone, and no redrawing.
    p.fp.tableSurface.ops.clear();
    p.ChooseSortKey(0);
    EXPECT_EQ(p.logic.CurrentSortKey().ListIndex(), 0);
    EXPECT_EQ(p.Panel(StatusPanel::SortKey), "並べ替え停止");
    EXPECT_TRUE(p.fp.tableSurface.ops.empty());
}

}  // namespace
}  // namespace norvale
