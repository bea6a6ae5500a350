#include "platform/qt/SurfacePixels.h"

#include <algorithm>

namespace norvale {

const QRgb* BlendRamps::Of(QRgb background, QRgb colour) {
    for (std::size_t k = 0; k < count_; ++k) {
        if (ramps_[k].background == background && ramps_[k].colour == colour) return ramps_[k].out.data();
    }
    Ramp& r = ramps_[next_];
    next_ = (next_ + 1) % ramps_.size();
    count_ = std::min(ramps_.size(), count_ + 1);
    r.background = background;
    r.colour = colour;
    for (std::uint32_t a = 1; a < 256; ++a) r.out[a] = Blend(background, colour, a);
    return r.out.data();
}

void PlainParts::Filled(const QRect& box, QRgb colour) {
    if (box.isEmpty()) return;
    Drawn(box);
    std::copy_backward(parts_.begin(), parts_.end() - 1, parts_.end());
    parts_[0] = PlainPart{box.left(), box.top(), box.right(), box.bottom(), colour, box.left() - 1};
}

void PlainParts::Outlined(const QRect& outer, const QRect& inside, const std::array<QRect, 4>& edges) {
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
}

const PlainPart* PlainParts::Under(const QRect& box) const {
    for (const PlainPart& part : parts_) {
        if (part.Holds(box)) return &part;
    }
    return nullptr;
}

}  // namespace norvale
