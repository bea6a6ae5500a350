#include "platform/qt/TableGlyphs.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <algorithm>

namespace norvale {

namespace {

constexpr int kMargin = 3;  // room for glyphs that reach outside their cells

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

TableGlyphs::TableGlyphs() : ascii_(128), asciiReady_(128, false) {
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

const GlyphMask& TableGlyphs::Mask(char32_t cp) {
    if (cp < 128) {
        if (!asciiReady_[cp]) {
            ascii_[cp] = Render(cp);
            asciiReady_[cp] = true;
        }
        return ascii_[cp];
    }
    auto it = others_.find(cp);
    if (it == others_.end()) it = others_.emplace(cp, Render(cp)).first;
    return it->second;
}

GlyphMask TableGlyphs::Render(char32_t cp) const {
    GlyphMask mask;
    mask.left = mask.top = 1 << 20;  // narrowed to the pixels found
    if (cp == U' ' || cp == U'　') return mask;
    const int w = kCellWidth * CellsOf(cp) + 2 * kMargin;
    const int h = 12 + 2 * kMargin;
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setFont(font_);
        p.setPen(Qt::black);
        p.drawText(QPoint(kMargin, kMargin + kBaseline), QString::fromUcs4(&cp, 1));
    }
    for (int y = 0; y < h; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            const int a = qAlpha(line[x]);
            if (a == 0) continue;
            const int cx = x - kMargin, cy = y - kMargin;
            mask.dots.push_back(
                {static_cast<std::int8_t>(cx), static_cast<std::int8_t>(cy), static_cast<std::uint8_t>(a)});
            mask.left = std::min(mask.left, cx);
            mask.right = std::max(mask.right, cx);
            mask.top = std::min(mask.top, cy);
            mask.bottom = std::max(mask.bottom, cy);
        }
    }
    return mask;
}

}  // namespace norvale
