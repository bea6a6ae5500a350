#include "platform/qt/TableGlyphs.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace norvale {

namespace {

bool AdvancesFit(const QFont& f) {
    const QFontMetrics m(f);
    auto adv = [&](char32_t cp) { return m.horizontalAdvance(QString::fromUcs4(&cp, 1)); };
    return adv(U'0') == 6 && adv(U'A') == 6 && adv(U'ｺ') == 6 && adv(U'銘') == 12 && adv(U'→') == 12 &&
           adv(U'↑') == 12 && adv(U'↓') == 12;
}

}  // namespace

int CellsOf(char32_t cp) {
    if (cp < 0x80) return 1;
    if (cp >= 0xFF61 && cp <= 0xFF9F) return 1;  // half-width katakana
    if (cp == 0xA5 || cp == 0x203E) return 1;    // yen sign and overline, where 0x5C and 0x7E map to them
    return 2;
}

char32_t NextCodePoint(std::string_view text, std::size_t& pos) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char b0 = byte(pos);
    int extra = 0;
    char32_t cp = 0;
    if (b0 < 0x80) {
        ++pos;
        return b0;
    } else if ((b0 & 0xE0) == 0xC0) {
        extra = 1;
        cp = b0 & 0x1F;
    } else if ((b0 & 0xF0) == 0xE0) {
        extra = 2;
        cp = b0 & 0x0F;
    } else if ((b0 & 0xF8) == 0xF0) {
        extra = 3;
        cp = b0 & 0x07;
    } else {
        ++pos;
        return 0xFFFD;
    }
    if (pos + static_cast<std::size_t>(extra) >= text.size()) {  // cut off at the end
        pos = text.size();
        return 0xFFFD;
    }
    for (int k = 1; k <= extra; ++k) {
        const unsigned char b = byte(pos + static_cast<std::size_t>(k));
        if ((b & 0xC0) != 0x80) {
            pos += static_cast<std::size_t>(k);
            return 0xFFFD;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    pos += static_cast<std::size_t>(extra) + 1;
    return cp;
}

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
            return;
        }
    }
    font_ = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font_.setPixelSize(12);
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
            masks_.push_back(Render(cp));
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
        masks_.push_back(Render(cp));
        it = otherSlot_.emplace(cp, masks_.size() - 1).first;
    }
    return masks_[it->second];
}

GlyphMask TableGlyphs::Render(char32_t cp) const {
    GlyphMask mask;
    mask.left = mask.top = 1 << 20;  // narrowed to the pixels found
    if (cp == U' ' || cp == U'　') return mask;
    // Room for glyphs that reach outside their cells, in whole device pixels.
    const int margin = 3 * static_cast<int>(std::ceil(scale_));
    const int w = static_cast<int>(std::ceil(kCellWidth * CellsOf(cp) * scale_)) + 2 * margin;
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
        p.drawText(QPointF(margin / scale_, (margin + baseline) / scale_), QString::fromUcs4(&cp, 1));
    }
    for (int y = 0; y < h; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            if (qAlpha(line[x]) == 0) continue;
            const int start = x;
            const auto first = static_cast<std::uint16_t>(mask.coverage.size());
            for (; x < w && qAlpha(line[x]) != 0; ++x) {
                mask.coverage.push_back(static_cast<std::uint8_t>(qAlpha(line[x])));
            }
            const int cx = start - margin, cy = y - margin;
            mask.spans.push_back({static_cast<std::int16_t>(cx), static_cast<std::int16_t>(cy),
                                  static_cast<std::int16_t>(x - start), first});
            mask.left = std::min(mask.left, cx);
            mask.right = std::max(mask.right, x - 1 - margin);
            mask.top = std::min(mask.top, cy);
            mask.bottom = std::max(mask.bottom, cy);
        }
    }
    return mask;
}

}  // namespace norvale
