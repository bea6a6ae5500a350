// Deviation rates in percent and the bid side's share of the best quantities.
#include "table/Measures.h"

#include <cmath>

namespace norvale {

namespace {

// A rate or ratio that came out infinite or NaN (a zero or bad reference) is stored as 0.
double Finite(double v) { return std::isfinite(v) ? v : 0; }

double DeviationRate(double last, double reference) { return Finite((last / reference - 1) * 100); }

}  // namespace

void RecomputeOpenAndPrevCloseDev(WatchEntry& e) {
    e.openDev = e.open != 0 ? DeviationRate(e.last, e.open) : 0;
    e.prevCloseDev = e.prevClose != 0 ? DeviationRate(e.last, e.prevClose) : 0;
}

// These three are guarded on last; a zero reference with a price gives 0 as well.
void RecomputeVwapDev(WatchEntry& e) { e.vwapDev = e.last != 0 && e.vwap != 0 ? DeviationRate(e.last, e.vwap) : 0; }
void RecomputeHighDev(WatchEntry& e) { e.highDev = e.last != 0 && e.high != 0 ? DeviationRate(e.last, e.high) : 0; }
void RecomputeLowDev(WatchEntry& e) { e.lowDev = e.last != 0 && e.low != 0 ? DeviationRate(e.last, e.low) : 0; }

void RecomputeQuoteRatio(WatchEntry& e) {
    e.quoteRatio = e.bidQtyTotal != 0 ? Finite(e.bidQtyTotal / (e.bidQtyTotal + e.askQtyTotal) * 100) : 0;
}

}  // namespace norvale
