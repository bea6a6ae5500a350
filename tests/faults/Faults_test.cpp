// What a misbehaving quote server does to a running Norvale: no server, a server killed in the middle
// of a pass, one that never answers, broken and extreme replies. Whatever it does, the window keeps
// handling its events, no request blocks beyond its limit and the watch list file stays as it was.
// What the pass makes of each failure or reply is the core's (RefreshPass_test, DdeCtrl_test,
// QuoteNumber_test, Measures_test and the reply fuzzer); what a topic that never answers costs each
// request, DbusDdeml_test's.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "table/Market.h"
#include "tests/dbus/QuoteServerProcess.h"
#include "tests/qt/QtHarness.h"

namespace norvale {
namespace {

constexpr int kBrands = 12;  // 1001 to 1010 on 東証, 1011 and 1012 on HC ("oj")
// A request may overrun its 500 ms limit by the time a loaded machine takes to notice; a hang would not.
constexpr double kRequestMaxMs = 1500;
// Between two runs of the window's events lie at most one connect and one request, 500 ms each.
constexpr qint64 kMaxEventGapMs = 3000;

std::string Topic(int j) { return TopicOf(BrandCode(static_cast<std::int16_t>(1001 + j)), j < 10 ? "t" : "oj"); }

class Faults : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        std::string master;
        for (int j = 0; j < kBrands; ++j) {
            const std::string code = std::to_string(1001 + j);
            master += code + ",試験銘柄" + std::to_string(j) + ",100," + (j < 10 ? "東証" : "HC") + "\r\n";
            watchList_ += code + "\r\n";
        }
        ASSERT_TRUE(h_.files.WriteAll(Path("mei_code.txt"), Utf8ToCp932(master)));
        ASSERT_TRUE(h_.files.WriteAll(Path("監視銘柄.txt"), watchList_));
    }

    void TearDown() override {
        h_.Finish();
        EXPECT_TRUE(h_.logic != nullptr && h_.logic->Closed()) << "stopped and closed, the window did not close";
        EXPECT_EQ(h_.files.ReadAll(Path("監視銘柄.txt"), 1 << 20), watchList_) << "the watch list file changed";
        EXPECT_LT(h_.ddeml.maxRequestMs, kRequestMaxMs);
        EXPECT_GT(h_.probe.ticks, 0);
        EXPECT_LT(h_.probe.maxGapMs, kMaxEventGapMs) << "the window stopped handling its events";
        std::printf("  %zu requests, the longest %.0f ms; the window's events waited at most %lld ms\n",
                    h_.ddeml.requests.size(), h_.ddeml.maxRequestMs, static_cast<long long>(h_.probe.maxGapMs));
    }

    std::string Path(const char* name) const { return h_.files.InProgramFolder(name); }
    // The server serves the brands of our master, its market frozen at 10:30. The test itself
    // waits for it to come up, not the program.
    std::unique_ptr<QuoteServerProcess> StartServer(const QStringList& extra = {}) {
        h_.probe.Arm(false);
        auto server = std::make_unique<QuoteServerProcess>(
            QStringList{"--master", QString::fromStdString(Path("mei_code.txt")), "--seed", "5", "--clock", "10:30",
                        "--speed", "0"} + extra);
        h_.probe.Arm();
        return server;
    }
    // Until the status bar has shown the end of n completed passes since start-up.
    bool WaitForPasses(int n) { return QTest::qWaitFor([&] { return h_.statusBar.completed >= n; }, 60000); }
    // Runs a queued action at the next time the program lets its events run.
    void Post(std::function<void()> action) { QMetaObject::invokeMethod(&h_.window, action, Qt::QueuedConnection); }

    QTemporaryDir folder_;
    FaultHarness h_{folder_.path()};
    std::string watchList_;
};

