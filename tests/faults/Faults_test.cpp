// The real window on the D-Bus DDEML against a stand-in quote server that accepts every brand and never
// answers. What the pass makes of each failure or reply is the core's; what a dead or slow server does
// to a request, DbusDdeml_test's.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <string>
#include <string_view>
#include <tuple>

#include "platform/BulkMemory.h"
#include "tests/dbus/QuoteServerProcess.h"
#include "tests/qt/QtHarness.h"

namespace norvale {
namespace {

// A request may overrun its 500 ms limit by the time a loaded machine takes to notice; a hang would not.
constexpr double kRequestMaxMs = 1500;

// The close box, clicked during a request (the first brand's open), is refused while the pass runs,
// shows "停止処理中" and closes the window after that request, before the next; meanwhile the window
// keeps handling its events and the watch list file stays as it was.
TEST(Faults, ACloseAgainstAServerThatNeverAnswersWaitsForOneRequestOnly) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    FaultHarness h(folder.path());
    const std::string watchList = "1001\r\n1002\r\n1003\r\n", list = h.files.InProgramFolder("監視銘柄.txt");
    const std::string master = h.files.InProgramFolder("mei_code.txt");
    ASSERT_TRUE(h.files.WriteAll(master, Utf8ToCp932("1001,試験銘柄1,100,東証\r\n1002,試験銘柄2,100,東証\r\n"
                                                     "1003,試験銘柄3,100,東証\r\n")));
    ASSERT_TRUE(h.files.WriteAll(list, watchList));
    QuoteServerProcess server({"--master", QString::fromStdString(master), "--hang-topic", "1001.t", "--hang-topic",
                               "1002.t", "--hang-topic", "1003.t"});
    h.Start();
    QElapsedTimer sinceClose;
    bool refused = false;
    std::string shown;
    h.ddeml.onRequest = [&](const std::string&, const std::string&, int n) {
        if (n != 1) return;
        sinceClose.start();
        QMetaObject::invokeMethod(&h.window, [&] {
            refused = !h.window.close(), shown = h.window.PanelText(StatusPanel::Activity);
        }, Qt::QueuedConnection);
    };
    h.Choose(MenuItem::StartPolling);
    ASSERT_TRUE(QTest::qWaitFor([&] { return h.logic->Closed(); }, 60000));
    EXPECT_LT(sinceClose.elapsed(), kRequestMaxMs);
    EXPECT_EQ(std::tuple(h.ddeml.requests.size(), refused, shown, h.window.isVisible()),
              std::tuple(1u, true, "停止処理中", false));
    EXPECT_LT(h.ddeml.maxRequestMs, kRequestMaxMs);
    EXPECT_LT(h.probe.maxGapMs, 3000) << "the window stopped handling its events";
    EXPECT_EQ(std::string_view(h.files.ReadAll(list, 1 << 20, BulkMemory()).value_or("")), watchList)
        << "the watch list file changed";
}

}  // namespace
}  // namespace norvale
