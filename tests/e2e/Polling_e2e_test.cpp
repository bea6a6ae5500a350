// End to end: the real window on an X display, the real D-Bus DDEML and the stand-in quote
// server on a private session bus, the sample files, one-second tickers. Polling is started
// from the menu; the table fills; the server dies in the middle of a pass and comes back.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "tests/dbus/QuoteServerProcess.h"
#include "tests/faults/FaultHarness.h"

namespace norvale {
namespace {

TEST(EndToEnd, PollingFillsTheTableSurvivesAServerDeathAndRecovers) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    for (const char* name : {"mei_code.txt", "監視銘柄.txt"}) {
        ASSERT_TRUE(QFile::copy(QStringLiteral(NORVALE_SAMPLE_DATA "/") + QString::fromUtf8(name),
                                folder.filePath(QString::fromUtf8(name))));
    }
    const QStringList serverArgs = {QStringLiteral("--master"), folder.filePath(QStringLiteral("mei_code.txt"))};
    QuoteServerProcess server(serverArgs);
    ASSERT_TRUE(server.Ready()) << server.Errors();

    FaultHarness n(folder.path(), 1000);  // the real one-second tickers
    n.Start();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&n.window));
    const int brands = n.frm->table.EntryCount;
    ASSERT_GT(brands, 5);

    n.StartPolling();
    ASSERT_TRUE(WaitUntil([&] { return n.window.PanelText(3).rfind("読込み時間:", 0) == 0; }, 5000));
    EXPECT_EQ(n.ddeml.Failures(), 0);
    int priced = 0;
    for (int j = 0; j < brands; ++j) priced += n.frm->table.entries[static_cast<std::size_t>(j)].last != 0 ? 1 : 0;
    EXPECT_GT(priced, brands / 2);
    EXPECT_EQ(n.window.PanelText(1).rfind("待機中:", 0), 0u);

    // A second pass, so that prices have moved and the arrows show it.
    ASSERT_TRUE(WaitUntil([&] { return n.statusBar.Count(3, "読込み時間:") >= 2; }, 10000));
    QTest::qWait(300);  // the drawing reaches the screen
    const QPixmap shot = n.window.screen()->grabWindow(n.window.winId());
    const QString shotPath = qEnvironmentVariableIsSet("NORVALE_SCREENSHOT")
                                 ? qEnvironmentVariable("NORVALE_SCREENSHOT")
                                 : QStringLiteral(NORVALE_E2E_SHOT);
    QDir().mkpath(QFileInfo(shotPath).absolutePath());
    EXPECT_TRUE(shot.save(shotPath));

    // The server dies at the fifth request of the next pass.
    const std::size_t killFrom = n.ddeml.requests.size() + 5;
    bool killed = false;
    n.ddeml.onRequest = [&](const std::string&, const std::string&, int k) {
        if (static_cast<std::size_t>(k) != killFrom) return;
        n.probe.Pause();
        server.Kill();
        killed = true;
        n.probe.Arm();
    };
    const std::size_t writesBefore = n.statusBar.writes.size();
    ASSERT_TRUE(WaitUntil([&] { return killed; }, 15000));
    // The pass goes on to its end, every request failing at once, and the window with it.
    ASSERT_TRUE(WaitUntil([&] { return n.statusBar.Count(3, "読込み時間:", writesBefore) > 0; }, 10000));
    EXPECT_GT(n.statusBar.Count(1, "Error !", writesBefore), 0);
    EXPECT_GT(n.ddeml.Failures(killFrom), 0);
    EXPECT_LT(n.probe.maxGapMs, 1500);  // no request blocks beyond its 500 ms
    const double lastBefore = n.frm->table.entries[0].last;
    EXPECT_NE(lastBefore, 0);  // failed requests keep what the table held

    // Back again: the next passes get their quotes.
    n.probe.Pause();
    QuoteServerProcess again(serverArgs);
    ASSERT_TRUE(again.Ready()) << again.Errors();
    n.probe.Arm();
    const std::size_t backFrom = n.ddeml.requests.size();
    const std::size_t writesBack = n.statusBar.writes.size();
    ASSERT_TRUE(WaitUntil([&] { return n.statusBar.Count(3, "読込み時間:", writesBack) >= 2; }, 20000));
    const int failuresAfter = n.ddeml.Failures(backFrom);
    EXPECT_LT(failuresAfter, static_cast<int>(n.ddeml.requests.size() - backFrom) / 2);
    EXPECT_FALSE(n.frm->table.entries[static_cast<std::size_t>(brands - 1)].lastText.empty());
    EXPECT_LT(n.probe.maxGapMs, 1500);  // no request blocks beyond its 500 ms

    n.Action("mnu_rss_stop")->trigger();
    n.window.close();
    ASSERT_TRUE(WaitUntil([&] { return n.frm->Closed(); }, 10000))
        << "RefreshState " << n.frm->polling.RefreshState << " panel 1 " << n.window.PanelText(1);
}

}  // namespace
}  // namespace norvale
