#include "ranking/Ranking.h"

namespace norvale {

void RecomputeOpenAndPrevCloseDev(WatchEntry&) {}
void RecomputeVwapDev(WatchEntry&) {}
void RecomputeHighDev(WatchEntry&) {}
void RecomputeLowDev(WatchEntry&) {}
void RecomputeQuoteRatio(WatchEntry&) {}
void SortRows(WatchTable&, std::int16_t) {}

}  // namespace norvale
