// The real drawing surface offscreen: pixel rules, the table font on its grid, the table, and
// the table at device scales above 1.
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string_view>

#include "platform/fake/FakeStatusBar.h"
#include "platform/qt/QtSurface.h"
#include "ranking/DrawTable.h"
#include "tests/common/TableBuilder.h"
#include "tests/qt/QtHarness.h"
#include "tests/qt/QtWait.h"

namespace norvale {
namespace {

constexpr Rgb kRed{255, 0, 0};
const QRgb kWhitePx = qRgb(255, 255, 255);

struct Probe {
    QtSurface surface{nullptr};
    explicit Probe(int widthPx, double heightPx) { surface.SetSizeTwips(widthPx * 15.0, heightPx * 15.0); }
    QRgb At(int x, int y) const { return surface.Image().pixel(x, y) | 0xFF000000u; }
    // Columns and rows that hold anything but white inside a box.
    QRect Ink(QRect box) const {
        QRect ink;
        for (int y = box.top(); y <= box.bottom(); ++y) {
            for (int x = box.left(); x <= box.right(); ++x) {
                if (At(x, y) != kWhitePx) ink |= QRect(x, y, 1, 1);
            }
        }
        return ink;
    }
};

TEST(QtSurface, CornersIncludedLineEndExcludedAndClipping) {
    Probe p(200, 100.4);
    EXPECT_EQ(p.surface.Width(), 200);
    EXPECT_DOUBLE_EQ(p.surface.Height(), 100.4);  // unrounded

    p.surface.FillRect(12, 12, 10, 10, kRed);  // corners in either order
    EXPECT_EQ(p.Ink(QRect(0, 0, 40, 40)), QRect(QPoint(10, 10), QPoint(12, 12)));
    EXPECT_EQ(p.At(11, 11), qRgb(255, 0, 0));

    p.surface.OutlineRect(40, 40, 45, 44, {0, 0, 0});
    EXPECT_EQ(p.Ink(QRect(38, 38, 10, 10)), QRect(QPoint(40, 40), QPoint(45, 44)));
    EXPECT_EQ(p.At(42, 42), kWhitePx);

    p.surface.Line(60, 5, 60, 9, {0, 0, 0});
    EXPECT_EQ(p.Ink(QRect(58, 0, 5, 12)), QRect(QPoint(60, 5), QPoint(60, 8)));
    p.surface.Line(74, 5, 70, 5, {0, 0, 0});
    EXPECT_EQ(p.Ink(QRect(68, 3, 8, 4)), QRect(QPoint(71, 5), QPoint(74, 5)));
    p.surface.Line(80, 0, 83, 3, {0, 0, 0});
    EXPECT_EQ(p.At(82, 2), qRgb(0, 0, 0));
    EXPECT_EQ(p.At(83, 3), kWhitePx);

    p.surface.FillRect(-5, -1, 2, 1, kRed);  // partly off the surface
    p.surface.FillRect(190, 95, 300, 300, kRed);
    p.surface.Line(-10, 50, 500, 50, kRed);
    EXPECT_EQ(p.At(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(p.At(199, 99), qRgb(255, 0, 0));
    EXPECT_EQ(p.At(199, 50), qRgb(255, 0, 0));

    p.surface.Clear();
    EXPECT_EQ(p.Ink(QRect(0, 0, 200, 100)), QRect());
}

TEST(QtSurface, TextSitsOnTheSixPixelGridAndAFixedBaseline) {
    Probe p(200, 60);
    ASSERT_TRUE(p.surface.TableFontAdvancesExact()) << p.surface.TableFont().family().toStdString();

    p.surface.Text(0, 12, "0", {0, 0, 0});
    const QRect zero = p.Ink(QRect(0, 0, 30, 40));
    EXPECT_GE(zero.left(), 0);
    EXPECT_LE(zero.right(), 5);
    EXPECT_GE(zero.top(), 12);
    EXPECT_GE(zero.bottom(), 12 + 8);  // sits on the baseline 10 px below the top
    EXPECT_LE(zero.bottom(), 12 + 10);

    // Half-width katakana take one cell, the arrow and kanji two.
    p.surface.Text(40, 12, "ｺ→銘1", {0, 0, 255});
    EXPECT_FALSE(p.Ink(QRect(40, 12, 6, 12)).isEmpty());
    EXPECT_FALSE(p.Ink(QRect(46, 12, 12, 12)).isEmpty());
    EXPECT_FALSE(p.Ink(QRect(58, 12, 12, 12)).isEmpty());
    const QRect one = p.Ink(QRect(70, 0, 20, 40));
    EXPECT_GE(one.left(), 70);
    EXPECT_LE(one.right(), 75);
    const QRect all = p.Ink(QRect(30, 0, 100, 40));
    EXPECT_GE(all.top(), 11);  // a full-width glyph may reach one line up, onto the band's border
    EXPECT_LE(all.bottom(), 23);

    p.surface.Text(100, 12, "  ", {0, 0, 0});  // blanks paint nothing
    p.surface.Text(100, 12, std::string_view("\xE9\x8A", 2), {0, 0, 0});  // cut-off UTF-8: no crash
}

TEST(QtSurface, DrawsTheTableBandsBordersAndBar) {
    Probe p(972, 529);
    auto table = test::TableBuilder().Brand("7203").Brand("1301").Brand("1332").Quantities("100", "300").Build();
    ASSERT_TRUE(table->MarkForRemoval(1));
    FakeStatusBar status;
    RowSelection selection;
    selection.Clicked(17);  // row 1
    selection.Settle(*table, RowsThatFit(p.surface.Height()));
    DrawTable(p.surface, status, *table, selection);
    EXPECT_EQ(selection.Entry(), 0);

    EXPECT_EQ(p.At(30, 5), qRgb(200, 255, 200));  // header green
    EXPECT_EQ(p.At(32, 5), qRgb(0, 0, 0));        // border of the code column
    EXPECT_EQ(p.At(970, 5), qRgb(200, 255, 200)); // the header band reaches the right edge
    EXPECT_EQ(p.At(30, 17), qRgb(255, 255, 0));   // yellow row under the click
    EXPECT_EQ(p.At(32, 17), qRgb(0, 0, 0));
    EXPECT_EQ(p.At(30, 11), qRgb(0, 0, 0));       // shared border line of header and row 1
    EXPECT_EQ(p.At(30, 29), qRgb(0, 0, 0));       // black row waiting for its removal
    EXPECT_EQ(p.At(30, 41), kWhitePx);

    // Row 3, q = 75: blue 889..907, red 908..968 less the border at 968.
    EXPECT_EQ(p.At(888, 40), qRgb(0, 0, 0));
    EXPECT_EQ(p.At(889, 40), qRgb(0, 0, 255));
    EXPECT_EQ(p.At(907, 40), qRgb(0, 0, 255));
    EXPECT_EQ(p.At(908, 40), qRgb(255, 0, 0));
    EXPECT_EQ(p.At(920, 46), qRgb(255, 0, 0));
    EXPECT_EQ(p.At(920, 47), qRgb(0, 0, 0));  // the row's outline below the bar
    EXPECT_EQ(p.At(968, 40), qRgb(0, 0, 0));
    EXPECT_EQ(p.At(969, 40), kWhitePx);
    EXPECT_EQ(p.At(889, 36), qRgb(0, 0, 255));
    EXPECT_EQ(p.At(889, 35), qRgb(0, 0, 0));

    // What an expose paints is the kept image.
    p.surface.show();
    const QImage shown = p.surface.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown.pixel(30, 17) | 0xFF000000u, qRgb(255, 255, 0));
    EXPECT_EQ(shown.pixel(907, 40) | 0xFF000000u, qRgb(0, 0, 255));
}

// Three unquoted rows, the second under the click: borders beside blank cells.
void DrawBlankRows(QtSurface& surface) {
    surface.SetSizeTwips(972 * 15.0, 529 * 15.0);
    WatchTable table;
    for (int k = 0; k < 3; ++k) ASSERT_TRUE(table.Append({BrandCode(1301), " ", " ", "t"}));  // code and name blank
    FakeStatusBar status;
    RowSelection selection;
    selection.Clicked(12 * 2 + 3);
    selection.Settle(table, RowsThatFit(surface.Height()));
    DrawTable(surface, status, table, selection);
}

TEST(QtSurface, DrawsAtTheDeviceScaleOnTheSameLayout) {
    const QRgb black = qRgb(0, 0, 0);
    for (const double scale : {2.0, 1.5, 1.25}) {
        SCOPED_TRACE(scale);
        QtSurface s(nullptr);
        s.SetScale(scale);
        DrawBlankRows(s);
        const QImage& image = s.Image();
        ASSERT_EQ(image.size(), QSize(static_cast<int>(std::ceil(972 * scale)), static_cast<int>(std::ceil(529 * scale))));
        auto at = [&](int x, int y) { return image.pixel(x, y) | 0xFF000000u; };
        // Layout pixel (x, y) covers whole device pixels, all of one colour.
        auto block = [&](int x, int y) {
            const QRgb first = at(s.Device(x), s.Device(y));
            for (int dy = s.Device(y); dy < s.Device(y + 1); ++dy) {
                for (int dx = s.Device(x); dx < s.Device(x + 1); ++dx) {
                    if (at(dx, dy) != first) return QRgb(0);
                }
            }
            return first;
        };
        for (int r = 0; r <= 3; ++r) {
            for (const TableColumn& c : kTableColumns) {
                const int x = c.BorderX(), y = 12 * r + 5;
                EXPECT_EQ(block(x, y), black) << "border " << x << " row " << r;
                if (r == 0) continue;  // header texts start next to their borders
                EXPECT_NE(at(s.Device(x) - 1, s.Device(y)), black) << "left of border " << x;
                EXPECT_NE(at(s.Device(x + 1), s.Device(y)), black) << "right of border " << x;
            }
            if (r == 0) continue;
            EXPECT_EQ(block(30, 12 * r - 1), black) << "line above row " << r;
            EXPECT_NE(at(s.Device(30), s.Device(12 * r - 1) - 1), black);
            EXPECT_NE(at(s.Device(30), s.Device(12 * r)), black);
        }
        EXPECT_EQ(block(60, 12 * 2 + 5), qRgb(255, 255, 0));

        if (scale != 2) continue;
        // A glyph at device resolution has edges inside its layout pixels; a doubled picture
        // would have none.
        int split = 0;
        for (int y = 0; y + 1 < s.Device(11); y += 2) {
            for (int x = 0; x + 1 < image.width(); x += 2) {
                const QRgb p = at(x, y);
                split += p != at(x + 1, y) || p != at(x, y + 1) || p != at(x + 1, y + 1) ? 1 : 0;
            }
        }
        EXPECT_GT(split, 100);
    }
}

// Bands as the table draws them, then cells: on a plain band a cell's shadow and glyphs come out
// of ready stamps, elsewhere they are blended run by run; both must give the same pixels.
void DrawCells(QtSurface& s, bool forgetPlainParts) {
    const Rgb bands[] = {{200, 255, 200}, {255, 255, 255}, {255, 255, 0}, {0, 0, 0}};
    for (int r = 0; r < 4; ++r) {
        s.FillRect(-1, 12 * r - 1, 400, 12 * r + 11, bands[r]);
        if (r > 0) s.OutlineRect(-1, 12 * r - 1, 400, 12 * r + 11, {0, 0, 0});
        s.FillRect(300, 12 * r, 319, 12 * r + 10, {255, 0, 0});
        s.FillRect(300, 12 * r, 309, 12 * r + 10, {0, 0, 255});
        if (forgetPlainParts) {  // an image made anew keeps the pixels, not what it knew of them
            s.SetSizeTwips(401 * 15.0, 60 * 15.0);
            s.SetSizeTwips(400 * 15.0, 60 * 15.0);
        }
        auto cell = [&](int x, std::string_view text, Rgb main, Rgb shadow) {
            if (forgetPlainParts) {
                s.Surface::ShadowedText(x, 12 * r, text, main, shadow);
            } else {
                s.ShadowedText(x, 12 * r, text, main, shadow);
            }
        };
        cell(1, "1,234,567", {255, 0, 0}, {255, 255, 255});
        cell(81, "極東重工業株式会社", {0, 0, 0}, {255, 255, 255});
        cell(193, "   -12.50", {0, 0, 255}, {255, 255, 255});
        cell(193, "↓", {0, 0, 255}, {0, 0, 255});  // the arrow over the blanks of a drawn price
        cell(283, "   75.00", {255, 255, 255}, {255, 255, 255});  // over both parts of the bar
        cell(395, "Ｎ,", {0, 0, 0}, {255, 255, 255});  // cut at the right edge
    }
}

TEST(QtSurface, CellsFromReadyStampsEqualCellsBlendedGlyphByGlyph) {
    for (const double scale : {1.0, 1.25, 2.0}) {
        SCOPED_TRACE(scale);
        QtSurface stamped(nullptr), blended(nullptr);
        for (QtSurface* s : {&stamped, &blended}) {
            s->SetScale(scale);
            s->SetSizeTwips(400 * 15.0, 60 * 15.0);
        }
        DrawCells(stamped, false);
        DrawCells(blended, true);
        EXPECT_TRUE(stamped.Image() == blended.Image());
    }
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
    EXPECT_EQ(surface.Scale(), screenRatio);
    EXPECT_EQ(surface.Image().width(), static_cast<int>(std::ceil(surface.width() * screenRatio)));
    WAIT_UNTIL(surface.Image().pixel(surface.Device(30), surface.Device(5)) == qRgb(200, 255, 200));
}

}  // namespace
}  // namespace norvale
