#include "ranking/PrintCell.h"

namespace norvale {

void PrintCell(Surface& surface, int column, int row, std::string_view text, Rgb main, Rgb shadow) {
    surface.ShadowedText(kColumnUnit * column + 1, kRowHeight * row, text, main, shadow);
}

}  // namespace norvale
