// The six measures: deviation rates with their zero guards, the quote ratio, never infinite.
#include "table/Measures.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>

namespace norvale {
namespace {

TEST(Measures, DeviationRatesAndTheQuoteRatioWithTheirZeroGuards) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    // The price, the reference, openDev and prevCloseDev (guarded on the reference only), and vwapDev,
    // highDev and lowDev (guarded on the price as well). An overflow is stored as 0.
    for (const auto& [last, reference, openAndClose, others] :
         {std::array{1050., 1000., 5., 5.}, {1050, 0, 0, 0}, {0, 500, -100, 0}, {1e308, 1e-308, 0, 0}, {nan, 1, 0, 0}}) {
        SCOPED_TRACE(testing::Message() << last << " against " << reference);
        WatchEntry e;
        e.last = last;
        e.open = e.prevClose = e.vwap = e.high = e.low = reference;
        e.openDev = e.prevCloseDev = e.vwapDev = e.highDev = e.lowDev = 7;
        RecomputeOpenAndPrevCloseDev(e);
        RecomputeVwapDev(e);
        RecomputeHighDev(e);
        RecomputeLowDev(e);
        const double got[] = {e.openDev, e.prevCloseDev, e.vwapDev, e.highDev, e.lowDev};
        const double want[] = {openAndClose, openAndClose, others, others, others};
        for (int k = 0; k < 5; ++k) EXPECT_NEAR(got[k], want[k], 1e-12) << k;  // 1050 / 1000 is not exact in binary
    }
    // The quote ratio of nothing at all, or of bad quantities summing to zero: never a division by
    // zero. 75 % is DrawTable's.
    for (const auto& [bid, ask, ratio] : {std::array{0., 0., 0.}, {500, -500, 0}}) {
        WatchEntry e;
        e.bidQtyTotal = bid, e.askQtyTotal = ask, e.quoteRatio = 9;
        RecomputeQuoteRatio(e);
        EXPECT_DOUBLE_EQ(e.quoteRatio, ratio) << bid << " " << ask;
    }
}

}  // namespace
}  // namespace norvale
