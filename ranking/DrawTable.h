// Drawing of the ranking table on Picture1 and of status panel 4.
#pragma once

#include <cstdint>

#include "platform/StatusBar.h"
#include "platform/Surface.h"
#include "quotes/WatchTable.h"

namespace norvale {

// What the drawing keeps between calls and decides.
struct TableView {
    std::int32_t ClickY = 0;          // last click, pixels from the top of Picture1
    std::int16_t SelectedEntry = -1;  // slot in the row under ClickY at the last drawing
    std::int16_t DrawBusy = 0;
};

// Draws the whole table over what the surface shows (without clearing it) and sets panel 4.
void DrawTable(Surface& surface, StatusBar& statusBar, const WatchTable& table, TableView& view);

}  // namespace norvale
