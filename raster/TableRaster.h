// The table surface drawn down to pixels, once for both windows: an image at the screen's device
// scale, into which fills, lines and shadowed text are drawn with the glyphs a front end gives.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/Surface.h"
#include "raster/DeviceScale.h"
#include "raster/GlyphCache.h"
#include "raster/GlyphSource.h"
#include "raster/RasterPixels.h"

namespace norvale {

class TableRaster : public Surface {
public:
    // The glyphs must outlive the raster. The image starts at 1 x 1 device pixel, white, scale 1.
    explicit TableRaster(GlyphSource& glyphs);

    // The layout's size, its width in whole pixels and its height unrounded (as Height() tells
    // it), and the image's size in device pixels (1 x 1 at least). Pixels in both the old and the
    // new image stay, the new ones are white. An image that cannot be allocated leaves the old one.
    void Resize(int width, double height, int deviceWidth, int deviceHeight);
    // Another device scale: the glyphs are rendered again, and the image is made anew in white.
    void Rescale(DeviceScale scale, int deviceWidth, int deviceHeight);
    const DeviceScale& Scale() const { return scale_; }
    // First device pixel of layout coordinate v (see DeviceScale).
    int Device(int v) const { return scale_.Device(v); }

    // The image: top-down lines of DeviceWidth() pixels, 0xFFRRGGBB.
    const Pixel* Pixels() const { return image_.data(); }
    int DeviceWidth() const { return imageWidth_; }
    int DeviceHeight() const { return imageHeight_; }

    int Width() const override { return width_; }
    double Height() const override { return height_; }
    // The image is always kept: it is what the window paints.
    void SetPersistent(bool) override {}
    void FillRect(int x1, int y1, int x2, int y2, Rgb colour) override;
    void OutlineRect(int x1, int y1, int x2, int y2, Rgb colour) override;
    void Line(int x1, int y1, int x2, int y2, Rgb colour) override;
    void Text(int x, int y, std::string_view utf8, Rgb colour) override;
    void ShadowedText(int x, int y, std::string_view utf8, Rgb main, Rgb shadow) override;
    void Clear() override;

protected:
    // After every change of the image: the window paints it again (one repaint for many calls).
    virtual void ImageChanged() {}
    // The image's pixels to change from outside (a stretched picture); PixelsReplaced after it.
    Pixel* MutablePixels() { return image_.data(); }
    void PixelsReplaced() { plain_.Forget(); }

private:
    // Device pixels of the layout rectangle left..right, top..bottom, both included, clipped.
    PixelBox DeviceBox(int left, int top, int right, int bottom) const;
    void FillDevice(const PixelBox& box, Pixel pixel);

    // What the glyphs of one text share: its top device line and the plain part the last glyph lay on.
    struct TextPass {
        int top;
        const PlainPart* part = nullptr;
    };
    template <class PerGlyph>
    void ForEachGlyph(int x, std::string_view utf8, PerGlyph glyph);
    // One glyph at device column gx: its shadow first when the paint has one, then the glyph.
    void DrawGlyph(TextPass& pass, const GlyphMask& g, int gx, const Paint& paint);
    // Blends the shadow and then the glyph over the image on box lines first..last, in device
    // columns from..to.
    void BlendColumns(const TextPass& pass, const GlyphMask& g, int gx, int first, int last, const Paint& paint,
                      int from, int to);
    // The glyph's ready pixels in the paint.
    const Pixel* Stamp(const GlyphMask& g, const Paint& paint) {
        for (const RecentPaint& r : recentPaints_) {
            if (r.paint == paint && paints_.Generation(r.slot) == r.generation) return stamps_.Of(g, r.slot, paints_);
        }
        return stamps_.Of(g, SlotOf(paint), paints_);
    }
    // The paint's slot, remembered among the recent ones.
    int SlotOf(const Paint& paint);
    Pixel* Row(int deviceY) { return image_.data() + static_cast<std::ptrdiff_t>(deviceY) * imageWidth_; }

    GlyphCache glyphs_;
    DeviceScale scale_ = DeviceScale::Ratio(1);
    int width_ = 0;
    double height_ = 0;
    std::vector<Pixel> image_;
    int imageWidth_ = 0;
    int imageHeight_ = 0;
    Paints paints_;
    GlyphStamps stamps_;
    // The last paints asked for, to find their slots without a search (a band's and its outline's).
    struct RecentPaint {
        Paint paint;
        int slot = 0;
        std::uint32_t generation = ~0u;  // of the slot when it took the paint; none at first
    };
    std::array<RecentPaint, 2> recentPaints_{};
    std::size_t nextRecent_ = 0;
    PlainParts plain_;
};

}  // namespace norvale
