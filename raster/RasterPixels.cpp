#include "raster/RasterPixels.h"

#include <cwchar>
#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define NORVALE_SSE2 1
#endif

namespace norvale {

void FillPixels(Pixel* line, std::size_t n, Pixel pixel) {
    if constexpr (sizeof(wchar_t) == sizeof(Pixel)) {
        // The C library's wide fill is the widest store loop at hand where wchar_t is 32 bits.
        std::wmemset(reinterpret_cast<wchar_t*>(line), static_cast<wchar_t>(pixel), n);
        return;
    }
    std::size_t k = 0;
#ifdef NORVALE_SSE2
    const __m128i four = _mm_set1_epi32(static_cast<int>(pixel));
    for (; k + 4 <= n; k += 4) _mm_storeu_si128(reinterpret_cast<__m128i*>(line + k), four);
#endif
    for (; k < n; ++k) line[k] = pixel;
}

int Paints::Take(const Paint& paint) {
    const std::size_t slot = next_;
    next_ = (next_ + 1) % slots_.size();
    count_ = std::min(slots_.size(), count_ + 1);
    slots_[slot] = Entry{paint, ++generations_};
    return static_cast<int>(slot);
}

const Pixel* GlyphStamps::Make(const GlyphMask& glyph, int slot, const Paints& paints) {
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
    Pixel* box = pool_.data() + entry.offset;
    // The same blends, in the same order, as the glyphs drawn one by one.
    auto blendIn = [&](Pixel colour, int shift) {
        for (int ly = glyph.top; ly <= glyph.bottom; ++ly) {
            Pixel* line = box + static_cast<std::size_t>(ly - glyph.top) * width + shift;
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

void PlainParts::Add(const PixelBox& box, Pixel colour) {
    std::copy_backward(parts_.begin(), parts_.end() - 1, parts_.end());
    parts_[0] = PlainPart{box, colour, box.left - 1};
}

void PlainParts::Filled(const PixelBox& box, Pixel colour) {
    if (box.Empty()) return;
    Drawn(box);
    Add(box, colour);
}

void PlainParts::Outlined(const PixelBox& outer, const PixelBox& inside, const std::array<PixelBox, 4>& edges,
                          Pixel colour) {
    for (PlainPart& part : parts_) {
        if (!outer.Contains(part.box)) {
            for (const PixelBox& edge : edges) {
                if (part.Meets(edge)) part.dirtyRight = std::max(part.dirtyRight, edge.right);
            }
            continue;
        }
        part.box.left = std::max(part.box.left, inside.left);
        part.box.right = std::min(part.box.right, inside.right);
        part.box.top = std::max(part.box.top, inside.top);
        part.box.bottom = std::min(part.box.bottom, inside.bottom);
    }
    // The sides cross the ends of the top and bottom edges, drawn already in the same colour.
    if (!edges[1].Empty() && edges[1] != edges[0]) Add(edges[1], colour);
    if (!edges[0].Empty()) Add(edges[0], colour);
}

}  // namespace norvale
