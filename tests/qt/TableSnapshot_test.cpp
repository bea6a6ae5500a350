// With NORVALE_TABLE_SHOT set to a .png path (scripts/screenshot), saves a screenshot of
// the real window showing the sample watch list with quotes filled in by a fixture, ranked by
// deviation from the previous close, one row selected. Skipped otherwise.
#include <QComboBox>
#include <QFile>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>

#include "ranking/Ranking.h"
#include "tests/qt/QtHarness.h"
#include "tests/qt/QtWait.h"

namespace norvale {
namespace {

// Made-up but plausible quotes for every live entry, deterministic from the brand code; the
// measures go through the real formulas. The last brand stays unquoted.
void FillQuotes(WatchTable& table) {
    const int n = table.EntryCount;
    for (int k = 0; k + 1 < n; ++k) {
        WatchEntry& e = table.entries[static_cast<std::size_t>(k)];
        const int c = e.code;
        const double prevClose = 200 + (c * 37) % 9000;
        auto at = [&](double percent) { return std::round(prevClose * (1 + percent / 100)); };
        e.prevClose = prevClose;
        e.open = at(((c * 7) % 9) - 4);
        e.last = at(((c * 11) % 15) - 7);
        e.high = std::max({e.open, e.last, at(3 + (c % 3))});
        e.low = std::min({e.open, e.last, at(-3 - (c % 4))});
        if (k % 5 == 1) e.high = e.last;  // at the day's high
        if (k % 7 == 3) e.low = e.last;   // at the day's low
        e.vwap = std::round((e.high + e.low + e.last) / 3);
        e.tick = static_cast<std::int16_t>(c % 3);
        e.askQtyTotal = 100.0 * (5 + (c * 13) % 3000);
        e.bidQtyTotal = 100.0 * (5 + (c * 29) % 3000);
        RecomputeOpenAndPrevCloseDev(e);
        RecomputeVwapDev(e);
        RecomputeHighDev(e);
        RecomputeLowDev(e);
        RecomputeQuoteRatio(e);
    }
}

TEST(QtTable, Screenshot) {
    const QString path = qEnvironmentVariable("NORVALE_TABLE_SHOT");
    if (path.isEmpty()) GTEST_SKIP() << "set NORVALE_TABLE_SHOT to a .png path (scripts/screenshot)";

    QtHarness h;
    h.UseSampleData();
    h.Start();
    ASSERT_GT(h.frm->table.EntryCount, 10);
    FillQuotes(h.frm->table);

    auto* combo1 = h.window.findChild<QComboBox*>(QStringLiteral("Combo1"));
    combo1->setCurrentIndex(2);  // 前日終値乖離率-降順
    emit combo1->activated(2);
    WAIT_UNTIL(h.frm->SortKey == 2);
    QTest::mouseClick(&h.window.Picture1(), Qt::LeftButton, Qt::NoModifier, QPoint(60, 12 * 4 + 6));
    WAIT_UNTIL(h.frm->view.SelectedEntry >= 0);

    QTest::qWait(300);
    QPixmap pixels;
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        const QRect frame = h.window.frameGeometry();  // the screen as it shows, frame included
        pixels = h.window.screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
    } else {
        pixels = h.window.grab();
    }
    EXPECT_TRUE(pixels.save(path)) << path.toStdString();
}

}  // namespace
}  // namespace norvale
