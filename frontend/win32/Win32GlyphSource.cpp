#include "frontend/win32/Win32GlyphSource.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace norvale {

namespace {

constexpr int kLogicalDpi = 96;
constexpr int kFontPixels = 12;
// Baseline of the text in logical pixels below the top of its 12 px row, as on Linux.
constexpr int kBaseline = 10;

gdi::UniqueFont MakeFont(const wchar_t* face, int pixels) {
    LOGFONTW lf{};
    lf.lfHeight = -pixels;  // the em height, as a pixel size on Linux
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = face[0] == L'\0' ? DEFAULT_CHARSET : SHIFTJIS_CHARSET;
    lf.lfOutPrecision = OUT_TT_PRECIS;
    lf.lfQuality = ANTIALIASED_QUALITY;
    lf.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    wcsncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    return gdi::UniqueFont(CreateFontIndirectW(&lf));
}

std::wstring SelectedFace(HDC dc) {
    wchar_t name[LF_FACESIZE] = {};
    const int n = GetTextFaceW(dc, LF_FACESIZE, name);
    return std::wstring(name, static_cast<std::size_t>(std::max(0, n - 1)));
}

bool AdvancesFit(HDC dc) {
    auto adv = [dc](wchar_t c) {
        SIZE s{};
        return GetTextExtentPoint32W(dc, &c, 1, &s) ? s.cx : -1;
    };
    return adv(L'0') == 6 && adv(L'A') == 6 && adv(L'ｺ') == 6 && adv(L'銘') == 12 && adv(L'→') == 12 &&
           adv(L'↑') == 12 && adv(L'↓') == 12;
}

}  // namespace

Win32GlyphSource::Win32GlyphSource() : dc_(CreateCompatibleDC(nullptr)) {
    // The face is chosen at scale 1, where the grid is whole pixels, and kept at every scale.
    const wchar_t* candidates[] = {L"ＭＳ ゴシック", L"MS Gothic", L"IPAGothic", L"Noto Sans Mono CJK JP"};
    for (const wchar_t* name : candidates) {
        gdi::UniqueFont f = MakeFont(name, kFontPixels);
        if (!f) continue;
        gdi::Selection probe(dc_.get(), f.get());
        // GDI gives some other face for a name it does not know.
        if (SelectedFace(dc_.get()) != name || !AdvancesFit(dc_.get())) continue;
        asked_ = name;
        exact_ = true;
        break;
    }
    UseDpi(kLogicalDpi);
    face_ = asked_.empty() ? SelectedFace(dc_.get()) : asked_;
}

void Win32GlyphSource::UseDpi(int dpi) {
    if (dpi == dpi_) return;
    dpi_ = dpi;
    selected_ = gdi::Selection();  // the old font out of the DC before it is deleted
    font_ = MakeFont(asked_.c_str(), static_cast<int>(std::lround(kFontPixels * dpi / double(kLogicalDpi))));
    if (font_) selected_ = gdi::Selection(dc_.get(), font_.get());
    baseline_ = static_cast<int>(std::lround(kBaseline * dpi / double(kLogicalDpi)));
}

GlyphImage Win32GlyphSource::Render(char32_t cp, double scale) {
    GlyphImage glyph;
    UseDpi(std::max(1, static_cast<int>(std::lround(scale * kLogicalDpi))));
    // Beyond the 16-bit plane GDI takes no single character; the table never shows one.
    if (cp == U' ' || cp == U'　' || cp > 0xFFFF || !font_) return glyph;
    const MAT2 identity{{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    // Unhinted: at 12 px the fonts' own hinting merges the strokes of dense kanji, and the shapes
    // stay those that the Linux surface shows.
    const UINT format = GGO_GRAY8_BITMAP | GGO_UNHINTED;
    GLYPHMETRICS gm{};
    const auto ch = static_cast<UINT>(cp);
    const DWORD size = GetGlyphOutlineW(dc_.get(), ch, format, &gm, 0, nullptr, &identity);
    if (size == GDI_ERROR || size == 0) return glyph;
    std::vector<BYTE> bits(size);
    if (GetGlyphOutlineW(dc_.get(), ch, format, &gm, size, bits.data(), &identity) == GDI_ERROR) return glyph;
    // Lines of levels 0 to 64, each padded to four bytes.
    const int w = static_cast<int>(gm.gmBlackBoxX);
    const int pitch = (w + 3) & ~3;
    const int h = std::min(static_cast<int>(gm.gmBlackBoxY), static_cast<int>(size) / std::max(1, pitch));
    if (w <= 0 || h <= 0) return glyph;
    glyph.left = gm.gmptGlyphOrigin.x;
    glyph.top = baseline_ - gm.gmptGlyphOrigin.y;
    glyph.width = w;
    glyph.height = h;
    glyph.cover.reserve(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    for (int row = 0; row < h; ++row) {
        for (int col = 0; col < w; ++col) {
            const BYTE level = bits[static_cast<std::size_t>(row * pitch + col)];
            glyph.cover.push_back(static_cast<std::uint8_t>(std::min(255, (level * 255 + 32) / 64)));
        }
    }
    return glyph;
}

}  // namespace norvale
