#include "platform/qt/QtSurface.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cwchar>

#include "platform/PixelLine.h"
#include "platform/Window.h"
#include "platform/qt/QtKeys.h"

namespace norvale {

namespace {

constexpr QRgb kWhitePixel = 0xFFFFFFFFu;

QRgb ToPixel(Rgb c) { return qRgb(c.r, c.g, c.b); }

}  // namespace

QtSurface::QtSurface(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("tableSurface"));
    setFocusPolicy(Qt::ClickFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    SetScale(devicePixelRatioF());
}

void QtSurface::SetSizeTwips(double width, double height) {
    widthTwips_ = width;
    heightTwips_ = height;
    resize(std::max(0, static_cast<int>(std::lround(width / kTwipsPerPixel))),
           std::max(0, static_cast<int>(std::lround(height / kTwipsPerPixel))));
    EnsureImage();
}

void QtSurface::SetScale(double scale) {
    if (!(scale > 0) || scale == scale_) return;
    const double stretch = scale / scale_;
    scale_ = scale;
    glyphs_.SetScale(scale);
    stamps_.Forget();
    if (image_.isNull()) return;
    const QImage old = image_;
    image_ = QImage();
    imageWidth_ = imageHeight_ = 0;
    EnsureImage();
    QPainter p(&image_);
    p.drawImage(QRectF(0, 0, old.width() * stretch, old.height() * stretch), old);
}

void QtSurface::EnsureImage() {
    const int w = std::max(1, scale_ == 1 ? width() : static_cast<int>(std::ceil(width() * scale_)));
    const int h = std::max(1, scale_ == 1 ? height() : static_cast<int>(std::ceil(height() * scale_)));
    if (w == imageWidth_ && h == imageHeight_) return;
    QImage grown(w, h, QImage::Format_RGB32);
    grown.fill(Qt::white);
    if (!image_.isNull()) {
        QPainter p(&grown);
        p.drawImage(0, 0, image_);
    }
    image_ = grown;
    imageWidth_ = w;
    imageHeight_ = h;
    plain_.Forget();
}

void QtSurface::Changed() {
    // One repaint covers any number of drawing calls before it.
    if (repaintPending_) return;
    repaintPending_ = true;
    update();
}

void QtSurface::AdoptScreenScale() {
    const double ratio = devicePixelRatioF();
    if (ratio == scale_) return;
    SetScale(ratio);
    Changed();
    // The core lays the window out and draws the table again, as after a resize; queued, as
    // the ratio changes in the middle of Qt's own handling of the move.
    QMetaObject::invokeMethod(
        this, [this] { if (events_ != nullptr) events_->Resized(); }, Qt::QueuedConnection);
}

int QtSurface::Width() const { return width(); }

double QtSurface::Height() const { return heightTwips_ / kTwipsPerPixel; }

// The image is always kept: the backing image is what every expose paints.
void QtSurface::SetPersistent(bool) {}

QRect QtSurface::DeviceRect(int left, int top, int right, int bottom) const {
    const int l = std::max(Device(left), 0), t = std::max(Device(top), 0);
    const int r = std::min(Device(right + 1) - 1, imageWidth_ - 1), b = std::min(Device(bottom + 1) - 1, imageHeight_ - 1);
    if (l > r || t > b) return QRect();
    return QRect(QPoint(l, t), QPoint(r, b));
}

void QtSurface::FillDevice(const QRect& box, QRgb pixel) {
    if (box.isEmpty()) return;
    const qsizetype wordsPerLine = image_.bytesPerLine() / static_cast<qsizetype>(sizeof(QRgb));
    QRgb* line = reinterpret_cast<QRgb*>(image_.bits()) + box.top() * wordsPerLine + box.left();
    const int n = box.width();
    if (n <= 8) {  // the borders: a call per pixel would cost more than the pixel
        for (int y = box.top(); y <= box.bottom(); ++y, line += wordsPerLine) {
            for (int i = 0; i < n; ++i) line[i] = pixel;
        }
        return;
    }
    for (int y = box.top(); y <= box.bottom(); ++y, line += wordsPerLine) {
        // The C library's wide fill is the widest store loop at hand where wchar_t is 32 bits.
        if constexpr (sizeof(wchar_t) == sizeof(QRgb)) {
            std::wmemset(reinterpret_cast<wchar_t*>(line), static_cast<wchar_t>(pixel), static_cast<std::size_t>(n));
        } else {
            std::fill_n(line, n, pixel);
        }
    }
}

void QtSurface::FillRect(int x1, int y1, int x2, int y2, Rgb colour) {
    EnsureImage();
    const QRect box = DeviceRect(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2));
    FillDevice(box, ToPixel(colour));
    plain_.Filled(box, ToPixel(colour));
    Changed();
}

void QtSurface::OutlineRect(int x1, int y1, int x2, int y2, Rgb colour) {
    EnsureImage();
    const int l = std::min(x1, x2), r = std::max(x1, x2), t = std::min(y1, y2), b = std::max(y1, y2);
    const QRgb pixel = ToPixel(colour);
    const std::array<QRect, 4> edges = {DeviceRect(l, t, r, t), DeviceRect(l, b, r, b), DeviceRect(l, t, l, b),
                                        DeviceRect(r, t, r, b)};
    for (const QRect& edge : edges) FillDevice(edge, pixel);
    // The outline of a band just filled leaves its inside plain.
    plain_.Outlined(DeviceRect(l, t, r, b), DeviceRect(l + 1, t + 1, r - 1, b - 1), edges, pixel);
    Changed();
}

