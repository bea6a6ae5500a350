#include "frontend/qt/QtGlyphSource.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QImage>
#include <QPainter>
#include <cmath>

#include "platform/TextCells.h"

namespace norvale {

namespace {

constexpr int kCellWidth = 6;
constexpr int kBaseline = 10;

bool AdvancesFit(const QFont& f) {
    const QFontMetrics m(f);
    auto adv = [&](char32_t cp) { return m.horizontalAdvance(QString::fromUcs4(&cp, 1)); };
    return adv(U'0') == 6 && adv(U'A') == 6 && adv(U'ｺ') == 6 && adv(U'銘') == 12 && adv(U'→') == 12 &&
           adv(U'↑') == 12 && adv(U'↓') == 12;
}

}  // namespace

QtGlyphSource::QtGlyphSource() {
    const char* candidates[] = {"ＭＳ ゴシック", "MS Gothic", "IPAGothic", "Noto Sans Mono CJK JP"};
    for (const char* name : candidates) {
        const QString family = QString::fromUtf8(name);
        if (!QFontDatabase::hasFamily(family)) continue;
        QFont f(family);
        f.setPixelSize(12);
        f.setWeight(QFont::Normal);
        if (AdvancesFit(f)) {
            font_ = f;
            exact_ = true;
            raw_ = QRawFont::fromFont(font_);
            return;
        }
    }
    font_ = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font_.setPixelSize(12);
    raw_ = QRawFont::fromFont(font_);
}

GlyphImage QtGlyphSource::Render(char32_t cp, double scale) {
    GlyphImage glyph;
    if (cp == U' ' || cp == U'　') return glyph;
    // Room for glyphs that reach outside their cells, in whole device pixels.
    const int margin = 3 * static_cast<int>(std::ceil(scale));
    const int w = static_cast<int>(std::ceil(kCellWidth * CellsOfCodePoint(cp) * scale)) + 2 * margin;
    const int h = static_cast<int>(std::ceil(12 * scale)) + 2 * margin;
    // The baseline on a whole device pixel keeps horizontal strokes sharp at fractional scales.
    const int baseline = static_cast<int>(std::lround(kBaseline * scale));
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    image.setDevicePixelRatio(scale);
    {
        QPainter p(&image);
        p.setFont(font_);
        p.setPen(Qt::black);
        const QPointF origin(margin / scale, (margin + baseline) / scale);
        const QString text = QString::fromUcs4(&cp, 1);
        // The same pixels as drawing the text, without shaping it; a character the font lacks
        // is drawn as text, from the font that has it.
        const QList<quint32> index = raw_.isValid() ? raw_.glyphIndexesForString(text) : QList<quint32>();
        if (index.size() == 1 && index[0] != 0) {
            QGlyphRun run;
            run.setRawFont(raw_);
            run.setGlyphIndexes(index);
            run.setPositions({QPointF(0, 0)});
            p.drawGlyphRun(origin, run);
        } else {
            p.drawText(origin, text);
        }
    }
    glyph.left = glyph.top = -margin;
    glyph.width = w;
    glyph.height = h;
    glyph.cover.reserve(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    for (int y = 0; y < h; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < w; ++x) glyph.cover.push_back(static_cast<std::uint8_t>(qAlpha(line[x])));
    }
    return glyph;
}

}  // namespace norvale
