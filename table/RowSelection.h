// The row the trader clicked, and the entry it selects at each drawing of the table.
#pragma once

#include <cstdint>

#include "table/WatchTable.h"

namespace norvale {

inline constexpr int kRowHeight = 12;  // px down per row; the heading takes the first

// The selection belongs to a screen row, not to a brand: whichever entry a drawing puts into the
// clicked row is the selected one, after a sort, a removal or an addition alike.
class RowSelection {
public:
    // A click y pixels below the top of the table surface; it stays until the next click.
    void Clicked(int y) { clickY_ = y; }
    // Before every drawing, with the rows that drawing shows: the entry in the clicked row. None
    // for a click on the heading or below the rows shown, or on a row marked for removal.
    void Settle(const WatchTable& table, int rowsShown);

    int ClickY() const { return clickY_; }
    // The display row shown selected (0 the top row) and the slot it shows; -1 for none.
    int Row() const { return row_; }
    std::int16_t Entry() const { return entry_; }

private:
    std::int32_t clickY_ = 0;  // 0 lies on the heading
    int row_ = -1;
    std::int16_t entry_ = -1;
};

}  // namespace norvale
