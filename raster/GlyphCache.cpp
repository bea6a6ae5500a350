#include "raster/GlyphCache.h"

#include <algorithm>

namespace norvale {

GlyphCache::GlyphCache(GlyphSource& source) : source_(source), basicSlot_(0x10000, 0) {}

void GlyphCache::SetScale(double scale) {
    if (scale == scale_ || !(scale > 0)) return;
    scale_ = scale;
    masks_.clear();
    ascii_.fill(nullptr);
    std::fill(basicSlot_.begin(), basicSlot_.end(), 0);
    otherSlot_.clear();
}

const GlyphMask& GlyphCache::Find(char32_t cp) {
    if (cp < 0x10000) {
        std::uint16_t& slot = basicSlot_[cp];
        if (slot == 0 && masks_.size() < 0xFFFF) {
            Keep(source_.Render(cp, scale_));
            slot = static_cast<std::uint16_t>(masks_.size());
        }
        if (slot != 0) {
            const GlyphMask& mask = masks_[slot - 1u];
            if (cp < 128) ascii_[cp] = &mask;
            return mask;
        }
    }
    auto it = otherSlot_.find(cp);
    if (it == otherSlot_.end()) {
        Keep(source_.Render(cp, scale_));
        it = otherSlot_.emplace(cp, masks_.size() - 1).first;
    }
    return masks_[it->second];
}

// Narrowed to the pixels with coverage: the blends skip nothing else, and a stamp is no wider
// than the ink.
const GlyphMask& GlyphCache::Keep(const GlyphImage& image) {
    GlyphMask mask;
    mask.id = static_cast<std::uint32_t>(masks_.size());
    int left = image.width, right = -1, top = image.height, bottom = -1;
    const auto at = [&](int x, int y) { return image.cover[static_cast<std::size_t>(y * image.width + x)]; };
    if (image.cover.size() == static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height)) {
        for (int y = 0; y < image.height; ++y) {
            for (int x = 0; x < image.width; ++x) {
                if (at(x, y) == 0) continue;
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    if (right >= left) {
        mask.left = image.left + left;
        mask.right = image.left + right;
        mask.top = image.top + top;
        mask.bottom = image.top + bottom;
        for (int y = top; y <= bottom; ++y) {
            for (int x = left; x <= right; ++x) mask.cover.push_back(at(x, y));
        }
    }
    masks_.push_back(std::move(mask));
    return masks_.back();
}

}  // namespace norvale
