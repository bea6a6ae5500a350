// What the table raster keeps beside its pixels: glyphs ready blended over the colours in use,
// and the parts of the image known to hold one colour; and the pixel loops they share.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "raster/GlyphCache.h"

namespace norvale {

// A pixel: 0xFFRRGGBB, opaque, as both windows' 32-bit images take it.
using Pixel = std::uint32_t;

// Coverage a (1 to 255, exact at 255) of colour c over the pixel d, red and blue in one word.
inline Pixel Blend(Pixel d, Pixel c, std::uint32_t a) {
    const std::uint32_t b = 255 - a;
    auto div255 = [](std::uint32_t t) { return ((t + ((t >> 8) & 0x00FF00FFu) + 0x00800080u) >> 8) & 0x00FF00FFu; };
    const std::uint32_t rb = div255((d & 0x00FF00FFu) * b + (c & 0x00FF00FFu) * a);
    const std::uint32_t g = div255(((d >> 8) & 0x000000FFu) * b + ((c >> 8) & 0x000000FFu) * a);
    return 0xFF000000u | rb | (g << 8);
}

// Copies n pixels (n >= 1) in moves of 16 and 8 bytes, the last move overlapping the one before.
inline void CopyPixels(Pixel* to, const Pixel* from, int n) {
    if (n >= 4) {
        std::memcpy(to, from, 16);
        for (int i = 4; i + 4 < n; i += 4) std::memcpy(to + i, from + i, 16);
        std::memcpy(to + n - 4, from + n - 4, 16);
    } else if (n >= 2) {
        std::memcpy(to, from, 8);
        std::memcpy(to + n - 2, from + n - 2, 8);
    } else {
        to[0] = from[0];
    }
}

// n pixels (n >= 1) in one colour.
void FillPixels(Pixel* line, std::size_t n, Pixel pixel);

// A rectangle of device pixels, both ends included; empty when right < left or bottom < top.
struct PixelBox {
    int left = 0;
    int top = 0;
    int right = -1;
    int bottom = -1;

    bool Empty() const { return right < left || bottom < top; }
    int Width() const { return right - left + 1; }
    // An empty box is in none, and holds none.
    bool Contains(const PixelBox& b) const {
        return !Empty() && !b.Empty() && b.left >= left && b.right <= right && b.top >= top && b.bottom <= bottom;
    }
    friend bool operator==(const PixelBox&, const PixelBox&) = default;
};

// What a glyph is stamped in over a plain background: its colour, after a shadow `shift`
// device pixels to its right when shift is 0 or more.
struct Paint {
    Pixel background = 0;
    Pixel colour = 0;
    Pixel shadow = 0;
    int shift = -1;
    // Columns the stamp reaches past the glyph's box on the right.
    int Reach() const { return shift > 0 ? shift : 0; }
    friend bool operator==(const Paint&, const Paint&) = default;
};

// The paints in use, each in a slot: the bands, bars and texts of a table need a handful.
class Paints {
public:
    static constexpr int kSlots = 32;

    // The slot that holds the paint; a slot goes to another paint only after as many others.
    int Slot(const Paint& paint) {
        for (std::size_t k = 0; k < count_; ++k) {
            if (slots_[k].paint == paint) return static_cast<int>(k);
        }
        return Take(paint);
    }
    const Paint& Of(int slot) const { return slots_[static_cast<std::size_t>(slot)].paint; }
    // Changes whenever the slot takes another paint.
    std::uint32_t Generation(int slot) const { return slots_[static_cast<std::size_t>(slot)].generation; }

private:
    int Take(const Paint& paint);

    struct Entry {
        Paint paint;
        std::uint32_t generation = 0;
    };
    std::array<Entry, kSlots> slots_{};
    std::size_t count_ = 0;
    std::size_t next_ = 0;
    std::uint32_t generations_ = 0;
};

// Glyph boxes as finished pixels over a plain background, shadow included: text on a plain
// part copies their lines instead of blending each pixel of each run.
class GlyphStamps {
public:
    // BoxWidth() + Reach() pixels for each line of the glyph's box, starting at its left
    // column, in the paint of `slot`; made on first use, valid until the next call.
    const Pixel* Of(const GlyphMask& glyph, int slot, const Paints& paints) {
        const std::size_t at = std::size_t{glyph.id} * Paints::kSlots + static_cast<std::size_t>(slot);
        if (at < entries_.size() && entries_[at].generation == paints.Generation(slot)) {
            return pool_.data() + entries_[at].offset;
        }
        return Make(glyph, slot, paints);
    }
    // The glyphs were dropped; their ids start again from 0.
    void Forget();

private:
    const Pixel* Make(const GlyphMask& glyph, int slot, const Paints& paints);

    // Past this many pixels, every stamp is made again as it is needed.
    static constexpr std::size_t kPoolLimit = std::size_t{1} << 22;
    struct Entry {
        std::uint32_t generation = 0;  // of the paint slot it was made with, 0 for none
        std::uint32_t offset = 0;
    };
    std::vector<Entry> entries_;  // by glyph id, then paint slot
    std::vector<Pixel> pool_;
};

// A part of the image known to hold one colour: a box filled lately, less its columns up to
// dirtyRight, drawn on since.
struct PlainPart {
    PixelBox box;
    Pixel colour = 0;
    int dirtyRight = 0;

    bool Meets(const PixelBox& b) const {
        return b.left <= box.right && b.right >= box.left && b.top <= box.bottom && b.bottom >= box.top;
    }
    // Holding all of the box's columns and meeting its lines.
    bool Spans(const PixelBox& b) const { return b.left >= box.left && b.right <= box.right && Meets(b); }
};

// The last few plain parts. Glyphs on the clean columns of one are copied from their stamps;
// glyphs elsewhere are drawn exactly the same, only slower.
class PlainParts {
public:
    void Forget() { parts_.fill(PlainPart{}); }
    // The box was filled with one colour.
    void Filled(const PixelBox& box, Pixel colour);
    // The box was drawn on.
    void Drawn(const PixelBox& box) {
        for (PlainPart& part : parts_) {
            if (part.Meets(box)) part.dirtyRight = std::max(part.dirtyRight, box.right);
        }
    }
    // The edges (top, bottom, left, right) of the outline `outer` were drawn in one colour: a part
    // inside it keeps what is within `inside`, and the top and bottom edges are plain parts of
    // their own (the lines between a table's bands, which glyphs reach down to).
    void Outlined(const PixelBox& outer, const PixelBox& inside, const std::array<PixelBox, 4>& edges, Pixel colour);
    // The newest part whose columns hold the box and whose lines meet it, clean or not.
    const PlainPart* Beneath(const PixelBox& box) const {
        for (const PlainPart& part : parts_) {
            if (part.Spans(box)) return &part;
        }
        return nullptr;
    }

private:
    void Add(const PixelBox& box, Pixel colour);

    std::array<PlainPart, 4> parts_{};  // the newest first
};

}  // namespace norvale