void QtSurface::Line(int x1, int y1, int x2, int y2, Rgb colour) {
    EnsureImage();
    const QRgb pixel = ToPixel(colour);
    auto dot = [&](int left, int top, int right, int bottom) {
        const QRect box = DeviceRect(left, top, right, bottom);
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
    Changed();
}

void QtSurface::Text(int x, int y, std::string_view utf8, Rgb colour) {
    EnsureImage();
    // Every character sits on the fixed 6 px grid whatever the font's own advances, so the
    // padded numbers line up in their columns.
    const QRgb pixel = ToPixel(colour);
    const int w = imageWidth_, h = imageHeight_;
    const qsizetype wordsPerLine = image_.bytesPerLine() / static_cast<qsizetype>(sizeof(QRgb));
    auto* pixels = reinterpret_cast<QRgb*>(image_.bits());
    const int top = Device(y);
    // Blends the runs of the glyph's lines first..last over what the image holds, clipped to it.
    auto blendLines = [&](const GlyphMask& g, int gx, int first, int last) {
        if (first > last) return;
        for (std::size_t k = g.LineBegin(first); k < g.LineEnd(last); ++k) {
            const GlyphSpan& span = g.spans[k];
            const int py = top + span.y, sx = gx + span.x;
            if (py < 0 || py >= h) continue;
            const int from = std::max(0, -sx), to = std::min<int>(span.length, w - sx);
            QRgb* row = pixels + py * wordsPerLine + sx;
            const std::uint8_t* cover = g.coverage.data() + span.first;
            for (int i = from; i < to; ++i) {
                if (row[i] != pixel) row[i] = Blend(row[i], pixel, cover[i]);
            }
        }
    };
    int cellX = x;
    std::size_t pos = 0;
    const PlainPart* plain = nullptr;
    // The glyph's ready pixels over a background, for the last background asked for.
    int pair = -1;
    QRgb pairBackground = 0;
    auto stampOver = [&](const GlyphMask& g, QRgb background) {
        if (pair < 0 || pairBackground != background) {
            pair = ramps_.Slot(background, pixel);
            pairBackground = background;
        }
        return stamps_.Of(g, pair, ramps_);
    };
    while (pos < utf8.size()) {
        const auto byte = static_cast<unsigned char>(utf8[pos]);
        if (byte == ' ') {  // the padding of every number
            ++pos;
            cellX += TableGlyphs::kCellWidth;
            continue;
        }
        const char32_t cp = byte < 0x80 ? (++pos, byte) : DecodeUtf8At(utf8, pos);
        const GlyphMask& g = glyphs_.Mask(cp);
        const int gx = Device(cellX);
        cellX += TableGlyphs::kCellWidth * (cp < 0x80 ? 1 : CellsOfCodePoint(cp));
        if (g.spans.empty()) continue;
        const int left = gx + g.left, boxTop = top + g.top;
        const QRect box(QPoint(left, boxTop), QPoint(gx + g.right, top + g.bottom));
        if (box.right() < 0 || left >= w || box.bottom() < 0 || boxTop >= h) continue;
        if (plain == nullptr || !plain->Holds(box)) plain = plain_.Under(box);
        if (plain == nullptr) {
            blendLines(g, gx, g.top, g.bottom);
            plain_.Drawn(box);
            continue;
        }
        // The glyph's lines on the plain part take its ready pixels; a pixel already in the
        // text's colour stays so (the white shadow on a white band).
        const int first = std::max(g.top, plain->top - top), last = std::min(g.bottom, plain->bottom - top);
        const bool unchanged = pixel == plain->colour;
        const int width = g.BoxWidth();
        if (!unchanged) {
            const QRgb* from = stampOver(g, plain->colour) + (first - g.top) * width;
            QRgb* row = pixels + (top + first) * wordsPerLine + left;
            for (int ly = first; ly <= last; ++ly, row += wordsPerLine, from += width) CopyPixels(row, from, width);
        } else if (first == g.top && last == g.bottom) {
            continue;
        }
        // Lines off it, as a comma reaching down onto the band's outline, may lie on another.
        for (int ly = g.top; ly <= g.bottom; ++ly) {
            if (ly == first) ly = last + 1;
            if (ly > g.bottom) break;
            const int py = top + ly;
            const PlainPart* line = plain_.Under(QRect(left, py, width, 1));
            if (line == nullptr) {
                blendLines(g, gx, ly, ly);
            } else if (line->colour != pixel) {
                CopyPixels(pixels + py * wordsPerLine + left, stampOver(g, line->colour) + (ly - g.top) * width, width);
            }
        }
        // The white shadow changed nothing on its white band, only lines off it.
        plain_.Drawn(box, unchanged ? plain : nullptr);
    }
    Changed();
}

void QtSurface::Clear() {
    EnsureImage();
    image_.fill(kWhitePixel);
    plain_.Forget();
    plain_.Filled(image_.rect(), kWhitePixel);
    Changed();
}

bool QtSurface::event(QEvent* event) {
    // A move to a screen with another ratio (Qt 6.6 also tells of a ratio change in place).
    if (event->type() == QEvent::ScreenChangeInternal) AdoptScreenScale();
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
    if (event->type() == QEvent::DevicePixelRatioChange) AdoptScreenScale();
#endif
    return QWidget::event(event);
}

void QtSurface::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    AdoptScreenScale();
}

void QtSurface::paintEvent(QPaintEvent* event) {
    repaintPending_ = false;
    if (devicePixelRatioF() != scale_) AdoptScreenScale();  // a ratio change no event told of
    QPainter p(this);
    p.fillRect(event->rect(), Qt::white);
    if (scale_ == 1) {
        p.drawImage(event->rect().topLeft(), image_, event->rect());
        return;
    }
    // One image pixel on one device pixel, whatever the ratio.
    p.drawImage(QRectF(0, 0, image_.width() / scale_, image_.height() / scale_), image_, QRectF(image_.rect()));
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
