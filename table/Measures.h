// The six measures of a brand, recomputed by the watch table as the quotes they rest on are stored.
#pragma once

#include "table/WatchEntry.h"

namespace norvale {

// None of them ever stores an infinite or NaN value.
void RecomputeOpenAndPrevCloseDev(WatchEntry& e);  // after a valid current price
void RecomputeVwapDev(WatchEntry& e);              // after a valid VWAP
void RecomputeHighDev(WatchEntry& e);              // after a valid high
void RecomputeLowDev(WatchEntry& e);               // after a valid low
void RecomputeQuoteRatio(WatchEntry& e);           // after both quantity totals, every pass

}  // namespace norvale
