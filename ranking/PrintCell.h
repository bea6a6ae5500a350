// One text cell of the ranking table: a white (or coloured) shadow copy, then the text itself.
#pragma once

#include <string_view>

#include "platform/Rgb.h"
#include "platform/Surface.h"
#include "table/RowSelection.h"

namespace norvale {

inline constexpr int kColumnUnit = 8;  // px across per layout column

// Draws text at layout cell (column, row) twice with a transparent background: in shadow colour
// with its top left corner at (8 column + 2, 12 row), then in main colour one pixel to the left.
// Cannot fail; text outside the surface is clipped by the surface.
void PrintCell(Surface& surface, int column, int row, std::string_view text, Rgb main, Rgb shadow);

}  // namespace norvale
