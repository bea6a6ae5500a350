// The sort key and the exchange sort of the display order.
#include "ranking/Ranking.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "tests/core/PollingFixture.h"

namespace norvale {
namespace {

std::vector<int> Rows(const WatchTable& t) { return {t.RowOrder().begin(), t.RowOrder().end()}; }

// Three brands whose previous-close rates are +3 %, -1 % and +2 %, shown in reverse.
std::unique_ptr<WatchTable> ThreeRates() {
    test::TableBuilder b;
    for (const char* last : {"103", "99", "102"}) b.Brand("1301").Price(PriceItem::PrevClose, "100").Price(PriceItem::Last, last);
    return b.Reversed().Build();
}

// Each key's measure, direction and ties, and an empty table, are the next test's.
TEST(SortRows, KeyZeroKeepsTheRowsAndAnIndexOutsideTheListTheEntriesOrder) {
    for (const auto& [key, rows] : {std::pair{0, std::vector{2, 1, 0}}, {13, {0, 1, 2}}, {-1, {0, 1, 2}}}) {
        auto t = ThreeRates();
        SortRows(*t, SortKey::FromListIndex(key));
        EXPECT_EQ(Rows(*t), rows) << "key " << key;
    }
}

// The exchange steps written out literally, reading the measure afresh at every comparison. The
// keys of the list are these measures in turn, each ascending, then descending.
std::vector<int> ReferenceSort(const WatchTable& t, int sortKey) {
    const MeasureField measures[] = {&WatchEntry::prevCloseDev, &WatchEntry::openDev, &WatchEntry::vwapDev,
                                     &WatchEntry::highDev,      &WatchEntry::lowDev,  &WatchEntry::quoteRatio};
    const MeasureField m = measures[(sortKey - 1) / 2];
    const int n = t.Count();
    std::vector<int> rows(static_cast<std::size_t>(n));
    for (int r = 0; r < n; ++r) rows[r] = r;
    for (int i = 0; i <= n - 2; ++i) {
        for (int j = i + 1; j <= n - 1; ++j) {
            const double a = std::fabs(t.Entry(rows[i]).*m);
            const double b = std::fabs(t.Entry(rows[j]).*m);
            if (sortKey % 2 == 1 ? b < a : b > a) std::swap(rows[i], rows[j]);
        }
    }
    return rows;
}

// Pins the measure and direction of each key, the tie order, the restart from the entries' own order
// and the ranking by absolute value. Each price and reference one of a few values around 128, every
// rate worked out (the references before the price, the rest after it), give many exact ties, of the
// same rate and of rates of opposite sign (-25 % and +25 %), and a different value for each measure.
TEST(SortRows, MatchesTheLiteralExchangeStepsOnRandomInputsWithManyTies) {
    std::mt19937 rng(20240607);
    const char* const prices[] = {"96", "112", "128", "144", "160"};
    for (int round = 0; round < 3000; ++round) {
        const int n = round < 2900 ? static_cast<int>(rng() % 40) : static_cast<int>(rng() % 1001);
        test::TableBuilder b;
        for (int k = 0; k < n; ++k) {
            b.Brand("1301");
            for (const PriceItem item : {PriceItem::Open, PriceItem::PrevClose, PriceItem::Last, PriceItem::Vwap,
                                         PriceItem::High, PriceItem::Low})
                b.Price(item, prices[rng() % 5]);
            b.Quantities(prices[rng() % 5], prices[rng() % 5]);
        }
        auto t = b.Reversed().Build();
        const auto key = static_cast<int>(1 + rng() % 12);
        SortRows(*t, SortKey::FromListIndex(key));
        ASSERT_EQ(Rows(*t), ReferenceSort(*t, key)) << "round " << round << " key " << key << " n " << n;
    }
}

TEST(SortKeyChosen, StoresTheKeyShowsItSortsAndRedrawsExceptForStop) {
    Polling p({"1301", "1332", "1605"});
    p.quotes = {{"1301.t|現在値", "101"}, {"1332.t|現在値", "109"}, {"1605.t|現在値", "104"}};
    p.quotes["1332.t|始値"] = "120";  // -9 % against the open, where the others are +1 % and +4 %
    (void)p.logic.RunPass();

    p.fp.tableSurface.ops.clear();
    p.ChooseSortKey(4);  // 本日始値乖離率-降順
    // Redrawn with the new order.
    EXPECT_EQ(std::tuple(p.logic.CurrentSortKey(), p.Panel(StatusPanel::SortKey), Rows(p.Table()),
                         p.fp.tableSurface.Count(SurfaceOp::Outline), p.Panel(StatusPanel::BrandCount)),
              std::tuple(SortKey::FromListIndex(4), "本日始値乖離率-降順", std::vector<int>{1, 2, 0}, 3, "銘柄数: 3/ 1000"));

    // Stop sorting: the key that later passes' sorts leave alone, and no redrawing.
    p.fp.tableSurface.ops.clear();
    p.ChooseSortKey(0);
    EXPECT_EQ(std::tuple(p.logic.CurrentSortKey(), p.Panel(StatusPanel::SortKey), p.fp.tableSurface.ops.size()),
              std::tuple(SortKey::FromListIndex(0), "並べ替え停止", 0u));
}

}  // namespace
}  // namespace norvale
