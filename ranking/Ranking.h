// The sort of the display order.
#pragma once

#include "table/WatchTable.h"
#include "ranking/SortKey.h"

namespace norvale {

// Orders the rows by the absolute value of the key's measure with the exchange sort, ties
// included, starting from the entries' own order. No sorting leaves the rows as they are;
// EntryOrder gives the entries' own order.
void SortRows(WatchTable& table, SortKey key);

}  // namespace norvale
