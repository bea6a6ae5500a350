// The table's font on Qt and its glyphs for the table raster.
#pragma once

#include <QFont>
#include <QRawFont>

#include "raster/GlyphSource.h"

namespace norvale {

class QtGlyphSource : public GlyphSource {
public:
    // Picks the first of the Japanese gothic candidates at 12 px whose advances are exactly 6 px
    // per half-width and 12 px per full-width character (arrows included); otherwise the
    // system's fixed font, whose glyphs are still placed on the 6 px grid.
    QtGlyphSource();

    const QFont& Font() const { return font_; }
    // True when the chosen font's own advances match the grid.
    bool AdvancesExact() const { return exact_; }

    GlyphImage Render(char32_t cp, double scale) override;

private:
    QFont font_;
    // The font's own glyphs, drawn without laying out a text: one glyph load each instead of two.
    QRawFont raw_;
    bool exact_ = false;
};

}  // namespace norvale
