#include "raster/TableRaster.h"

#include <algorithm>
#include <limits>
#include <new>

#include "platform/PixelLine.h"
#include "platform/TextCells.h"

namespace norvale {

namespace {

constexpr Pixel kWhitePixel = 0xFFFFFFFFu;
constexpr int kCellWidth = 6;

Pixel ToPixel(Rgb c) { return 0xFF000000u | std::uint32_t{c.r} << 16 | std::uint32_t{c.g} << 8 | std::uint32_t{c.b}; }

}  // namespace

TableRaster::TableRaster(GlyphSource& glyphs) : glyphs_(glyphs), image_(1, kWhitePixel), imageWidth_(1), imageHeight_(1) {}

void TableRaster::Resize(int width, double height, int deviceWidth, int deviceHeight) {
    width_ = width;
    height_ = height;
    deviceWidth = std::max(deviceWidth, 1);
    deviceHeight = std::max(deviceHeight, 1);
    if (deviceWidth == imageWidth_ && deviceHeight == imageHeight_) return;
    std::vector<Pixel> grown;
    try {
        grown.assign(static_cast<std::size_t>(deviceWidth) * static_cast<std::size_t>(deviceHeight), kWhitePixel);
    } catch (const std::bad_alloc&) {
        return;  // out of memory: drawing goes on into the old image
    }
    const int w = std::min(deviceWidth, imageWidth_), h = std::min(deviceHeight, imageHeight_);
    for (int y = 0; y < h; ++y) std::copy_n(Row(y), w, grown.data() + static_cast<std::ptrdiff_t>(y) * deviceWidth);
    image_ = std::move(grown);
    imageWidth_ = deviceWidth;
    imageHeight_ = deviceHeight;
    plain_.Forget();
}

void TableRaster::Rescale(DeviceScale scale, int deviceWidth, int deviceHeight) {
    scale_ = scale;
    glyphs_.SetScale(scale.Factor());
    stamps_.Forget();
    std::fill(image_.begin(), image_.end(), kWhitePixel);
    plain_.Forget();
    Resize(width_, height_, deviceWidth, deviceHeight);
}

PixelBox TableRaster::DeviceBox(int left, int top, int right, int bottom) const {
    const int l = std::max(Device(left), 0), t = std::max(Device(top), 0);
    const int r = std::min(Device(right + 1) - 1, imageWidth_ - 1), b = std::min(Device(bottom + 1) - 1, imageHeight_ - 1);
    if (l > r || t > b) return PixelBox{};
    return PixelBox{l, t, r, b};
}

void TableRaster::FillDevice(const PixelBox& box, Pixel pixel) {
    if (box.Empty()) return;
    Pixel* line = Row(box.top) + box.left;
    const int n = box.Width();
    if (n == 1) {  // the borders
        for (int y = box.top; y <= box.bottom; ++y, line += imageWidth_) *line = pixel;
        return;
    }
    if (n <= 8) {  // a call per line would cost more than its pixels
        for (int y = box.top; y <= box.bottom; ++y, line += imageWidth_) {
            for (int i = 0; i < n; ++i) line[i] = pixel;
        }
        return;
    }
    for (int y = box.top; y <= box.bottom; ++y, line += imageWidth_) FillPixels(line, static_cast<std::size_t>(n), pixel);
}

void TableRaster::FillRect(int x1, int y1, int x2, int y2, Rgb colour) {
    const PixelBox box = DeviceBox(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2));
    FillDevice(box, ToPixel(colour));
    plain_.Filled(box, ToPixel(colour));
    ImageChanged();
}

void TableRaster::OutlineRect(int x1, int y1, int x2, int y2, Rgb colour) {
    const int l = std::min(x1, x2), r = std::max(x1, x2), t = std::min(y1, y2), b = std::max(y1, y2);
    const Pixel pixel = ToPixel(colour);
    const std::array<PixelBox, 4> edges = {DeviceBox(l, t, r, t), DeviceBox(l, b, r, b), DeviceBox(l, t, l, b),
                                           DeviceBox(r, t, r, b)};
    for (const PixelBox& edge : edges) FillDevice(edge, pixel);
    // The outline of a band just filled leaves its inside plain.
    plain_.Outlined(DeviceBox(l, t, r, b), DeviceBox(l + 1, t + 1, r - 1, b - 1), edges, pixel);
    ImageChanged();
}

