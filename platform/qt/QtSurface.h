// The table surface on Qt: a widget that keeps its drawing in a backing image at the screen's
// resolution and paints it on expose.
#pragma once

#include <QFont>
#include <QImage>
#include <QWidget>
#include <array>
#include <cmath>
#include <cstdint>

#include "platform/Surface.h"
#include "platform/WindowEvents.h"
#include "platform/qt/SurfacePixels.h"
#include "platform/qt/TableGlyphs.h"

namespace norvale {

class QtSurface : public QWidget, public Surface {
    Q_OBJECT
public:
    explicit QtSurface(QWidget* parent);

    void SetEvents(WindowEvents* events) { events_ = events; }
    // Size in twips as the core lays it out; the widget takes the nearest whole pixels.
    void SetSizeTwips(double width, double height);
    double WidthTwips() const { return widthTwips_; }
    double HeightTwips() const { return heightTwips_; }
    int LastClickY() const { return lastClickY_; }
    // The backing image in device pixels: Scale() times the layout's pixels.
    const QImage& Image() const { return image_; }
    const QFont& TableFont() const { return glyphs_.Font(); }
    bool TableFontAdvancesExact() const { return glyphs_.AdvancesExact(); }

    // Device pixels per layout pixel; the screen's ratio, taken again whenever the widget is
    // shown or moves to another screen. A change keeps the image, stretched, until the next
    // drawing; only the caller knows what to draw again.
    void SetScale(double scale);
    double Scale() const { return glyphs_.Scale(); }
    // First device pixel of layout coordinate v: layout pixel v covers Device(v) to
    // Device(v + 1) - 1, so edges stay whole pixels at fractional ratios.
    int Device(int v) const { return scale_ == 1 ? v : static_cast<int>(std::floor(v * scale_ + 0.5)); }

    int Width() const override;
    double Height() const override;
    void SetPersistent(bool on) override;
    void FillRect(int x1, int y1, int x2, int y2, Rgb colour) override;
    void OutlineRect(int x1, int y1, int x2, int y2, Rgb colour) override;
    void Line(int x1, int y1, int x2, int y2, Rgb colour) override;
    void Text(int x, int y, std::string_view utf8, Rgb colour) override;
    void ShadowedText(int x, int y, std::string_view utf8, Rgb main, Rgb shadow) override;
    void Clear() override;

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    // Makes the image again when the widget has another size than the one it was made for.
    void EnsureImage() {
        if (size() != imageFor_) SizeImage();
    }
    void SizeImage();
    void Changed();
    void AdoptScreenScale();
    // Device pixels of the layout rectangle left..right, top..bottom, both included.
    QRect DeviceRect(int left, int top, int right, int bottom) const;
    // Fills device pixels, clipped to the image.
    void FillDevice(const QRect& box, QRgb pixel);

    // What the glyphs of one text share: the pixels, the text's top device line and the plain
    // part the last glyph lay on.
    struct TextPass {
        QRgb* pixels;
        qsizetype wordsPerLine;
        int top;
        const PlainPart* part = nullptr;
    };
    TextPass StartText(int y);
    template <class PerGlyph>
    void ForEachGlyph(int x, std::string_view utf8, PerGlyph glyph);
    // One glyph at device column gx: its shadow first when the paint has one, then the glyph.
    void DrawGlyph(TextPass& pass, const GlyphMask& g, int gx, const Paint& paint);
    // Blends the shadow and then the glyph over the image on box lines first..last, in device
    // columns from..to.
    void BlendColumns(const TextPass& pass, const GlyphMask& g, int gx, int first, int last, const Paint& paint,
                      int from, int to);
    // The glyph's ready pixels in the paint.
    const QRgb* Stamp(const GlyphMask& g, const Paint& paint) {
        for (const RecentPaint& r : recentPaints_) {
            if (r.paint == paint && paints_.Generation(r.slot) == r.generation) return stamps_.Of(g, r.slot, paints_);
        }
        return stamps_.Of(g, SlotOf(paint), paints_);
    }
    // The paint's slot, remembered among the recent ones.
    int SlotOf(const Paint& paint);

    WindowEvents* events_ = nullptr;
    QImage image_;
    TableGlyphs glyphs_;
    double scale_ = 1;
    int imageWidth_ = 0;
    int imageHeight_ = 0;
    QSize imageFor_{-1, -1};
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
    bool repaintPending_ = false;
    double widthTwips_ = 0;
    double heightTwips_ = 0;
    int lastClickY_ = 0;
    bool pressed_ = false;
};

}  // namespace norvale
