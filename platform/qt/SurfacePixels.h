// What the table surface keeps beside its pixels: ready blends of glyph coverage, and the parts
// of the image known to hold one colour.
#pragma once

#include <QColor>
#include <QRect>
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

namespace norvale {

// Coverage a (1 to 255, exact at 255) of colour c over the pixel d, red and blue in one word.
inline QRgb Blend(QRgb d, QRgb c, std::uint32_t a) {
    const std::uint32_t b = 255 - a;
    auto div255 = [](std::uint32_t t) { return ((t + ((t >> 8) & 0x00FF00FFu) + 0x00800080u) >> 8) & 0x00FF00FFu; };
    const std::uint32_t rb = div255((d & 0x00FF00FFu) * b + (c & 0x00FF00FFu) * a);
    const std::uint32_t g = div255(((d >> 8) & 0x000000FFu) * b + ((c >> 8) & 0x000000FFu) * a);
    return 0xFF000000u | rb | (g << 8);
}

// The 255 blends of one colour over one background, for every glyph that lands on it: the
// bands come in a handful of colours.
class BlendRamps {
public:
    // Blend(background, colour, a) at index a; valid until the ninth other pair is asked for.
    const QRgb* Of(QRgb background, QRgb colour);

private:
    struct Ramp {
        QRgb background = 0;
        QRgb colour = 0;
        std::array<QRgb, 256> out{};
    };
    std::array<Ramp, 8> ramps_{};
    std::size_t count_ = 0;
    std::size_t next_ = 0;
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
    // The edges of the outline `outer` were drawn: a part inside it keeps what is within `inside`.
    void Outlined(const QRect& outer, const QRect& inside, const std::array<QRect, 4>& edges);
    // The clean part whose columns hold the box and whose lines meet it, if any.
    const PlainPart* Under(const QRect& box) const;

private:
    std::array<PlainPart, 3> parts_{};  // the newest first
};

}  // namespace norvale
