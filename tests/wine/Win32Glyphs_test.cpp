// The Win32 glyphs of every table character beside the Qt glyphs: the one part of the table that is
// still drawn per platform (the raster that places them is tested once, in the core). And the table
// as drawn under Wine at scale 1 and 2.
// NORVALE_QT_GLYPHS names the Qt glyphs' file (run-wine-tests.sh); with NORVALE_SURFACE_SHOTS set
// to a folder, the drawn tables are saved there.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "frontend/win32/Win32Surface.h"
#include "tests/common/ComparedTable.h"
#include "tests/common/GlyphFile.h"

namespace norvale {
namespace {

// The coverage of g at (x, y), device pixels from its cell's top left; none outside its box.
double Cover(const GlyphImage& g, int x, int y) {
    x -= g.left, y -= g.top;
    return x < 0 || y < 0 || x >= g.width || y >= g.height ? 0 : g.cover[static_cast<std::size_t>(y * g.width + x)];
}

// How alike two glyphs are at best, b moved by up to a pixel each way (what hinting may shift): the
// cosine of their coverages, 1 for the same.
double Likeness(const GlyphImage& a, const GlyphImage& b) {
    double aa = 0, bb = 0, best = 0;
    for (const std::uint8_t c : a.cover) aa += double(c) * c;
    for (const std::uint8_t c : b.cover) bb += double(c) * c;
    if (aa == 0 || bb == 0) return aa == bb ? 1 : 0;
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            double ab = 0;
            for (int y = a.top; y < a.top + a.height; ++y)
                for (int x = a.left; x < a.left + a.width; ++x) ab += Cover(a, x, y) * Cover(b, x - dx, y - dy);
            best = std::max(best, ab / std::sqrt(aa * bb));
        }
    }
    return best;
}

// Coverage-weighted mean position of a glyph's ink.
std::pair<double, double> Centre(const GlyphImage& g) {
    double mass = 0, sx = 0, sy = 0;
    for (int y = g.top; y < g.top + g.height; ++y) {
        for (int x = g.left; x < g.left + g.width; ++x) {
            const double c = Cover(g, x, y);
            mass += c, sx += c * x, sy += c * y;
        }
    }
    return mass == 0 ? std::pair{0.0, 0.0} : std::pair{sx / mass, sy / mass};
}

// Per character and scale: the ink's centre within 0.9 px of the Qt glyph's each way (the Qt font
// is hinted at scale 1, which moves Latin glyphs by up to 0.83 px), and no other character's Qt
// glyph more alike than its own, allowing 0.01 (hinting makes E and F alike). A glyph a pixel off,
// or another character's glyph, fails.
TEST(Win32Glyphs, MatchTheQtGlyphsCharacterByCharacter) {
    const char* path = std::getenv("NORVALE_QT_GLYPHS");
    ASSERT_NE(path, nullptr) << "set NORVALE_QT_GLYPHS (scripts/test-windows writes it)";
    const std::vector<glyphs::Glyph> qt = glyphs::Read(path);
    ASSERT_EQ(qt.size(), glyphs::TableCharacters().size() * std::size(glyphs::kScales)) << "glyphs in " << path;
    Win32GlyphSource source;
    EXPECT_TRUE(source.AdvancesExact()) << "the face mapped to ＭＳ ゴシック is missing";
    for (const double scale : glyphs::kScales) {
        SCOPED_TRACE(scale);
        std::vector<const glyphs::Glyph*> ofScale;
        for (const glyphs::Glyph& g : qt)
            if (g.scale == scale) ofScale.push_back(&g);
        double worstMove = 0, worstMargin = 1;
        std::string misplaced, mistaken;
        for (const glyphs::Glyph* q : ofScale) {
            const GlyphImage w = source.Render(q->cp, scale);
            const auto [wx, wy] = Centre(w);
            const auto [qx, qy] = Centre(q->image);
            const double move = std::max(std::abs(wx - qx), std::abs(wy - qy));
            worstMove = std::max(worstMove, move);
            char name[16];
            std::snprintf(name, sizeof name, "U+%04X ", static_cast<unsigned>(q->cp));
            if (move > 0.9) misplaced += name;
            const double own = Likeness(w, q->image);
            double closest = -1;
            for (const glyphs::Glyph* o : ofScale)
                if (o != q) closest = std::max(closest, Likeness(w, o->image));
            worstMargin = std::min(worstMargin, own - closest);
            if (own - closest < -0.01) mistaken += name;
        }
        std::printf("glyphs at scale %g: centres %.2f px apart at most; worst margin to another character %+.3f\n",
                    scale, worstMove, worstMargin);
        EXPECT_EQ(misplaced, "");
        EXPECT_EQ(mistaken, "");
    }
    // The compared table as Windows shows it, at 96 and 192 dpi, for the README's screenshots.
    const char* shots = std::getenv("NORVALE_SURFACE_SHOTS");
    for (const int dpi : {96, 192}) {
        if (shots == nullptr) break;
        Win32Surface s(dpi);
        s.SetSizeTwips(compared::kWidthTwips, compared::kHeightTwips);
        compared::DrawTableOn(s);
        const DeviceImage image = s.Image();
        const std::string file = shots + ("/win32-table-" + std::to_string(dpi / 96) + "x.ppm");
        EXPECT_TRUE(compared::WritePpm(file, image.width, image.height, [&](int x, int y) { return image.At(x, y); }));
    }
}

}  // namespace
}  // namespace norvale
