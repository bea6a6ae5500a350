// The glyphs of the table's font at the current device scale, as the raster blends them.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <unordered_map>
#include <vector>

#include "raster/GlyphSource.h"

namespace norvale {

// One character's coverage (1 to 255 where it reaches, else 0) over the smallest box that holds
// it, in device pixels relative to the top left of its cells.
struct GlyphMask {
    int left = 0;
    int top = 0;
    int right = -1;
    int bottom = -1;
    std::vector<std::uint8_t> cover;  // the box, line by line; empty for a blank
    // Numbers the masks of one scale from 0, for what the raster keeps per glyph.
    std::uint32_t id = 0;

    bool Blank() const { return cover.empty(); }
    int BoxWidth() const { return right - left + 1; }
    // Coverage of box column cx (0 at left) on line ly (top <= ly <= bottom).
    std::uint8_t CoverAt(int cx, int ly) const { return cover[static_cast<std::size_t>((ly - top) * BoxWidth() + cx)]; }
};

class GlyphCache {
public:
    explicit GlyphCache(GlyphSource& source);

    // A change drops every glyph: they are rendered again at the new scale on first use.
    void SetScale(double scale);

    // The mask of one character at the current scale, rendered on first use. The reference stays
    // valid until the scale changes.
    const GlyphMask& Mask(char32_t cp) {
        if (cp < 128 && ascii_[cp] != nullptr) return *ascii_[cp];
        return Find(cp);
    }

private:
    const GlyphMask& Find(char32_t cp);
    const GlyphMask& Keep(const GlyphImage& image);

    GlyphSource& source_;
    double scale_ = 1;
    std::deque<GlyphMask> masks_;
    std::array<const GlyphMask*, 128> ascii_{};
    // Index + 1 into masks_ for the characters of the basic plane, 0 while not rendered.
    std::vector<std::uint16_t> basicSlot_;
    std::unordered_map<char32_t, std::size_t> otherSlot_;
};

}  // namespace norvale
