// What the table surface keeps beside its pixels: ready blends of glyph coverage, glyphs ready
// blended, and the parts of the image known to hold one colour.
#pragma once

#include <QColor>
#include <QRect>
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/qt/TableGlyphs.h"

namespace norvale {

// Coverage a (1 to 255, exact at 255) of colour c over the pixel d, red and blue in one word.
inline QRgb Blend(QRgb d, QRgb c, std::uint32_t a) {
    const std::uint32_t b = 255 - a;
    auto div255 = [](std::uint32_t t) { return ((t + ((t >> 8) & 0x00FF00FFu) + 0x00800080u) >> 8) & 0x00FF00FFu; };
    const std::uint32_t rb = div255((d & 0x00FF00FFu) * b + (c & 0x00FF00FFu) * a);
    const std::uint32_t g = div255(((d >> 8) & 0x000000FFu) * b + ((c >> 8) & 0x000000FFu) * a);
    return 0xFF000000u | rb | (g << 8);
}

// Copies n pixels (n >= 1) in moves of 16 and 8 bytes, the last move overlapping the one before.
inline void CopyPixels(QRgb* to, const QRgb* from, int n) {
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

// The blends of one colour over one background, for every glyph that lands on it: the bands
// and bars come in a handful of colours, so a few pairs serve a whole table.
class BlendRamps {
public:
    static constexpr int kSlots = 16;

    // The slot that holds the pair, its blends made ready; a slot goes to another pair only
    // after as many other pairs have been asked for.
    int Slot(QRgb background, QRgb colour);
    // Blend(background, colour, a) at index a, and the background at 0.
    const QRgb* Ramp(int slot) const { return ramps_[static_cast<std::size_t>(slot)].out.data(); }
    // Changes whenever the slot takes another pair.
    std::uint32_t Generation(int slot) const { return ramps_[static_cast<std::size_t>(slot)].generation; }

private:
    struct Pair {
        QRgb background = 0;
        QRgb colour = 0;
        std::uint32_t generation = 0;
        std::array<QRgb, 256> out{};
    };
    std::array<Pair, kSlots> ramps_{};
    std::size_t count_ = 0;
    std::size_t next_ = 0;
    std::uint32_t generations_ = 0;
};

// Glyph boxes as finished pixels over a plain background: the blends where the glyph covers,
// the background elsewhere. Text on a plain part copies their lines instead of blending each
// pixel of each run.
class GlyphStamps {
public:
    // BoxWidth() pixels for each line of the glyph's box, in the colours of the pair in `slot`;
    // made on first use, valid until the next call.
    const QRgb* Of(const GlyphMask& glyph, int slot, const BlendRamps& ramps) {
        const std::size_t at = std::size_t{glyph.id} * BlendRamps::kSlots + static_cast<std::size_t>(slot);
        if (at < entries_.size() && entries_[at].generation == ramps.Generation(slot)) {
            return pool_.data() + entries_[at].offset;
        }
        return Make(glyph, slot, ramps);
    }
    // The glyphs were dropped; their ids start again from 0.
    void Forget();

private:
    const QRgb* Make(const GlyphMask& glyph, int slot, const BlendRamps& ramps);

    // Past this many pixels, every stamp is made again as it is needed.
    static constexpr std::size_t kPoolLimit = std::size_t{1} << 22;
    struct Entry {
        std::uint32_t generation = 0;  // of the ramp slot it was made with, 0 for none
        std::uint32_t offset = 0;
    };
    std::vector<Entry> entries_;  // by glyph id, then ramp slot
    std::vector<QRgb> pool_;
};

// A part of the image known to hold one colour, in device pixels: a rectangle filled lately,
// less its columns up to dirtyRight, drawn on since.
struct PlainPart {
    int left = 0;
    int top = 0;
    int right = -1;
    int bottom = -1;
    QRgb colour = 0;
    int dirtyRight = 0;

    bool Meets(const QRect& box) const {
        return box.left() <= right && box.right() >= left && box.top() <= bottom && box.bottom() >= top;
    }
    // Clean in all of the box's columns, and meeting its lines.
    bool Holds(const QRect& box) const {
        return box.left() > dirtyRight && box.left() >= left && box.right() <= right && Meets(box);
    }
};

// The last few plain parts. Text on one needs no reading of the pixels, and the white shadow
// on a white band no work at all; text elsewhere is drawn exactly the same, only slower.
class PlainParts {
public:
    void Forget() { parts_.fill(PlainPart{}); }
    // The box was filled with one colour.
    void Filled(const QRect& box, QRgb colour);
    // The box was drawn on, except in the part `unchanged`.
    void Drawn(const QRect& box, const PlainPart* unchanged = nullptr) {
        for (PlainPart& part : parts_) {
            if (&part != unchanged && part.Meets(box)) part.dirtyRight = std::max(part.dirtyRight, box.right());
        }
    }
    // The edges (top, bottom, left, right) of the outline `outer` were drawn in one colour: a part
    // inside it keeps what is within `inside`, and the top and bottom edges are plain parts of
    // their own (the lines between a table's bands, which glyphs reach down to).
    void Outlined(const QRect& outer, const QRect& inside, const std::array<QRect, 4>& edges, QRgb colour);
    // The clean part whose columns hold the box and whose lines meet it, if any.
    const PlainPart* Under(const QRect& box) const;

private:
    void Add(const QRect& box, QRgb colour);

    std::array<PlainPart, 4> parts_{};  // the newest first
};

}  // namespace norvale
