// The Qt table surface: the glyphs of its font in their cells at each scale, the image it paints,
// and a move to a screen with another ratio. (The raster under it is tested in the core.) With
// NORVALE_QT_GLYPHS_OUT naming a file, the glyphs of the table's characters are written there for the
// test of the Win32 glyphs under Wine (scripts/test-windows).
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "frontend/qt/QtGlyphSource.h"
#include "frontend/qt/QtSurface.h"
#include "tests/common/GlyphFile.h"
#include "tests/common/TableBuilder.h"
#include "tests/qt/QtHarness.h"

namespace norvale {
namespace {

// The box of a glyph's ink, device pixels from its cell's top left.
QRect Ink(const GlyphImage& g) {
    QRect ink;
    for (int y = 0; y < g.height; ++y) {
        for (int x = 0; x < g.width; ++x) {
            if (g.cover[static_cast<std::size_t>(y * g.width + x)] != 0) ink |= QRect(g.left + x, g.top + y, 1, 1);
        }
    }
    return ink;
}

TEST(QtSurface, GlyphsSitInTheirCellsOnTheBaselineDrawnAtTheDeviceResolution) {
    QtGlyphSource glyphs;
    ASSERT_TRUE(glyphs.AdvancesExact()) << glyphs.Font().family().toStdString();
    for (const int scale : {1, 2}) {
        SCOPED_TRACE(scale);
        const QRect zero = Ink(glyphs.Render(U'0', scale)), kanji = Ink(glyphs.Render(U'銘', scale));
        // On the baseline 10 px below the top of the row; a full-width glyph may reach one line up,
        // onto the band's border.
        EXPECT_TRUE(QRect(0, 0, 6 * scale, 10 * scale + 1).contains(zero) && zero.bottom() >= 8 * scale);
        EXPECT_TRUE(QRect(0, -scale, 12 * scale, 12 * scale + 1).contains(kanji));
    }
    EXPECT_TRUE(glyphs.Render(U' ', 1).cover.empty());
    // At scale 2 a glyph has edges inside its layout pixels: it is no doubled picture.
    const GlyphImage two = glyphs.Render(U'銘', 2);
    int split = 0;
    for (int y = (two.top & 1); y + 1 < two.height; y += 2) {
        for (int x = (two.left & 1); x + 1 < two.width; x += 2) {
            const auto at = [&](int dx, int dy) { return two.cover[std::size_t((y + dy) * two.width + x + dx)]; };
            split += at(0, 0) != at(1, 0) || at(0, 0) != at(0, 1) || at(0, 0) != at(1, 1) ? 1 : 0;
        }
    }
    EXPECT_GT(split, 10);
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

TEST(QtSurface, AnExposePaintsTheKeptImage) {
    QtSurface surface(nullptr);
    surface.SetScale(1);
    surface.SetSizeTwips(200 * 15.0, 60 * 15.0);
    surface.FillRect(10, 10, 29, 19, {255, 255, 0});
    surface.Text(40, 12, "1,234", {0, 0, 255});
    surface.show();
    const QImage shown = surface.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(shown.copy(0, 0, 200, 60) == surface.Image());  // what the image holds is the raster's
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
