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
#include <limits>

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
    SizeImage();
    QPainter p(&image_);
    p.drawImage(QRectF(0, 0, old.width() * stretch, old.height() * stretch), old);
}

void QtSurface::SizeImage() {
    imageFor_ = size();
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
    if (n == 1) {  // the borders
        for (int y = box.top(); y <= box.bottom(); ++y, line += wordsPerLine) *line = pixel;
        return;
    }
    if (n <= 8) {  // a call per line would cost more than its pixels
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

// Every character sits on the fixed 6 px grid whatever the font's own advances, so the padded
// numbers line up in their columns. Calls glyph(mask, layout x of its cells) for each character
// that has pixels.
template <class PerGlyph>
void QtSurface::ForEachGlyph(int x, std::string_view utf8, PerGlyph glyph) {
    int cellX = x;
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const auto byte = static_cast<unsigned char>(utf8[pos]);
        if (byte == ' ') {  // the padding of every number
            ++pos;
            cellX += TableGlyphs::kCellWidth;
            continue;
        }
        const char32_t cp = byte < 0x80 ? (++pos, byte) : DecodeUtf8At(utf8, pos);
        const GlyphMask& g = glyphs_.Mask(cp);
        const int at = cellX;
        cellX += TableGlyphs::kCellWidth * (cp < 0x80 ? 1 : CellsOfCodePoint(cp));
        if (!g.Blank() && !glyph(g, at)) return;
    }
}

QtSurface::TextPass QtSurface::StartText(int y) {
    EnsureImage();
    TextPass pass;
    pass.pixels = reinterpret_cast<QRgb*>(image_.bits());
    pass.wordsPerLine = image_.bytesPerLine() / static_cast<qsizetype>(sizeof(QRgb));
    pass.top = Device(y);
    return pass;
}

void QtSurface::Text(int x, int y, std::string_view utf8, Rgb colour) {
    TextPass pass = StartText(y);
    const Paint paint{0, ToPixel(colour), 0, -1};
    ForEachGlyph(x, utf8, [&](const GlyphMask& g, int cellX) {
        DrawGlyph(pass, g, Device(cellX), paint);
        return true;
    });
    Changed();
}

void QtSurface::ShadowedText(int x, int y, std::string_view utf8, Rgb main, Rgb shadow) {
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
    TextPass pass = StartText(y);
    for (std::size_t k = 0; k < count; ++k) {
        DrawGlyph(pass, *placed[k].glyph, placed[k].x, Paint{0, ToPixel(main), ToPixel(shadow), placed[k].shift});
    }
    Changed();
}

int QtSurface::SlotOf(const Paint& paint) {
    RecentPaint& r = recentPaints_[nextRecent_];
    nextRecent_ = (nextRecent_ + 1) % recentPaints_.size();
    r.paint = paint;
    r.slot = paints_.Slot(paint);
    r.generation = paints_.Generation(r.slot);
    return r.slot;
}

void QtSurface::BlendColumns(const TextPass& pass, const GlyphMask& g, int gx, int first, int last, const Paint& paint,
                             int from, int to) {
    first = std::max(first, -pass.top);
    last = std::min(last, imageHeight_ - 1 - pass.top);
    from = std::max(from, 0);
    to = std::min(to, imageWidth_ - 1);
    const int left = gx + g.left, width = g.BoxWidth();
    const int shift = paint.shift;
    for (int ly = first; ly <= last; ++ly) {
        QRgb* row = pass.pixels + (pass.top + ly) * pass.wordsPerLine;
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

void QtSurface::DrawGlyph(TextPass& pass, const GlyphMask& g, int gx, const Paint& paint) {
    const int left = gx + g.left, glyphRight = gx + g.right, right = glyphRight + paint.Reach();
    const int top = pass.top + g.top, bottom = pass.top + g.bottom;
    if (right < 0 || left >= imageWidth_ || bottom < 0 || top >= imageHeight_) return;
    const QRect box(QPoint(left, top), QPoint(right, bottom));
    // The part under the glyph's middle line: a band, rather than the outline a glyph reaches.
    const QRect middle(left, (top + bottom) / 2, right - left + 1, 1);
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
        const QRgb* from = Stamp(g, over) + (first - g.top) * width + dirty;
        QRgb* row = pass.pixels + (pass.top + first) * pass.wordsPerLine + left + dirty;
        for (int ly = first; ly <= last; ++ly, row += pass.wordsPerLine, from += width) CopyPixels(row, from, width - dirty);
        changed = true;
        if (over.shift >= 0) changedRight = right;
    };
    const PlainPart& part = *pass.part;
    const int first = std::max(g.top, part.top - pass.top), last = std::min(g.bottom, part.bottom - pass.top);
    onPart(part, first, last);
    // Lines off it, as a comma reaching down onto the band's outline, may lie on another.
    for (int ly = g.top; ly <= g.bottom; ++ly) {
        if (ly == first) ly = last + 1;
        if (ly > g.bottom) break;
        const PlainPart* other = plain_.Beneath(QRect(left, pass.top + ly, right - left + 1, 1));
        if (other != nullptr) {
            onPart(*other, ly, ly);
        } else {
            BlendColumns(pass, g, gx, ly, ly, paint, left, right);
            changed = true;
            changedRight = right;
        }
    }
    if (changed) plain_.Drawn(QRect(QPoint(left, top), QPoint(changedRight, bottom)));
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
