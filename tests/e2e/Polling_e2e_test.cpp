// End to end: the real window on an X display, the real D-Bus DDEML and the stand-in quote
// server on a private session bus, the sample files, one-second tickers. Polling is started
// from the menu; the table fills and the prices move. (What a server that dies does to a running
// pass is the fault suite's.)
#include <QFile>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "tests/dbus/QuoteServerProcess.h"
#include "tests/qt/QtHarness.h"

namespace norvale {
namespace {

TEST(EndToEnd, PollingFromTheMenuFillsTheTable) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    for (const QString name : {"mei_code.txt", "監視銘柄.txt"})
        ASSERT_TRUE(QFile::copy(QStringLiteral(NORVALE_SAMPLE_DATA "/") + name, folder.filePath(name)));
    QuoteServerProcess server({"--master", folder.filePath(QStringLiteral("mei_code.txt"))});

    FaultHarness n(folder.path(), 1000);  // the real one-second tickers
    n.Start();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&n.window));
    ASSERT_GT(n.logic->Table().Count(), 5);

    n.Choose(MenuItem::StartPolling);
    ASSERT_TRUE(QTest::qWaitFor([&] { return n.statusBar.completed >= 1; }, 5000));
    EXPECT_EQ(n.ddeml.Failures(), 0);

    // A second pass, so that prices have moved and the arrows show it.
    ASSERT_TRUE(QTest::qWaitFor([&] { return n.statusBar.completed >= 2; }, 10000));
    QTest::qWait(300);  // the drawing reaches the screen
    EXPECT_TRUE(n.window.screen()->grabWindow(n.window.winId()).save(QStringLiteral(NORVALE_E2E_SHOT)));

    n.Finish();
    EXPECT_TRUE(n.logic->Closed()) << "activity panel " << n.window.PanelText(StatusPanel::Activity);
}

}  // namespace
}  // namespace norvale
