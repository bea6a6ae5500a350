#include "platform/qt/TableGlyphs.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <utility>

namespace norvale {

namespace {

bool AdvancesFit(const QFont& f) {
    const QFontMetrics m(f);
    auto adv = [&](char32_t cp) { return m.horizontalAdvance(QString::fromUcs4(&cp, 1)); };
    return adv(U'0') == 6 && adv(U'A') == 6 && adv(U'ｺ') == 6 && adv(U'銘') == 12 && adv(U'→') == 12 &&
           adv(U'↑') == 12 && adv(U'↓') == 12;
}

}  // namespace

TableGlyphs::TableGlyphs() : basicSlot_(0x10000, 0) {
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

void TableGlyphs::SetScale(double scale) {
    if (scale == scale_ || !(scale > 0)) return;
    scale_ = scale;
    masks_.clear();
    ascii_.fill(nullptr);
    std::fill(basicSlot_.begin(), basicSlot_.end(), 0);
    otherSlot_.clear();
}

const GlyphMask& TableGlyphs::Find(char32_t cp) {
    if (cp < 0x10000) {
        std::uint16_t& slot = basicSlot_[cp];
        if (slot == 0 && masks_.size() < 0xFFFF) {
            Keep(Render(cp));
            slot = static_cast<std::uint16_t>(masks_.size());
        }
        if (slot != 0) {
            const GlyphMask& mask = masks_[slot - 1u];
            if (cp < 128) ascii_[cp] = &mask;
            return mask;
        }
    }
    auto it = otherSlot_.find(cp);
    if (it == otherSlot_.end()) {
        Keep(Render(cp));
        it = otherSlot_.emplace(cp, masks_.size() - 1).first;
    }
    return masks_[it->second];
}

const GlyphMask& TableGlyphs::Keep(GlyphMask mask) {
    mask.id = static_cast<std::uint32_t>(masks_.size());
    masks_.push_back(std::move(mask));
    return masks_.back();
}

GlyphMask TableGlyphs::Render(char32_t cp) const {
    GlyphMask mask;
    mask.left = mask.top = 1 << 20;  // narrowed to the pixels found
    if (cp == U' ' || cp == U'　') return mask;
    // Room for glyphs that reach outside their cells, in whole device pixels.
    const int margin = 3 * static_cast<int>(std::ceil(scale_));
    const int w = static_cast<int>(std::ceil(kCellWidth * CellsOfCodePoint(cp) * scale_)) + 2 * margin;
    const int h = static_cast<int>(std::ceil(12 * scale_)) + 2 * margin;
    // The baseline on a whole device pixel keeps horizontal strokes sharp at fractional scales.
    const int baseline = static_cast<int>(std::lround(kBaseline * scale_));
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    image.setDevicePixelRatio(scale_);
    {
        QPainter p(&image);
        p.setFont(font_);
        p.setPen(Qt::black);
        const QPointF origin(margin / scale_, (margin + baseline) / scale_);
        const QString text = QString::fromUcs4(&cp, 1);
        // The same pixels as drawing the text, without shaping it; a character the font lacks
        // is drawn as text, from the font that has it.
        const QList<quint32> glyph = raw_.isValid() ? raw_.glyphIndexesForString(text) : QList<quint32>();
        if (glyph.size() == 1 && glyph[0] != 0) {
            QGlyphRun run;
            run.setRawFont(raw_);
            run.setGlyphIndexes(glyph);
            run.setPositions({QPointF(0, 0)});
            p.drawGlyphRun(origin, run);
        } else {
            p.drawText(origin, text);
        }
    }
    for (int y = 0; y < h; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            if (qAlpha(line[x]) == 0) continue;
            mask.left = std::min(mask.left, x - margin);
            mask.right = std::max(mask.right, x - margin);
            mask.top = std::min(mask.top, y - margin);
            mask.bottom = std::max(mask.bottom, y - margin);
        }
    }
    if (mask.right < mask.left) return mask;
    for (int y = mask.top; y <= mask.bottom; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y + margin));
        for (int x = mask.left; x <= mask.right; ++x) mask.cover.push_back(static_cast<std::uint8_t>(qAlpha(line[x + margin])));
    }
    return mask;
}

}  // namespace norvale
