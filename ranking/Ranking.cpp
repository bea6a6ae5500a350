// The sort of the display order by the chosen measure.
#include "ranking/Ranking.h"

#include <array>
#include <cassert>
#include <cmath>

namespace norvale {

namespace {

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

MeasureField FieldOf(SortMeasure measure) {
    switch (measure) {
        case SortMeasure::PrevCloseDev: return &WatchEntry::prevCloseDev;
        case SortMeasure::OpenDev: return &WatchEntry::openDev;
        case SortMeasure::VwapDev: return &WatchEntry::vwapDev;
        case SortMeasure::HighDev: return &WatchEntry::highDev;
        case SortMeasure::LowDev: return &WatchEntry::lowDev;
        case SortMeasure::QuoteRatio: return &WatchEntry::quoteRatio;
        case SortMeasure::None:
        case SortMeasure::EntryOrder: return nullptr;
    }
    return nullptr;
}

void SortRows(WatchTable& table, SortKey key) {
    if (key.measure == SortMeasure::None) return;
    const int n = table.Count();
    std::array<std::int16_t, kMaxEntries> rows;
    for (int r = 0; r < n; ++r) rows[static_cast<std::size_t>(r)] = static_cast<std::int16_t>(r);
    if (const MeasureField measure = FieldOf(key.measure)) {
        // The exchange sort exactly as the ranking has always done it: it is not stable, and traders
        // know the order its ties come out in. Nothing changes the measures while it runs, so the
        // keys are taken once and kept beside the rows they belong to.
        std::array<double, kMaxEntries> keys;
        for (int r = 0; r < n; ++r) keys[static_cast<std::size_t>(r)] = std::fabs(table.Entry(r).*measure);
        if (key.direction == SortDirection::Ascending) {
            ExchangeSort<true>(rows.data(), keys.data(), n);
        } else {
            ExchangeSort<false>(rows.data(), keys.data(), n);
        }
    }
    [[maybe_unused]] const bool ordered = table.SetRowOrder({rows.data(), static_cast<std::size_t>(n)});
    assert(ordered);
}

}  // namespace norvale
