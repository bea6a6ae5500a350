#include "frontend/qt/QtSurface.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <algorithm>
#include <cmath>

#include "frontend/qt/QtKeys.h"
#include "platform/Window.h"

namespace norvale {

QtSurface::QtSurface(QWidget* parent) : QtSurface(parent, std::make_unique<QtGlyphSource>()) {}

// The raster keeps a reference to the glyph source, whose object the unique_ptr moves unchanged.
QtSurface::QtSurface(QWidget* parent, std::unique_ptr<QtGlyphSource> glyphs)
    : QWidget(parent), TableRaster(*glyphs), glyphs_(std::move(glyphs)) {
    setObjectName(QStringLiteral("tableSurface"));
    setFocusPolicy(Qt::ClickFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    SetScale(devicePixelRatioF());
}

QSize QtSurface::DeviceSize(double scale) const {
    return QSize(std::max(1, scale == 1 ? width() : static_cast<int>(std::ceil(width() * scale))),
                 std::max(1, scale == 1 ? height() : static_cast<int>(std::ceil(height() * scale))));
}

QImage QtSurface::Image() const {
    return QImage(reinterpret_cast<const uchar*>(Pixels()), DeviceWidth(), DeviceHeight(),
                  static_cast<qsizetype>(DeviceWidth()) * 4, QImage::Format_RGB32);
}

void QtSurface::SetSizeTwips(double width, double height) {
    widthTwips_ = width;
    heightTwips_ = height;
    resize(TwipsToPixels(width), TwipsToPixels(height));
    const QSize device = DeviceSize(Scale().Factor());
    Resize(this->width(), height / kTwipsPerPixel, device.width(), device.height());
}

void QtSurface::SetScale(double scale) {
    const double old = Scale().Factor();
    if (!(scale > 0) || scale == old) return;
    const bool sized = Width() > 0 || Height() > 0;
    const QImage before = Image().copy();
    const QSize device = DeviceSize(scale);
    Rescale(DeviceScale::Ratio(scale), device.width(), device.height());
    if (!sized) return;
    QImage image(reinterpret_cast<uchar*>(MutablePixels()), DeviceWidth(), DeviceHeight(),
                 static_cast<qsizetype>(DeviceWidth()) * 4, QImage::Format_RGB32);
    QPainter p(&image);
    const double stretch = scale / old;
    p.drawImage(QRectF(0, 0, before.width() * stretch, before.height() * stretch), before);
    PixelsReplaced();
}

void QtSurface::ImageChanged() {
    // One repaint covers any number of drawing calls before it.
    if (repaintPending_) return;
    repaintPending_ = true;
    update();
}

void QtSurface::AdoptScreenScale() {
    const double ratio = devicePixelRatioF();
    if (ratio == Scale().Factor()) return;
    SetScale(ratio);
    ImageChanged();
    // The core lays the window out and draws the table again, as after a resize; queued, as
    // the ratio changes in the middle of Qt's own handling of the move.
    QMetaObject::invokeMethod(
        this, [this] { if (events_ != nullptr) events_->Resized(); }, Qt::QueuedConnection);
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
    if (devicePixelRatioF() != Scale().Factor()) AdoptScreenScale();  // a ratio change no event told of
    QPainter p(this);
    p.fillRect(event->rect(), Qt::white);
    const QImage image = Image();
    const double scale = Scale().Factor();
    if (scale == 1) {
        p.drawImage(event->rect().topLeft(), image, event->rect());
        return;
    }
    // One image pixel on one device pixel, whatever the ratio.
    p.drawImage(QRectF(0, 0, image.width() / scale, image.height() / scale), image, QRectF(image.rect()));
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
