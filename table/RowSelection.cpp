// Which entry the clicked row shows.
#include "table/RowSelection.h"

#include <algorithm>

namespace norvale {

void RowSelection::Settle(const WatchTable& table, int rowsShown) {
    row_ = -1;
    entry_ = -1;
    if (clickY_ < kRowHeight) return;  // the heading, or above the surface
    const int row = clickY_ / kRowHeight - 1;
    if (row >= std::min(rowsShown, table.Count())) return;
    const int slot = table.SlotInRow(row);
    if (table.MarkedForRemoval(slot)) return;
    row_ = row;
    entry_ = static_cast<std::int16_t>(slot);
}

}  // namespace norvale
