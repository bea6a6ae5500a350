// The table surface on Qt: a widget that keeps its drawing in a backing image and paints it on expose.
#pragma once

#include <QFont>
#include <QImage>
#include <QWidget>

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
    const QImage& Image() const { return image_; }
    const QFont& TableFont() const { return glyphs_.Font(); }
    bool TableFontAdvancesExact() const { return glyphs_.AdvancesExact(); }

    int Width() const override;
    double Height() const override;
    void SetPersistent(bool on) override;
    void FillRect(int x1, int y1, int x2, int y2, Rgb colour) override;
    void OutlineRect(int x1, int y1, int x2, int y2, Rgb colour) override;
    void Line(int x1, int y1, int x2, int y2, Rgb colour) override;
    void Text(int x, int y, std::string_view utf8, Rgb colour) override;
    void Clear() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void EnsureImage();
    void Changed();

    WindowEvents* events_ = nullptr;
    QImage image_;
    TableGlyphs glyphs_;
    bool repaintPending_ = false;
    double widthTwips_ = 0;
    double heightTwips_ = 0;
    int lastClickY_ = 0;
    bool pressed_ = false;
};

}  // namespace norvale
