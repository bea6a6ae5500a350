// What a front end gives the table raster: the glyphs of its font, as coverage at a device scale.
#pragma once

#include <cstdint>
#include <vector>

namespace norvale {

// One character's coverage in device pixels over a box placed relative to the top left corner
// of the character's first cell (the top of its 12 px row).
struct GlyphImage {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> cover;  // height lines of width, 0 (none) to 255 (full); empty for a blank
};

class GlyphSource {
public:
    virtual ~GlyphSource() = default;
    // The character drawn at `scale` device pixels per layout pixel, on a baseline 10 layout pixels
    // below the top of its row; an empty image for a blank or a character the font cannot draw.
    virtual GlyphImage Render(char32_t cp, double scale) = 0;
};

}  // namespace norvale