void TableRaster::Line(int x1, int y1, int x2, int y2, Rgb colour) {
    const Pixel pixel = ToPixel(colour);
    auto dot = [&](int left, int top, int right, int bottom) {
        const PixelBox box = DeviceBox(left, top, right, bottom);
        FillDevice(box, pixel);
        plain_.Drawn(box);
    };
    if (x1 == x2 && y1 != y2) {  // the table's borders: one run of whole layout pixels
        dot(x1, y1 < y2 ? y1 : y2 + 1, x1, y1 < y2 ? y2 - 1 : y1);
    } else if (y1 == y2 && x1 != x2) {
        dot(x1 < x2 ? x1 : x2 + 1, y1, x1 < x2 ? x2 - 1 : x1, y1);
    } else {
        ForEachLinePixel(x1, y1, x2, y2, [&](int x, int y) { dot(x, y, x, y); });
    }
    ImageChanged();
}

// Every character sits on the fixed 6 px grid whatever the font's own advances, so the padded
// numbers line up in their columns. Calls glyph(mask, layout x of its cells) for each character
// that has pixels, while it returns true.
template <class PerGlyph>
void TableRaster::ForEachGlyph(int x, std::string_view utf8, PerGlyph glyph) {
    int cellX = x;
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const auto byte = static_cast<unsigned char>(utf8[pos]);
        if (byte == ' ') {  // the padding of every number
            ++pos;
            cellX += kCellWidth;
            continue;
        }
        const char32_t cp = byte < 0x80 ? (++pos, byte) : DecodeUtf8At(utf8, pos);
        const GlyphMask& g = glyphs_.Mask(cp);
        const int at = cellX;
        cellX += kCellWidth * (cp < 0x80 ? 1 : CellsOfCodePoint(cp));
        if (!g.Blank() && !glyph(g, at)) return;
    }
}

void TableRaster::Text(int x, int y, std::string_view utf8, Rgb colour) {
    TextPass pass{Device(y)};
    const Paint paint{0, ToPixel(colour), 0, -1};
    ForEachGlyph(x, utf8, [&](const GlyphMask& g, int cellX) {
        DrawGlyph(pass, g, Device(cellX), paint);
        return true;
    });
    ImageChanged();
}

void TableRaster::ShadowedText(int x, int y, std::string_view utf8, Rgb main, Rgb shadow) {
    // Glyph by glyph, each shadow just before its glyph: the same pixels as all shadows first
    // while no glyph reaches onto the shadow of a later one. A text where one does is drawn
    // twice, as the two texts.
    struct Placed {
        const GlyphMask* glyph;
        int x;
        int shift;
    };
    std::array<Placed, 64> placed;
    std::size_t count = 0;
    int reach = std::numeric_limits<int>::min();
    bool apart = true;
    ForEachGlyph(x, utf8, [&](const GlyphMask& g, int cellX) {
        const int gx = Device(cellX), shift = Device(cellX + 1) - gx;
        apart = count < placed.size() && gx + shift + g.left > reach;
        if (!apart) return false;
        reach = std::max(reach, gx + g.right);
        placed[count++] = {&g, gx, shift};
        return true;
    });
    if (!apart) {
        Surface::ShadowedText(x, y, utf8, main, shadow);
        return;
    }
    TextPass pass{Device(y)};
    for (std::size_t k = 0; k < count; ++k) {
        DrawGlyph(pass, *placed[k].glyph, placed[k].x, Paint{0, ToPixel(main), ToPixel(shadow), placed[k].shift});
    }
    ImageChanged();
}

int TableRaster::SlotOf(const Paint& paint) {
    RecentPaint& r = recentPaints_[nextRecent_];
    nextRecent_ = (nextRecent_ + 1) % recentPaints_.size();
    r.paint = paint;
    r.slot = paints_.Slot(paint);
    r.generation = paints_.Generation(r.slot);
    return r.slot;
}

