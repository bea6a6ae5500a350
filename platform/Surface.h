// The table surface the ranking is drawn on: pixel coordinates, origin at the top left, y downward.
#pragma once

#include <string_view>

#include "platform/Rgb.h"

namespace norvale {

class Surface {
public:
    virtual ~Surface() = default;

    // Inner width in whole pixels.
    virtual int Width() const = 0;
    // Overall height in pixels, frame included, not rounded (twips / 15).
    virtual double Height() const = 0;

    // Keep what is drawn until it is cleared or drawn over (the persistent image).
    virtual void SetPersistent(bool on) = 0;

    // Fill the rectangle spanned by two corners, both included, given in either order.
    virtual void FillRect(int x1, int y1, int x2, int y2, Rgb colour) = 0;
    // One-pixel outline of the rectangle spanned by two corners, both included.
    virtual void OutlineRect(int x1, int y1, int x2, int y2, Rgb colour) = 0;
    // Straight line from (x1, y1) to (x2, y2); the end point is not painted.
    virtual void Line(int x1, int y1, int x2, int y2, Rgb colour) = 0;
    // Text (UTF-8) with its top left corner at (x, y), transparent background, in the
    // surface's fixed-pitch font: 6 px per half-width and 12 px per full-width character.
    virtual void Text(int x, int y, std::string_view utf8, Rgb colour) = 0;
    // A table cell's text: first in `shadow` one pixel to the right of (x, y), then in `main` at
    // (x, y). A surface may draw both at once, as long as the pixels come out the same.
    virtual void ShadowedText(int x, int y, std::string_view utf8, Rgb main, Rgb shadow) {
        Text(x + 1, y, utf8, shadow);
        Text(x, y, utf8, main);
    }
    // Clear everything to the background colour, white.
    virtual void Clear() = 0;
};

}  // namespace norvale
