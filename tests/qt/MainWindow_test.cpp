// The real window offscreen: its layout, a list choice and the redraws that a restore or a screen with
// another ratio brings; polling in the real event loop; and the glyphs of the table's font in their cells
// (the raster under them is the core's). With NORVALE_QT_GLYPHS_OUT naming a file, the glyphs of the
// table's characters are written there for the test of the Win32 glyphs under Wine (scripts/test-windows).
#include <QAbstractItemView>
#include <QComboBox>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <tuple>

#include "frontend/qt/QtGlyphSource.h"
#include "tests/common/GlyphFile.h"
#include "tests/qt/QtHarness.h"

namespace norvale {
namespace {

TEST(QtMainWindow, KeepsItsLayoutTakesAListChoiceAndRedrawsWhenRestoredOrOnAnotherRatio) {
    QtHarness h;
    h.Start();
    QtMainWindow& w = h.window;
    // Designed places, 15 twips to the pixel, in the client area as designed.
    WAIT_UNTIL(w.centralWidget()->size() == QSize(972, 572));
    for (const auto& [name, place] :
         {std::pair{"codeBox", QRect(40, 0, 65, 20)}, {"statusBar", QRect(0, 555, 972, 17)}})
        EXPECT_EQ(w.findChild<QWidget*>(QString::fromLatin1(name))->geometry(), place) << name;
    EXPECT_EQ(w.TableSurface().pos(), QPoint(0, 24));

    // A sort key chosen in its open list takes effect at once.
    auto* sortKeys = w.findChild<QComboBox*>(QStringLiteral("sortKeyList"));
    sortKeys->showPopup();
    sortKeys->view()->setCurrentIndex(sortKeys->model()->index(3, 0));
    QTest::keyClick(sortKeys->view(), Qt::Key_Return);
    WAIT_UNTIL(h.logic->CurrentSortKey() == SortKey::FromListIndex(3));

    // Moved to a screen with another ratio, or minimised and restored, the table is drawn again (its
    // headings' band), at the new ratio.
    QtSurface& table = w.TableSurface();
    const auto headingsDrawn = [&] { return table.Image().pixel(table.Device(30), table.Device(5)) == qRgb(200, 255, 200); };
    QCoreApplication::processEvents();  // no drawing still due from the start-up
    const double screenRatio = table.devicePixelRatioF();
    table.SetScale(screenRatio * 2);  // as drawn for the screen it came from
    table.Clear();
    QEvent moved(QEvent::ScreenChangeInternal);
    QCoreApplication::sendEvent(&table, &moved);
    EXPECT_EQ(table.Scale().Factor(), screenRatio);
    EXPECT_EQ(table.Image().width(), static_cast<int>(std::ceil(table.width() * screenRatio)));
    WAIT_UNTIL(headingsDrawn());
    w.showMinimized();
    WAIT_UNTIL(w.isMinimized());
    table.Clear();
    w.showNormal();
    WAIT_UNTIL(headingsDrawn());
}

// Both tickers keep ticking while a pass runs inside a wait tick, and the next pass begins by itself.
TEST(Polling, WaitAndLoadTicksArriveWhileAPassRuns) {
    QtHarness h(20);
    h.Watch({"1000", "1001", "1002", "1003", "1004", "1005", "1006", "1007"});
    h.Start();
    // Every request blocks for 4 ms, like a quote server that takes its time: 8 x 16 requests in the
    // first pass, about half a second, some 25 ticks.
    int requests = 0, firstWait = -1, lastWait = -1, firstLoad = -1, lastLoad = -1;
    h.ddeml.server = [&](const std::string&, const std::string&) -> FakeDdeml::Reply {
        std::this_thread::sleep_for(std::chrono::milliseconds(4));
        const PollingState& s = h.logic->Polling();
        if (s.Phase() == PollingPhase::Running && requests++ < 8 * 16) {
            if (requests == 1) std::tie(firstWait, firstLoad) = std::pair(s.WaitSeconds(), s.LoadSeconds());
            std::tie(lastWait, lastLoad) = std::pair(s.WaitSeconds(), s.LoadSeconds());
        }
        return {"1"};
    };
    h.Choose(MenuItem::StartPolling);
    WAIT_UNTIL_MS(requests > 8 * 16, 10000);
    EXPECT_GE(lastLoad - firstLoad, 5);
    EXPECT_GE(lastWait - firstWait, 5);
}

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

}  // namespace
}  // namespace norvale
