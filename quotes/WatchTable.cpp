// The table of watched brands: order, blanking, appending and removing a slot.
#include "quotes/WatchTable.h"

#include <utility>

namespace norvale {

void WatchTable::ResetRowOrder() {
    for (int r = 0; r < kMaxEntries; ++r) RowOrder[r] = static_cast<std::int16_t>(r);
}

void WatchTable::BlankAll() {
    for (auto& e : entries) e = WatchEntry{};
}

bool WatchTable::Append(WatchEntry entry) {
    if (EntryCount >= kMaxEntries) return false;
    const std::int16_t b = EntryCount;
    entries[static_cast<std::size_t>(b)] = std::move(entry);
    RowOrder[static_cast<std::size_t>(b)] = b;
    EntryCount = static_cast<std::int16_t>(b + 1);
    return true;
}

void WatchTable::RemoveTargetSlot() {
    const int a = DeleteTarget;
    const int n = EntryCount;
    if (n < 1 || a < 0 || a >= n) return;  // nothing live at that slot

    entries[a] = WatchEntry{};

    int p = n;
    for (int r = 0; r < n; ++r) {
        if (RowOrder[r] == a) {
            p = r;
            break;
        }
    }
    for (int r = p; r <= n - 2; ++r) RowOrder[r] = RowOrder[r + 1];
    for (int r = 0; r <= n - 2; ++r) {
        if (RowOrder[r] > a) --RowOrder[r];
    }
    for (int k = a; k <= n - 2; ++k) entries[k] = entries[k + 1];
    entries[n - 1] = WatchEntry{};
    EntryCount = static_cast<std::int16_t>(n - 1);
}

}  // namespace norvale
