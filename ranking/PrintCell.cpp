#include "ranking/PrintCell.h"

namespace norvale {

void PrintCell(Surface& surface, int column, int row, std::string_view text, Rgb main, Rgb shadow) {
    surface.Text(kColumnUnit * column + 2, kRowHeight * row, text, shadow);
    surface.Text(kColumnUnit * column + 1, kRowHeight * row, text, main);
}

}  // namespace norvale
