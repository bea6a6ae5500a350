// The characters of the table and their glyph images in a plain text file: how the Qt glyphs
// reach the test of the Win32 glyphs under Wine.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/TextCells.h"
#include "ranking/DrawTable.h"
#include "raster/GlyphSource.h"

namespace norvale::glyphs {

// Digits and their signs, the arrows, the headings, the letters of codes, names in every script
// the table shows (half- and full-width kana, kanji, full-width Latin), the status bar's "Error !".
inline std::u32string TableCharacters() {
    std::string text = "0123456789,.-→↑↓ABCDEFGHIJKLMNOPQRSTUVWXYZError!極東重工業株式会社ｻﾝﾗｲｽﾞ商事"
                       "大和運輸ホールディングスみなと銀行ﾏｰﾄ日之出電機青葉化学Ｎｅｘｔ　ＡＩ";
    for (const TableColumn& c : kTableColumns) text += c.header;
    std::u32string characters;
    for (std::size_t pos = 0; pos < text.size();) {
        const char32_t cp = DecodeUtf8At(text, pos);
        if (characters.find(cp) == std::u32string::npos) characters += cp;
    }
    return characters;
}
inline constexpr double kScales[] = {1, 1.5, 2};

struct Glyph {
    char32_t cp = 0;
    double scale = 1;
    GlyphImage image;
};

// One line a glyph: code point, scale, box, then the coverage in hex.
inline bool Write(const std::string& path, const std::vector<Glyph>& glyphs) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(path.c_str(), "w"), &std::fclose);
    if (!f) return false;
    for (const Glyph& g : glyphs) {
        const GlyphImage& i = g.image;
        std::fprintf(f.get(), "%X %g %d %d %d %d ", static_cast<unsigned>(g.cp), g.scale, i.left, i.top, i.width, i.height);
        for (const std::uint8_t c : i.cover) std::fprintf(f.get(), "%02X", c);
        std::fputc('\n', f.get());
    }
    return std::ferror(f.get()) == 0;
}

// What Write wrote; empty if the file is missing or not such a file.
inline std::vector<Glyph> Read(const std::string& path) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(path.c_str(), "r"), &std::fclose);
    std::vector<Glyph> glyphs;
    unsigned cp = 0;
    Glyph g;
    while (f && std::fscanf(f.get(), "%X %lf %d %d %d %d ", &cp, &g.scale, &g.image.left, &g.image.top, &g.image.width,
                            &g.image.height) == 6) {
        g.cp = cp;
        g.image.cover.assign(static_cast<std::size_t>(g.image.width) * static_cast<std::size_t>(g.image.height), 0);
        for (std::uint8_t& c : g.image.cover) {
            unsigned byte = 0;
            if (std::fscanf(f.get(), "%2X", &byte) != 1) return {};
            c = static_cast<std::uint8_t>(byte);
        }
        glyphs.push_back(g);
    }
    return glyphs;
}

}  // namespace norvale::glyphs
