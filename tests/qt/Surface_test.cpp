// The Qt table surface: the glyphs of its font in their cells at each scale, and a move to a screen
// with another ratio. (The raster under it is tested in the core.) With
// NORVALE_QT_GLYPHS_OUT naming a file, the glyphs of the table's characters are written there for the
// test of the Win32 glyphs under Wine (scripts/test-windows).
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "frontend/qt/QtGlyphSource.h"
#include "frontend/qt/QtSurface.h"
#include "tests/common/GlyphFile.h"
#include "tests/qt/QtHarness.h"

namespace norvale {
namespace {

// The box of a glyph's ink, device pixels from its cell's top left.
QRect Ink(const GlyphImage& g) {
    QRect ink;
    for (int y = 0; y < g.height; ++y)
        for (int x = 0; x < g.width; ++x)
            if (g.cover[static_cast<std::size_t>(y * g.width + x)] != 0) ink |= QRect(g.left + x, g.top + y, 1, 1);
    return ink;
}

TEST(QtSurface, GlyphsSitInTheirCellsOnTheBaseline) {
    QtGlyphSource glyphs;
    ASSERT_TRUE(glyphs.AdvancesExact()) << glyphs.Font().family().toStdString();
    for (const int scale : {1, 2}) {
        SCOPED_TRACE(scale);
        const QRect zero = Ink(glyphs.Render(U'0', scale)), kanji = Ink(glyphs.Render(U'銘', scale));
        // On the baseline 10 px below the top of the row; a full-width glyph may reach one line up.
        EXPECT_TRUE(QRect(0, 0, 6 * scale, 10 * scale + 1).contains(zero) && zero.bottom() >= 8 * scale);
        EXPECT_TRUE(QRect(0, -scale, 12 * scale, 12 * scale + 1).contains(kanji));
    }
    EXPECT_TRUE(glyphs.Render(U' ', 1).cover.empty());
}

TEST(QtSurface, WritesTheGlyphsForTheWin32ParityTest) {
    const char* out = std::getenv("NORVALE_QT_GLYPHS_OUT");
    if (out == nullptr) GTEST_SKIP() << "NORVALE_QT_GLYPHS_OUT names no file";
    QtGlyphSource source;
    std::vector<glyphs::Glyph> all;
    for (const double scale : glyphs::kScales)
        for (const char32_t cp : glyphs::TableCharacters()) all.push_back({cp, scale, source.Render(cp, scale)});
    EXPECT_TRUE(glyphs::Write(out, all)) << out;
    std::printf("font: %s%s\n", qPrintable(source.Font().family()),
                source.AdvancesExact() ? "" : " (placed on the grid)");
}

TEST(QtSurface, AMoveToAScreenWithAnotherRatioDrawsTheTableAgain) {
    QtHarness h;
    h.Start();
    QtSurface& surface = h.window.TableSurface();
    const double screenRatio = surface.devicePixelRatioF();
    surface.SetScale(screenRatio * 2);  // as drawn for the screen it came from
    surface.Clear();
    QEvent moved(QEvent::ScreenChangeInternal);
    QCoreApplication::sendEvent(&surface, &moved);
    EXPECT_EQ(surface.Scale().Factor(), screenRatio);
    EXPECT_EQ(surface.Image().width(), static_cast<int>(std::ceil(surface.width() * screenRatio)));
    WAIT_UNTIL(surface.Image().pixel(surface.Device(30), surface.Device(5)) == qRgb(200, 255, 200));
}

}  // namespace
}  // namespace norvale
