// The sort of the display order.
#pragma once

#include "quotes/WatchTable.h"
#include "ranking/SortKey.h"

namespace norvale {

// Orders RowOrder[0..EntryCount-1] by the absolute value of the key's measure with the
// exchange sort, ties included, starting from the entries' own order. No sorting leaves
// RowOrder untouched; EntryOrder leaves the entries' own order. Writes no other slot.
void SortRows(WatchTable& table, SortKey key);

}  // namespace norvale
