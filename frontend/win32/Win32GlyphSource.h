// The table's font on Windows and its glyphs for the table raster.
#pragma once

#include <string>

#include "frontend/win32/GdiHandles.h"
#include "raster/GlyphSource.h"

namespace norvale {

class Win32GlyphSource : public GlyphSource {
public:
    // Picks the first Japanese gothic candidate whose advances at 12 px are exactly 6 px per
    // half-width and 12 px per full-width character (arrows included), else the system's fixed
    // pitch font, whose glyphs are still put on the 6 px grid; the same face at every scale.
    Win32GlyphSource();

    const std::wstring& Face() const { return face_; }
    // True when the chosen font's own advances match the grid.
    bool AdvancesExact() const { return exact_; }

    // At the scale's dpi (96 is scale 1), in a font made for it.
    GlyphImage Render(char32_t cp, double scale) override;

private:
    void UseDpi(int dpi);

    gdi::UniqueDc dc_;
    gdi::UniqueFont font_;
    gdi::Selection selected_;
    std::wstring asked_;  // the candidate that fits, empty for the system's choice
    std::wstring face_;
    bool exact_ = false;
    int dpi_ = 0;
    int baseline_ = 0;
};

}  // namespace norvale
