// The table's font on Qt and its glyphs, kept as coverage masks placed on a fixed cell grid.
#pragma once

#include <QFont>
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace norvale {

// Characters that are one byte in code page 932 (ASCII and half-width katakana) take one
// 6 px cell; every other character takes two.
int CellsOf(char32_t cp);

// One character's coverage: the pixels it touches, relative to the top left of its cells, with
// their coverage 1 to 255, and the box that holds them.
struct GlyphDot {
    std::int8_t x;
    std::int8_t y;
    std::uint8_t alpha;
};

struct GlyphMask {
    int left = 0;
    int top = 0;
    int right = -1;
    int bottom = -1;
    std::vector<GlyphDot> dots;
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
    // The mask of one character, rendered on first use; a blank gives an empty mask.
    const GlyphMask& Mask(char32_t cp);

    // Baseline of the text, in pixels below the top of its 12 px row.
    static constexpr int kBaseline = 10;
    static constexpr int kCellWidth = 6;

private:
    GlyphMask Render(char32_t cp) const;

    QFont font_;
    bool exact_ = false;
    std::vector<GlyphMask> ascii_;
    std::vector<bool> asciiReady_;
    std::unordered_map<char32_t, GlyphMask> others_;
};

// Decodes one code point from UTF-8 at text[pos] and advances pos; a malformed byte gives U+FFFD.
char32_t NextCodePoint(std::string_view text, std::size_t& pos);

}  // namespace norvale
