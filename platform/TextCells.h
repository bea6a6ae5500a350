// The table's text on a fixed cell grid: how many 6 px cells a character takes, and UTF-8 decoding.
#pragma once

#include <string_view>

namespace norvale {

// Characters that are one byte in code page 932 (ASCII and half-width katakana) take one cell;
// every other character takes two.
inline int CellsOfCodePoint(char32_t cp) {
    if (cp < 0x80) return 1;
    if (cp >= 0xFF61 && cp <= 0xFF9F) return 1;  // half-width katakana
    if (cp == 0xA5 || cp == 0x203E) return 1;    // yen sign and overline, where 0x5C and 0x7E map to them
    return 2;
}

// Decodes one code point from UTF-8 at text[pos] and advances pos; a malformed byte gives U+FFFD.
inline char32_t DecodeUtf8At(std::string_view text, std::size_t& pos) {
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

}  // namespace norvale
