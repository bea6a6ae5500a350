#include "ranking/Ranking.h"

#include <algorithm>
#include <cmath>

namespace norvale {

namespace {

// A rate or ratio that came out infinite or NaN (a zero or bad reference) is stored as 0.
double Finite(double v) { return std::isfinite(v) ? v : 0; }

double DeviationRate(double last, double reference) { return Finite((last / reference - 1) * 100); }

// For each row i, every later row j whose key beats the key now in row i is swapped into it.
// On real data about half the comparisons swap, so the swap is written without a branch; the
// current key and row of row i are carried along and stored when the scan is done.
template <bool Ascending>
void ExchangeSort(std::int16_t* row, double* key, int n) {
    for (int i = 0; i + 1 < n; ++i) {
        double a = key[i];
        std::int16_t ra = row[i];
        for (int j = i + 1; j < n; ++j) {
            const double b = key[j];
            const std::int16_t rb = row[j];
            const bool swap = Ascending ? b < a : b > a;
            key[j] = swap ? a : b;
            row[j] = swap ? ra : rb;
            ra = swap ? rb : ra;
            a = swap ? b : a;
        }
        key[i] = a;
        row[i] = ra;
    }
}

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

SortMeasure SortMeasureOf(std::int16_t sortKey) {
    switch (sortKey) {
        case 1: case 2: return &WatchEntry::prevCloseDev;
        case 3: case 4: return &WatchEntry::openDev;
        case 5: case 6: return &WatchEntry::vwapDev;
        case 7: case 8: return &WatchEntry::highDev;
        case 9: case 10: return &WatchEntry::lowDev;
        case 11: case 12: return &WatchEntry::quoteRatio;
        default: return nullptr;
    }
}

void SortRows(WatchTable& table, std::int16_t sortKey) {
    if (sortKey == 0) return;
    const int n = std::clamp<int>(table.EntryCount, 0, kMaxEntries);
    for (int r = 0; r < n; ++r) table.RowOrder[static_cast<std::size_t>(r)] = static_cast<std::int16_t>(r);
    const SortMeasure measure = SortMeasureOf(sortKey);
    if (measure == nullptr) return;
    const bool ascending = sortKey % 2 == 1;

    // The exchange sort exactly as the ranking has always done it: it is not stable, and traders
    // know the order its ties come out in. Nothing changes the measures while it runs, so the
    // keys are taken once and kept beside the rows they belong to.
    std::array<double, kMaxEntries> key;
    for (int r = 0; r < n; ++r) {
        key[static_cast<std::size_t>(r)] = std::fabs(table.entries[static_cast<std::size_t>(r)].*measure);
    }
    if (ascending) {
        ExchangeSort<true>(table.RowOrder.data(), key.data(), n);
    } else {
        ExchangeSort<false>(table.RowOrder.data(), key.data(), n);
    }
}

}  // namespace norvale
