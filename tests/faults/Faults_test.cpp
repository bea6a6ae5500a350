// The real window on the D-Bus DDEML against a stand-in quote server that accepts every brand and never
// answers. What the pass makes of each failure or reply is the core's; what a dead or slow server does
// to a request, DbusDdeml_test's.
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <string>
#include <tuple>

#include "platform/dbus/DbusDdeml.h"
#include "tests/dbus/QuoteServerProcess.h"
#include "tests/fakes/TimedDdeml.h"
#include "tests/qt/QtHarness.h"

namespace norvale {
namespace {

// A request may overrun its 500 ms limit by the time a loaded machine takes to notice; a hang would not.
constexpr double kRequestMaxMs = 1500;

// The close box, clicked during a request (the first brand's open), is refused while the pass runs,
// shows "停止処理中" and closes the window after that request, before the next; meanwhile the window
// keeps handling its events.
TEST(Faults, ACloseAgainstAServerThatNeverAnswersWaitsForOneRequestOnly) {
    QuoteServerProcess server(test::FilesOf({"1001", "1002", "1003"}).master,
                              {"--hang-topic", "1001.t", "--hang-topic", "1002.t", "--hang-topic", "1003.t"});
    DbusDdeml dbus;
    TimedDdeml ddeml{dbus};
    QtHarness h(20, &ddeml);  // fast tickers: the polling cycle itself is the same at any tick length
    h.Watch({"1001", "1002", "1003"});
    h.Start();
    // A timer of the window's own: the longest time the window went without handling its events.
    QElapsedTimer sinceTick, sinceClose;
    qint64 maxGapMs = 0;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, &h.window, [&] { maxGapMs = std::max(maxGapMs, sinceTick.restart()); });
    sinceTick.start();
    probe.start(10);
    bool refused = false;
    std::string shown;
    ddeml.onRequest = [&](const std::string&, const std::string&, int n) {
        if (n != 1) return;
        sinceClose.start();
        QMetaObject::invokeMethod(&h.window, [&] {
            refused = !h.window.close(), shown = h.window.PanelText(StatusPanel::Activity);
        }, Qt::QueuedConnection);
    };
    h.Choose(MenuItem::StartPolling);
    WAIT_UNTIL_MS(h.logic->Closed(), 60000);
    EXPECT_LT(sinceClose.elapsed(), kRequestMaxMs);
    EXPECT_EQ(std::tuple(ddeml.requests.size(), refused, shown, h.window.isVisible()),
              std::tuple(1u, true, "停止処理中", false));
    EXPECT_LT(ddeml.maxRequestMs, kRequestMaxMs);
    EXPECT_LT(maxGapMs, 3000) << "the window stopped handling its events";
}

}  // namespace
}  // namespace norvale
