#include "platform/qt/SurfacePixels.h"

#include <algorithm>

namespace norvale {

int Paints::Take(const Paint& paint) {
    const std::size_t slot = next_;
    next_ = (next_ + 1) % slots_.size();
    count_ = std::min(slots_.size(), count_ + 1);
    slots_[slot] = Entry{paint, ++generations_};
    return static_cast<int>(slot);
}

const QRgb* GlyphStamps::Make(const GlyphMask& glyph, int slot, const Paints& paints) {
    const std::size_t at = std::size_t{glyph.id} * Paints::kSlots + static_cast<std::size_t>(slot);
    if (at >= entries_.size()) entries_.resize((std::size_t{glyph.id} + 1) * Paints::kSlots);
    const Paint& paint = paints.Of(slot);
    const auto width = static_cast<std::size_t>(glyph.BoxWidth() + paint.Reach());
    const std::size_t size = width * static_cast<std::size_t>(glyph.bottom - glyph.top + 1);
    if (pool_.size() + size > kPoolLimit) {
        pool_.clear();
        for (Entry& e : entries_) e.generation = 0;
    }
    Entry& entry = entries_[at];
    entry.generation = paints.Generation(slot);
    entry.offset = static_cast<std::uint32_t>(pool_.size());
    pool_.resize(pool_.size() + size, paint.background);
    QRgb* box = pool_.data() + entry.offset;
    // The same blends, in the same order, as the glyphs drawn one by one.
    auto blendIn = [&](QRgb colour, int shift) {
        for (int ly = glyph.top; ly <= glyph.bottom; ++ly) {
            QRgb* line = box + static_cast<std::size_t>(ly - glyph.top) * width + shift;
            for (int cx = 0; cx < glyph.BoxWidth(); ++cx) {
                const std::uint8_t cover = glyph.CoverAt(cx, ly);
                if (cover != 0 && line[cx] != colour) line[cx] = Blend(line[cx], colour, cover);
            }
        }
    };
    if (paint.shift >= 0) blendIn(paint.shadow, paint.shift);
    blendIn(paint.colour, 0);
    return box;
}

void GlyphStamps::Forget() {
    entries_.clear();
    pool_.clear();
}

void PlainParts::Add(const QRect& box, QRgb colour) {
    std::copy_backward(parts_.begin(), parts_.end() - 1, parts_.end());
    parts_[0] = PlainPart{box.left(), box.top(), box.right(), box.bottom(), colour, box.left() - 1};
}

void PlainParts::Filled(const QRect& box, QRgb colour) {
    if (box.isEmpty()) return;
    Drawn(box);
    Add(box, colour);
}

void PlainParts::Outlined(const QRect& outer, const QRect& inside, const std::array<QRect, 4>& edges, QRgb colour) {
    for (PlainPart& part : parts_) {
        if (!outer.contains(QRect(QPoint(part.left, part.top), QPoint(part.right, part.bottom)))) {
            for (const QRect& edge : edges) {
                if (part.Meets(edge)) part.dirtyRight = std::max(part.dirtyRight, edge.right());
            }
            continue;
        }
        part.left = std::max(part.left, inside.left());
        part.right = std::min(part.right, inside.right());
        part.top = std::max(part.top, inside.top());
        part.bottom = std::min(part.bottom, inside.bottom());
    }
    // The sides cross the ends of the top and bottom edges, drawn already in the same colour.
    if (!edges[1].isEmpty() && edges[1] != edges[0]) Add(edges[1], colour);
    if (!edges[0].isEmpty()) Add(edges[0], colour);
}

}  // namespace norvale
