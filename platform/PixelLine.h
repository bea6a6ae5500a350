// The logical pixels of a straight line as the table surfaces paint it.
#pragma once

#include <cstdlib>

namespace norvale {

// Calls plot(x, y) for each pixel from (x1, y1) up to, not including, (x2, y2): Bresenham's
// steps, so both surfaces paint a slanted line alike.
template <class Plot>
void ForEachLinePixel(int x1, int y1, int x2, int y2, Plot plot) {
    const int dx = std::abs(x2 - x1), sx = x1 < x2 ? 1 : -1;
    const int dy = -std::abs(y2 - y1), sy = y1 < y2 ? 1 : -1;
    int err = dx + dy;
    int x = x1, y = y1;
    while (x != x2 || y != y2) {
        plot(x, y);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

}  // namespace norvale
