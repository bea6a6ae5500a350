// The table's font on Qt and its glyphs, kept as coverage boxes for the current device scale.
#pragma once

#include <QFont>
#include <QRawFont>
#include <array>
#include <cstdint>
#include <deque>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/TextCells.h"

namespace norvale {

// One character's coverage in device pixels (1 to 255 where it reaches, else 0) over the box
// that holds it, relative to the top left of its cells.
struct GlyphMask {
    int left = 0;
    int top = 0;
    int right = -1;
    int bottom = -1;
    std::vector<std::uint8_t> cover;  // the box, line by line; empty for a blank
    // Numbers the masks of one scale from 0, for what the surface keeps per glyph.
    std::uint32_t id = 0;

    bool Blank() const { return cover.empty(); }
    int BoxWidth() const { return right - left + 1; }
    // Coverage of box column cx (0 at left) on line ly (top <= ly <= bottom).
    std::uint8_t CoverAt(int cx, int ly) const { return cover[static_cast<std::size_t>((ly - top) * BoxWidth() + cx)]; }
};

class TableGlyphs {
public:
    // Picks the first of the Japanese gothic candidates at 12 px whose advances are exactly 6 px
    // per half-width and 12 px per full-width character (arrows included); otherwise the
    // system's fixed font, whose glyphs are still placed on the 6 px grid.
    TableGlyphs();

    const QFont& Font() const { return font_; }
    // True when the chosen font's own advances match the grid.
    bool AdvancesExact() const { return exact_; }

    // Device pixels per layout pixel. A change drops every glyph: they are rendered again at
    // the new resolution on first use.
    void SetScale(double scale);
    double Scale() const { return scale_; }

    // The mask of one character at the current scale, rendered on first use; a blank gives an
    // empty mask. The reference stays valid until the scale changes.
    const GlyphMask& Mask(char32_t cp) {
        if (cp < 128 && ascii_[cp] != nullptr) return *ascii_[cp];
        return Find(cp);
    }

    // Baseline of the text, in layout pixels below the top of its 12 px row.
    static constexpr int kBaseline = 10;
    static constexpr int kCellWidth = 6;

private:
    const GlyphMask& Find(char32_t cp);
    GlyphMask Render(char32_t cp) const;
    const GlyphMask& Keep(GlyphMask mask);

    QFont font_;
    // The font's own glyphs, drawn without laying out a text: one glyph load each instead of two.
    QRawFont raw_;
    bool exact_ = false;
    double scale_ = 1;
    std::deque<GlyphMask> masks_;
    std::array<const GlyphMask*, 128> ascii_{};
    // Index + 1 into masks_ for the characters of the basic plane, 0 while not rendered.
    std::vector<std::uint16_t> basicSlot_;
    std::unordered_map<char32_t, std::size_t> otherSlot_;
};

}  // namespace norvale
