// The table surface on Qt: a widget that keeps its drawing in a backing image at the screen's
// resolution and paints it on expose.
#pragma once

#include <QFont>
#include <QImage>
#include <QWidget>
#include <array>
#include <cmath>

#include "platform/Surface.h"
#include "platform/WindowEvents.h"
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
    // The coverage blends of one colour over one background, 256 of them, reused by every
    // glyph that lands on that background (the bands are a handful of colours).
    struct BlendRamp {
        QRgb background = 0;
        QRgb colour = 0;
        std::array<QRgb, 256> out{};
    };

    // A part of the image known to hold one colour, in device pixels: a rectangle filled
    // lately, less its columns up to dirtyRight, drawn on since. Text there needs no reading of
    // the pixels, and the white shadow on a white band no work at all; text elsewhere is drawn
    // exactly the same, only slower.
    struct Plain {
        int left = 0;
        int top = 0;
        int right = -1;
        int bottom = -1;
        QRgb colour = 0;
        int dirtyRight = 0;
        bool Meets(const QRect& box) const {
            return box.left() <= right && box.right() >= left && box.top() <= bottom && box.bottom() >= top;
        }
        // Clean in the box's columns, and meeting its lines.
        bool Holds(const QRect& box) const {
            return box.left() > dirtyRight && box.left() >= left && box.right() <= right && box.top() <= bottom &&
                   box.bottom() >= top;
        }
    };

    void EnsureImage();
    void Changed();
    void AdoptScreenScale();
    // Device pixels of the layout rectangle left..right, top..bottom, both included.
    QRect DeviceRect(int left, int top, int right, int bottom) const;
    // Fills device pixels, clipped to the image.
    void FillDevice(const QRect& box, QRgb pixel);
    // Marks device pixels of the box as drawn on, except in `unchanged`.
    void Touched(const QRect& box, const Plain* unchanged = nullptr);
    void NewPlain(const QRect& box, QRgb colour);
    // The clean plain part whose columns hold the box and whose lines meet it, if any.
    const Plain* PlainUnder(const QRect& box) const;
    // The blends of colour over background, kept for the next glyphs on the same band.
    const QRgb* Ramp(QRgb background, QRgb colour);

    WindowEvents* events_ = nullptr;
    QImage image_;
    TableGlyphs glyphs_;
    double scale_ = 1;
    int imageWidth_ = 0;
    int imageHeight_ = 0;
    std::array<BlendRamp, 8> ramps_{};
    std::size_t rampCount_ = 0;
    std::size_t rampNext_ = 0;
    std::array<Plain, 3> plains_{};  // the newest first
    bool repaintPending_ = false;
    double widthTwips_ = 0;
    double heightTwips_ = 0;
    int lastClickY_ = 0;
    bool pressed_ = false;
};

}  // namespace norvale
