// Polling in the real Qt event loop: both tickers keep ticking while a pass runs inside a
// wait tick, and the menu commands reach the running pass.
#include <QAction>
#include <QTest>
#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <thread>

#include "platform/TextCodec.h"
#include "tests/qt/QtHarness.h"
#include "tests/qt/QtWait.h"

namespace norvale {
namespace {

constexpr int kTickMs = 20;

struct Seen {
    int requests = 0;
    int firstWait = -1, lastWait = -1;
    int firstLoad = -1, lastLoad = -1;
};

// Every request blocks for a few milliseconds, like a quote server that takes its time.
void SlowServer(QtHarness& h, Seen& seen) {
    h.ddeml.server = [&h, &seen](const std::string&, const std::string&) -> FakeDdeml::Reply {
        std::this_thread::sleep_for(std::chrono::milliseconds(4));
        const PollingState& s = h.logic->Polling();
        if (s.Phase() == PollingPhase::Running) {
            if (seen.requests++ == 0) {
                seen.firstWait = s.WaitSeconds();
                seen.firstLoad = s.LoadSeconds();
            }
            seen.lastWait = s.WaitSeconds();
            seen.lastLoad = s.LoadSeconds();
        }
        return {Utf8ToCp932("1,234")};
    };
}

void AddBrands(QtHarness& h, int count) {
    for (int j = 0; j < count; ++j) {
        WatchEntry e;
        e.codeText = std::to_string(1000 + j);
        e.marketSuffix = "t";
        e.topic = e.codeText + ".t";
        e.brandName = "テスト";
        ASSERT_TRUE(h.logic->TableForSetUp().Append(std::move(e)));
    }
}

TEST(Polling, WaitAndLoadTicksArriveWhileAPassRuns) {
    QtHarness h(kTickMs);
    h.Start();
    AddBrands(h, 8);  // 8 x 16 requests of 4 ms: about half a second, some 25 ticks
    Seen seen;
    SlowServer(h, seen);

    h.window.findChild<QAction*>(QStringLiteral("startPolling"))->trigger();
    WAIT_UNTIL_MS(h.window.PanelText(StatusPanel::LoadTime).rfind("読込み時間:", 0) == 0, 10000);

    EXPECT_EQ(seen.requests, 8 * 16);
    // Both counters moved between the first and the last request of the pass.
    EXPECT_GE(seen.lastLoad - seen.firstLoad, 5);
    EXPECT_GE(seen.lastWait - seen.firstWait, 5);
    EXPECT_EQ(h.logic->Table().entries[0].last, 1234);
    EXPECT_EQ(h.logic->Polling().WaitLimit(), 5);
    // And polling goes on: the next pass begins by itself.
    const int firstPass = seen.requests;
    WAIT_UNTIL_MS(seen.requests > firstPass, 10000);
}

// The user's stop and close arrive as events while a pass over twenty brands runs (posted from
// inside a request, as a click during it would be) and are seen at the next brand boundary.
TEST(Polling, StopAndCloseArrivingDuringAPassEndItAtTheBrandBoundary) {
    QtHarness h(kTickMs);
    h.Start();
    AddBrands(h, 20);
    Seen seen;
    SlowServer(h, seen);
    QAction* start = h.window.findChild<QAction*>(QStringLiteral("startPolling"));
    QAction* stop = h.window.findChild<QAction*>(QStringLiteral("stopPolling"));
    int served = 0;
    std::function<void()> at10;
    h.ddeml.server = [&, server = h.ddeml.server](const std::string& t, const std::string& i) {
        if (++served == 10) at10();
        return server(t, i);
    };

    // Request 10 is brand 4's close, its last of the first loop: the stop is handled with
    // the events before brand 5, and the pass ends after brand 5's two requests.
    at10 = [&] { QMetaObject::invokeMethod(stop, &QAction::trigger, Qt::QueuedConnection); };
    start->trigger();
    WAIT_UNTIL_MS(served >= 10 && h.logic->Polling().Phase() == PollingPhase::Idle, 10000);
    EXPECT_EQ(served, 12);
    EXPECT_EQ(h.window.PanelText(StatusPanel::Activity), "停止");
    EXPECT_TRUE(start->isEnabled());
    EXPECT_FALSE(stop->isEnabled());

    served = 0;
    std::string panelAfterClose;
    at10 = [&] {
        QMetaObject::invokeMethod(&h.window, [&] {
            EXPECT_FALSE(h.window.close());  // refused while the pass runs
            panelAfterClose = h.window.PanelText(StatusPanel::Activity);
        }, Qt::QueuedConnection);
    };
    start->trigger();
    WAIT_UNTIL_MS(h.logic->Closed(), 10000);
    EXPECT_EQ(served, 12);  // brands 6 to 11: the first pass had filled 0 to 5
    EXPECT_EQ(panelAfterClose, "停止処理中");
    EXPECT_FALSE(h.window.isVisible());
}

}  // namespace
}  // namespace norvale