void TableRaster::BlendColumns(const TextPass& pass, const GlyphMask& g, int gx, int first, int last,
                               const Paint& paint, int from, int to) {
    first = std::max(first, -pass.top);
    last = std::min(last, imageHeight_ - 1 - pass.top);
    from = std::max(from, 0);
    to = std::min(to, imageWidth_ - 1);
    const int left = gx + g.left, width = g.BoxWidth();
    const int shift = paint.shift;
    for (int ly = first; ly <= last; ++ly) {
        Pixel* row = Row(pass.top + ly);
        for (int c = from; c <= to; ++c) {
            const int cx = c - left;
            if (shift >= 0 && cx - shift >= 0 && cx - shift < width) {
                const std::uint8_t cover = g.CoverAt(cx - shift, ly);
                if (cover != 0 && row[c] != paint.shadow) row[c] = Blend(row[c], paint.shadow, cover);
            }
            if (cx < width) {
                const std::uint8_t cover = g.CoverAt(cx, ly);
                if (cover != 0 && row[c] != paint.colour) row[c] = Blend(row[c], paint.colour, cover);
            }
        }
    }
}

void TableRaster::DrawGlyph(TextPass& pass, const GlyphMask& g, int gx, const Paint& paint) {
    const int left = gx + g.left, glyphRight = gx + g.right, right = glyphRight + paint.Reach();
    const int top = pass.top + g.top, bottom = pass.top + g.bottom;
    if (right < 0 || left >= imageWidth_ || bottom < 0 || top >= imageHeight_) return;
    const PixelBox box{left, top, right, bottom};
    // The part under the glyph's middle line: a band, rather than the outline a glyph reaches.
    const PixelBox middle{left, (top + bottom) / 2, right, (top + bottom) / 2};
    if (pass.part == nullptr || !pass.part->Spans(middle)) pass.part = plain_.Beneath(middle);
    if (pass.part == nullptr) {
        BlendColumns(pass, g, gx, g.top, g.bottom, paint, left, right);
        plain_.Drawn(box);
        return;
    }
    // The columns of a plain part still clean take the glyph's ready pixels over its colour; the
    // others, and lines on no plain part, are blended run by run.
    bool changed = false;
    int changedRight = glyphRight;
    auto onPart = [&](const PlainPart& part, int first, int last) {
        Paint over = paint;
        over.background = part.colour;
        if (over.shift >= 0 && over.shadow == over.background) over.shift = -1;  // a shadow on its own colour
        const int dirty = std::clamp(part.dirtyRight + 1 - left, 0, right - left + 1);
        if (dirty > 0) {
            BlendColumns(pass, g, gx, first, last, paint, left, left + dirty - 1);
            changed = true;
        }
        const int width = g.BoxWidth() + over.Reach();
        if (dirty >= width || (over.shift < 0 && over.colour == over.background)) return;
        const Pixel* from = Stamp(g, over) + (first - g.top) * width + dirty;
        Pixel* row = Row(pass.top + first) + left + dirty;
        for (int ly = first; ly <= last; ++ly, row += imageWidth_, from += width) CopyPixels(row, from, width - dirty);
        changed = true;
        if (over.shift >= 0) changedRight = right;
    };
    const PlainPart& part = *pass.part;
    const int first = std::max(g.top, part.box.top - pass.top), last = std::min(g.bottom, part.box.bottom - pass.top);
    onPart(part, first, last);
    // Lines off it, as a comma reaching down onto the band's outline, may lie on another.
    for (int ly = g.top; ly <= g.bottom; ++ly) {
        if (ly == first) ly = last + 1;
        if (ly > g.bottom) break;
        const PlainPart* other = plain_.Beneath(PixelBox{left, pass.top + ly, right, pass.top + ly});
        if (other != nullptr) {
            onPart(*other, ly, ly);
        } else {
            BlendColumns(pass, g, gx, ly, ly, paint, left, right);
            changed = true;
            changedRight = right;
        }
    }
    if (changed) plain_.Drawn(PixelBox{left, top, changedRight, bottom});
}

void TableRaster::Clear() {
    FillPixels(image_.data(), image_.size(), kWhitePixel);
    plain_.Forget();
    plain_.Filled(PixelBox{0, 0, imageWidth_ - 1, imageHeight_ - 1}, kWhitePixel);
    ImageChanged();
}

}  // namespace norvale
