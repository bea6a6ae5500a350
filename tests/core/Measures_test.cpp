// The six measures: deviation rates with their zero guards, the quote ratio, never infinite.
#include "table/Measures.h"

#include <gtest/gtest.h>

#include <limits>

namespace norvale {
namespace {

void RecomputeAll(WatchEntry& e) {
    RecomputeOpenAndPrevCloseDev(e);
    RecomputeVwapDev(e);
    RecomputeHighDev(e);
    RecomputeLowDev(e);
}

TEST(Measures, DeviationRatesWithTheirZeroGuards) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        double last, reference;
        double openAndClose;  // openDev and prevCloseDev: guarded on the reference only
        double others;        // vwapDev, highDev, lowDev: guarded on last as well
    };
    for (const Case& c : {Case{1050, 1000, 5, 5}, Case{1050, 1400, -25, -25}, Case{400, 500, -20, -20},
                          Case{1050, 0, 0, 0}, Case{0, 500, -100, 0},
                          Case{1e308, 1e-308, 0, 0},  // overflow is stored as 0
                          Case{nan, 1, 0, 0}}) {
        WatchEntry e;
        e.last = c.last;
        e.open = e.prevClose = e.vwap = e.high = e.low = c.reference;
        e.openDev = e.prevCloseDev = e.vwapDev = e.highDev = e.lowDev = 7;
        RecomputeAll(e);
        SCOPED_TRACE(testing::Message() << c.last << " against " << c.reference);
        EXPECT_NEAR(e.openDev, c.openAndClose, 1e-12);  // 1050 / 1000 is not exact in binary
        EXPECT_NEAR(e.prevCloseDev, c.openAndClose, 1e-12);
        for (double m : {e.vwapDev, e.highDev, e.lowDev}) EXPECT_NEAR(m, c.others, 1e-12);
    }
}

TEST(Measures, QuoteRatio) {
    struct Case {
        double bid, ask, ratio;
    };
    // No bids, nothing at all, only bids, bad quantities summing to zero.
    for (const Case& c : {Case{300, 100, 75}, Case{0, 100, 0}, Case{0, 0, 0}, Case{500, 0, 100}, Case{500, -500, 0}}) {
        WatchEntry e;
        e.bidQtyTotal = c.bid;
        e.askQtyTotal = c.ask;
        e.quoteRatio = 9;
        RecomputeQuoteRatio(e);
        EXPECT_DOUBLE_EQ(e.quoteRatio, c.ratio) << c.bid << " " << c.ask;
    }
}

}  // namespace
}  // namespace norvale
