// The table's font on Windows and its glyphs at one scale, kept as coverage masks on the cell grid.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/win32/GdiHandles.h"

namespace norvale {

// One character's coverage in device pixels: a box relative to the top left of its first cell,
// its rows padded to a multiple of four pixels with no coverage, so the drawing blends four
// pixels at a time.
struct DeviceGlyph {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> alpha;  // coverage 0 to 255, height rows of width
    bool Empty() const { return width == 0; }
};

class Win32TableGlyphs {
public:
    // Picks the first Japanese gothic candidate whose advances at 12 px are exactly 6 px per
    // half-width and 12 px per full-width character (arrows included), else the system's fixed
    // pitch font, whose glyphs are still put on the 6 px grid; the same at every scale. dpi 96 is
    // scale 1.
    explicit Win32TableGlyphs(int dpi);

    int Dpi() const { return dpi_; }
    const std::wstring& Face() const { return face_; }
    // True when the chosen font's own advances match the grid.
    bool AdvancesExact() const { return exact_; }
    // The mask of one character at this scale, rendered on first use; a blank gives an empty one.
    const DeviceGlyph& Mask(char32_t cp);

    // Baseline of the text in logical pixels below the top of its 12 px row, as on Linux.
    static constexpr int kBaseline = 10;

private:
    DeviceGlyph Render(char32_t cp) const;

    int dpi_;
    gdi::UniqueDc dc_;
    gdi::UniqueFont font_;
    gdi::Selection selected_;
    std::wstring face_;
    bool exact_ = false;
    int baseline_ = kBaseline;
    std::vector<DeviceGlyph> ascii_;
    std::vector<bool> asciiReady_;
    std::unordered_map<char32_t, DeviceGlyph> others_;
};

}  // namespace norvale
