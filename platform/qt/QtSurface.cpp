#include "platform/qt/QtSurface.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <algorithm>
#include <cmath>

#include "platform/Window.h"
#include "platform/qt/QtKeys.h"

namespace norvale {

namespace {

QColor ToQColor(Rgb c) { return QColor(c.r, c.g, c.b); }

// A fixed-pitch Japanese gothic at 12 px with 6 px half-width and 12 px full-width advances;
// the layout of the table relies on exactly these.
QFont PickTableFont() {
    const char* candidates[] = {"ＭＳ ゴシック", "MS Gothic", "IPAGothic", "Noto Sans Mono CJK JP"};
    for (const char* family : candidates) {
        QFont f(QString::fromUtf8(family));
        f.setPixelSize(12);
        f.setWeight(QFont::Normal);
        f.setStyleStrategy(QFont::NoFontMerging);
        QFontMetrics m(f);
        if (!QFontInfo(f).family().startsWith(QString::fromUtf8(family).left(3), Qt::CaseInsensitive)) continue;
        if (m.horizontalAdvance(QLatin1Char('0')) == 6 && m.horizontalAdvance(QChar(0x9298)) == 12) return f;
    }
    QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    f.setPixelSize(12);
    return f;
}

}  // namespace

QtSurface::QtSurface(QWidget* parent) : QWidget(parent), font_(PickTableFont()) {
    setObjectName(QStringLiteral("Picture1"));
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

int QtSurface::Width() const { return width(); }

double QtSurface::Height() const { return heightTwips_ / kTwipsPerPixel; }

void QtSurface::SetPersistent(bool) {}

void QtSurface::FillRect(int x1, int y1, int x2, int y2, Rgb colour) {
    EnsureImage();
    QPainter p(&image_);
    p.fillRect(QRect(QPoint(std::min(x1, x2), std::min(y1, y2)), QPoint(std::max(x1, x2), std::max(y1, y2))),
               ToQColor(colour));
    update();
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
    if (x1 == x2) {  // the end point is not painted
        if (y1 != y2) FillRect(x1, y1, x2, y2 > y1 ? y2 - 1 : y2 + 1, colour);
        return;
    }
    if (y1 == y2) {
        FillRect(x1, y1, x2 > x1 ? x2 - 1 : x2 + 1, y2, colour);
        return;
    }
    QPainter p(&image_);
    p.setPen(ToQColor(colour));
    p.drawLine(x1, y1, x2, y2);
    update();
}

void QtSurface::Text(int x, int y, std::string_view utf8, Rgb colour) {
    EnsureImage();
    QPainter p(&image_);
    p.setFont(font_);
    p.setPen(ToQColor(colour));
    // A fixed baseline in the 12 px row, whatever the font's own ascent.
    p.drawText(QPoint(x, y + 10), QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
    update();
}

void QtSurface::Clear() {
    EnsureImage();
    image_.fill(Qt::white);
    update();
}

void QtSurface::paintEvent(QPaintEvent* event) {
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
    if (events_ != nullptr) events_->Picture1_Click();
}

void QtSurface::keyReleaseEvent(QKeyEvent* event) {
    if (event->isAutoRepeat()) return;  // a held key acts once, at its real release
    const std::int16_t vk = VirtualKeyCode(*event);
    if (vk == 0 || events_ == nullptr) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    const Qt::KeyboardModifiers m = event->modifiers();
    const auto shift = static_cast<std::int16_t>((m.testFlag(Qt::ShiftModifier) ? 1 : 0) |
                                                 (m.testFlag(Qt::ControlModifier) ? 2 : 0) |
                                                 (m.testFlag(Qt::AltModifier) ? 4 : 0));
    events_->Picture1_KeyUp(vk, shift);
}

}  // namespace norvale
