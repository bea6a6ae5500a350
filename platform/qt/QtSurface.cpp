#include "platform/qt/QtSurface.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/Window.h"
#include "platform/qt/QtKeys.h"

namespace norvale {

namespace {

constexpr QRgb kWhitePixel = 0xFFFFFFFFu;

QRgb ToPixel(Rgb c) { return qRgb(c.r, c.g, c.b); }

// Coverage a (1 to 255, exact at 255) of colour c over the pixel d, red and blue in one word.
QRgb Blend(QRgb d, QRgb c, std::uint32_t a) {
    const std::uint32_t b = 255 - a;
    auto div255 = [](std::uint32_t t) { return ((t + ((t >> 8) & 0x00FF00FFu) + 0x00800080u) >> 8) & 0x00FF00FFu; };
    const std::uint32_t rb = div255((d & 0x00FF00FFu) * b + (c & 0x00FF00FFu) * a);
    const std::uint32_t g = div255(((d >> 8) & 0x000000FFu) * b + ((c >> 8) & 0x000000FFu) * a);
    return 0xFF000000u | rb | (g << 8);
}

}  // namespace

QtSurface::QtSurface(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("tableSurface"));
    setFocusPolicy(Qt::ClickFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void QtSurface::SetSizeTwips(double width, double height) {
    widthTwips_ = width;
    heightTwips_ = height;
    resize(std::max(0, static_cast<int>(std::lround(width / kTwipsPerPixel))),
           std::max(0, static_cast<int>(std::lround(height / kTwipsPerPixel))));
    EnsureImage();
}

void QtSurface::EnsureImage() {
    const QSize want = size().expandedTo(QSize(1, 1));
    if (image_.size() == want) return;
    QImage grown(want, QImage::Format_RGB32);
    grown.fill(Qt::white);
    if (!image_.isNull()) {
        QPainter p(&grown);
        p.drawImage(0, 0, image_);
    }
    image_ = grown;
}

void QtSurface::Changed() {
    // One repaint covers any number of drawing calls before it.
    if (repaintPending_) return;
    repaintPending_ = true;
    update();
}

int QtSurface::Width() const { return width(); }

double QtSurface::Height() const { return heightTwips_ / kTwipsPerPixel; }

// The image is always kept: the backing image is what every expose paints.
void QtSurface::SetPersistent(bool) {}

void QtSurface::FillRect(int x1, int y1, int x2, int y2, Rgb colour) {
    EnsureImage();
    const int left = std::max(std::min(x1, x2), 0);
    const int right = std::min(std::max(x1, x2), image_.width() - 1);
    const int top = std::max(std::min(y1, y2), 0);
    const int bottom = std::min(std::max(y1, y2), image_.height() - 1);
    if (left > right || top > bottom) return;
    const QRgb pixel = ToPixel(colour);
    uchar* bits = image_.bits();
    const qsizetype stride = image_.bytesPerLine();
    for (int y = top; y <= bottom; ++y) {
        auto* line = reinterpret_cast<QRgb*>(bits + y * stride);
        std::fill(line + left, line + right + 1, pixel);
    }
    Changed();
}

void QtSurface::OutlineRect(int x1, int y1, int x2, int y2, Rgb colour) {
    const int l = std::min(x1, x2), r = std::max(x1, x2), t = std::min(y1, y2), b = std::max(y1, y2);
    FillRect(l, t, r, t, colour);
    FillRect(l, b, r, b, colour);
    FillRect(l, t, l, b, colour);
    FillRect(r, t, r, b, colour);
}

void QtSurface::Line(int x1, int y1, int x2, int y2, Rgb colour) {
    EnsureImage();
    // Bresenham from the start point up to, not including, the end point.
    const int dx = std::abs(x2 - x1), sx = x1 < x2 ? 1 : -1;
    const int dy = -std::abs(y2 - y1), sy = y1 < y2 ? 1 : -1;
    const QRgb pixel = ToPixel(colour);
    const QRect bounds = image_.rect();
    int err = dx + dy;
    int x = x1, y = y1;
    while (x != x2 || y != y2) {
        if (bounds.contains(x, y)) reinterpret_cast<QRgb*>(image_.scanLine(y))[x] = pixel;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
    Changed();
}

void QtSurface::Text(int x, int y, std::string_view utf8, Rgb colour) {
    EnsureImage();
    // Every character sits on the fixed 6 px grid whatever the font's own advances, so the
    // padded numbers line up in their columns.
    const QRgb pixel = ToPixel(colour);
    const int w = image_.width(), h = image_.height();
    const qsizetype wordsPerLine = image_.bytesPerLine() / static_cast<qsizetype>(sizeof(QRgb));
    auto* pixels = reinterpret_cast<QRgb*>(image_.bits());
    int cellX = x;
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const char32_t cp = NextCodePoint(utf8, pos);
        const GlyphMask& g = glyphs_.Mask(cp);
        const int gx = cellX;
        cellX += TableGlyphs::kCellWidth * CellsOf(cp);
        if (g.dots.empty() || gx + g.right < 0 || gx + g.left >= w || y + g.bottom < 0 || y + g.top >= h) continue;
        const bool inside = gx + g.left >= 0 && gx + g.right < w && y + g.top >= 0 && y + g.bottom < h;
        for (const GlyphDot& dot : g.dots) {
            const int px = gx + dot.x, py = y + dot.y;
            if (!inside && (px < 0 || px >= w || py < 0 || py >= h)) continue;
            QRgb& d = pixels[py * wordsPerLine + px];
            // A pixel already in the text's colour stays so: the white shadow on a white band.
            if (d != pixel) d = Blend(d, pixel, dot.alpha);
        }
    }
    Changed();
}

void QtSurface::Clear() {
    EnsureImage();
    image_.fill(kWhitePixel);
    Changed();
}

void QtSurface::paintEvent(QPaintEvent* event) {
    repaintPending_ = false;
    QPainter p(this);
    p.fillRect(event->rect(), Qt::white);
    p.drawImage(event->rect().topLeft(), image_, event->rect());
}

void QtSurface::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    EnsureImage();
}

void QtSurface::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    pressed_ = true;
    setFocus(Qt::MouseFocusReason);  // typed codes go to the table once it has been clicked
}

void QtSurface::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressed_) return;
    pressed_ = false;
    // Like a button, a press dragged off the surface and released elsewhere is no click.
    if (!rect().contains(event->position().toPoint())) return;
    lastClickY_ = static_cast<int>(std::lround(event->position().y()));
    if (events_ != nullptr) events_->TableClicked();
}

void QtSurface::keyReleaseEvent(QKeyEvent* event) {
    if (event->isAutoRepeat()) return;  // a held key acts once, at its real release
    const std::int16_t vk = VirtualKeyCode(*event);
    if (vk == 0 || events_ == nullptr) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    ReleaseGuard::Of(this).Release(*event, [this, vk] {
        if (events_ != nullptr) events_->KeyReleasedOnTable(vk);
    });
}

}  // namespace norvale
