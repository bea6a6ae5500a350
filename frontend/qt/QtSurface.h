// The table surface on Qt: a widget that shows the table raster's image at the screen's
// resolution, with the glyphs of the Qt font, and tells the core of clicks and keys.
#pragma once

#include <QImage>
#include <QWidget>
#include <memory>

#include "frontend/qt/QtGlyphSource.h"
#include "platform/WindowEvents.h"
#include "raster/TableRaster.h"

namespace norvale {

class QtSurface : public QWidget, public TableRaster {
    Q_OBJECT
public:
    explicit QtSurface(QWidget* parent);

    void SetEvents(WindowEvents* events) { events_ = events; }
    // Size in twips as the core lays it out; the widget takes the nearest whole pixels.
    void SetSizeTwips(double width, double height);
    double WidthTwips() const { return widthTwips_; }
    double HeightTwips() const { return heightTwips_; }
    int LastClickY() const { return lastClickY_; }
    // The raster's image, shared, in device pixels: Scale() times the layout's pixels.
    QImage Image() const;
    const QFont& TableFont() const { return glyphs_->Font(); }
    bool TableFontAdvancesExact() const { return glyphs_->AdvancesExact(); }

    // Device pixels per layout pixel; the screen's ratio, taken again whenever the widget is
    // shown or moves to another screen. A change keeps the image, stretched, until the next
    // drawing; only the caller knows what to draw again.
    void SetScale(double scale);

protected:
    void ImageChanged() override;
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    QtSurface(QWidget* parent, std::unique_ptr<QtGlyphSource> glyphs);
    // The image's device size for the widget's size at a scale.
    QSize DeviceSize(double scale) const;
    void AdoptScreenScale();

    std::unique_ptr<QtGlyphSource> glyphs_;
    WindowEvents* events_ = nullptr;
    bool repaintPending_ = false;
    double widthTwips_ = 0;
    double heightTwips_ = 0;
    int lastClickY_ = 0;
    bool pressed_ = false;
};

}  // namespace norvale