// Started without a server, which then comes up and is killed in the first loop, at the third
// brand, and comes back: the quotes follow without any command. Which requests and connects fail
// meanwhile is the DDE layer's (DdeCtrl_test, DbusDdeml_test), what the pass keeps the core's.
TEST_F(Faults, ServerAbsentAtStartThenKilledMidPassAndRestarted) {
    h_.Start();
    ASSERT_EQ(h_.logic->Table().Count(), kBrands);
    auto server = StartServer({"--latency-ms", "2"});
    h_.ddeml.onRequest = [&](const std::string&, const std::string&, int n) {
        if (n == 5) Post([&] { server->Kill(); });  // the third brand's open
    };
    h_.Choose(MenuItem::StartPolling);
    ASSERT_TRUE(WaitForPasses(1));
    h_.ddeml.onRequest = nullptr;

    // The next whole pass fetches every brand without a failure, the fill-once items too.
    server = StartServer();
    const std::size_t mark = h_.ddeml.requests.size();
    ASSERT_TRUE(WaitForPasses(h_.statusBar.completed + 1));
    EXPECT_EQ(h_.ddeml.Failures(mark), 0);
    for (int j = 0; j < kBrands; ++j) {
        const WatchEntry& e = h_.logic->Table().Entry(j);
        EXPECT_TRUE(e.last > 0 && e.prevClose > 0) << Topic(j);
    }
}

// A server that accepts every brand and never answers: the close box, clicked during a request (the
// first brand's open, before its close), is refused while the pass runs, shows "停止処理中" and closes
// the window after that request, before the next.
TEST_F(Faults, ACloseAgainstAServerThatNeverAnswersWaitsForOneRequestOnly) {
    QStringList hung;
    for (int j = 0; j < kBrands; ++j) hung << "--hang-topic" << QString::fromStdString(Topic(j));
    const auto server = StartServer(hung);
    h_.Start();
    QElapsedTimer sinceClose;
    bool refused = false;
    std::string shown;
    h_.ddeml.onRequest = [&](const std::string&, const std::string&, int n) {
        if (n != 1) return;
        sinceClose.start();
        Post([&] { refused = !h_.window.close(), shown = h_.window.PanelText(StatusPanel::Activity); });
    };
    h_.Choose(MenuItem::StartPolling);
    ASSERT_TRUE(QTest::qWaitFor([&] { return h_.logic->Closed(); }, 60000));
    std::printf("  closed %lld ms after it was asked for\n", static_cast<long long>(sinceClose.elapsed()));
    EXPECT_LT(sinceClose.elapsed(), kRequestMaxMs);
    EXPECT_EQ(std::tuple(h_.ddeml.requests.size(), refused, shown, h_.window.isVisible()),
              std::tuple(1u, true, "停止処理中", false));
}

// Replies of 10 KB, of bytes that are no CP932, of every way a number can be broken, all reach the
// pass over the bus while the user changes the sort key mid-pass (the table ranked and drawn).
TEST_F(Faults, BrokenRepliesAllArriveAndTheWindowGoesOn) {
    std::string tenKbKanji;
    while (tenKbKanji.size() < 10 * 1024) tenKbKanji += "\x92\x6C";  // "値"
    // 23 lines against 14, 16 or 20 requests a brand: every item meets most of them.
    const std::string replies = "1,234\n" + std::string(10 * 1024, '9') +
                                "\nNaN\n-12.5\ninf\n\n\x81\x20\xFF\x80\xA0\xFD\n \n-inf\n1,2,3,4\nnan\n,123\n123,\n"
                                "1,,234\n12,34.5\n0\n1.2.3\n" +
                                tenKbKanji + "\nInfinity\n1e5\n  -3,210  \n123\x82\n-0\n";
    ASSERT_TRUE(h_.files.WriteAll(Path("replies.txt"), replies));
    const auto server = StartServer({"--replies", QString::fromStdString(Path("replies.txt"))});
    h_.Start();
    auto* sortKeys = h_.window.findChild<QComboBox*>(QStringLiteral("sortKeyList"));
    h_.ddeml.onRequest = [&](const std::string&, const std::string&, int n) {
        const int key = 1 + n / 97 % 12;
        if (n % 97 == 0) Post([=] { sortKeys->setCurrentIndex(key); emit sortKeys->activated(key); });
    };
    h_.Choose(MenuItem::StartPolling);
    ASSERT_TRUE(WaitForPasses(3));
    EXPECT_EQ(h_.ddeml.Failures(), 0);
}

}  // namespace
}  // namespace norvale
