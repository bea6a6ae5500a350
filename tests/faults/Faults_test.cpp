// What a misbehaving quote server does to a running Norvale: no server, a server killed in the middle
// of a pass, broken and extreme replies. Whatever it does, the window keeps handling its events and
// drawing, no request blocks beyond its limit, no number of the table turns into NaN or infinity
// (the table shows those as blanks or 0.00 anyway, NumberFormat_test) and the watch list file stays
// as it was. A topic that never answers costs each request its limit (DbusDdeml_test) and at most
// one connect besides (DdeCtrl_test); the cut of long replies is DdeCtrl_test's and the reply
// fuzzer's.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "table/Market.h"
#include "tests/dbus/QuoteServerProcess.h"
#include "tests/faults/FaultHarness.h"

namespace norvale {
namespace {

constexpr int kBrands = 12;                 // 1001 to 1010 on 東証, 1011 and 1012 on HC ("oj")
constexpr double kRequestLimitMs = 500;
// A request may overrun its limit by the time a loaded machine takes to notice; a hang would not.
constexpr double kOverrunMs = 1000;
// Between two runs of the window's events lie at most one connect and one request, 500 ms each.
constexpr qint64 kMaxEventGapMs = 3000;
constexpr int kLongWaitMs = 60000;

std::string Topic(int j) { return TopicOf(BrandCode(static_cast<std::int16_t>(1001 + j)), j < 10 ? "t" : "oj"); }

class Faults : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        std::string master, watch;
        for (int j = 0; j < kBrands; ++j) {
            const std::string code = std::to_string(1001 + j);
            master += code + ",試験銘柄" + std::to_string(j) + ",100," + (j < 10 ? "東証" : "HC") + "\r\n";
            watch += code + "\r\n";
        }
        WriteFile("mei_code.txt", Utf8ToCp932(master));
        watchList_ = Utf8ToCp932(watch);
        WriteFile("監視銘柄.txt", watchList_);
        h_ = std::make_unique<FaultHarness>(folder_.path());
    }

    void TearDown() override {
        h_->Finish();
        EXPECT_TRUE(h_->logic->Closed()) << "stopped and closed, the window did not close";
        const WatchTable& table = h_->logic->Table();
        for (int j = 0; j < table.Count(); ++j) {  // every number of every live entry is finite
            const WatchEntry& e = table.Entry(j);
            std::vector<double> values = {e.quoteRatio, e.last,    e.prevLast, e.prevClose, e.prevCloseDev,
                                          e.vwap,       e.vwapDev, e.open,     e.openDev,   e.high,
                                          e.highDev,    e.low,     e.lowDev,   e.askQtyTotal, e.bidQtyTotal};
            values.insert(values.end(), e.askQty.begin(), e.askQty.end());
            values.insert(values.end(), e.bidQty.begin(), e.bidQty.end());
            for (const double v : values) EXPECT_TRUE(std::isfinite(v)) << e.topic << ": " << v;
        }
        EXPECT_GT(h_->statusBar.drawings, 0);
        EXPECT_EQ(ReadFile("監視銘柄.txt"), watchList_) << "the watch list file changed";
        EXPECT_LT(h_->ddeml.maxRequestMs, kRequestLimitMs + kOverrunMs);
        EXPECT_GT(h_->probe.ticks, 0);
        EXPECT_LT(h_->probe.maxGapMs, kMaxEventGapMs) << "the window stopped handling its events";
        std::printf("  %zu requests, the longest %.0f ms; the window's events waited at most %lld ms\n",
                    h_->ddeml.requests.size(), h_->ddeml.maxRequestMs, static_cast<long long>(h_->probe.maxGapMs));
        h_.reset();
    }

    void WriteFile(const char* name, const std::string& bytes) {
        QFile file(folder_.filePath(QString::fromUtf8(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes.data(), static_cast<qint64>(bytes.size())), static_cast<qint64>(bytes.size()));
    }
    std::string ReadFile(const char* name) {
        QFile file(folder_.filePath(QString::fromUtf8(name)));
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string("(missing)");
    }

    // The server serves the brands of our master, its market frozen at 10:30. The test itself
    // waits for it to come up, not the program.
    std::unique_ptr<QuoteServerProcess> StartServer(const QStringList& extra = {}) {
        h_->probe.Pause();
        auto server = std::make_unique<QuoteServerProcess>(
            QStringList{QStringLiteral("--master"), folder_.filePath(QStringLiteral("mei_code.txt")),
                        QStringLiteral("--seed"), QStringLiteral("5"), QStringLiteral("--clock"),
                        QStringLiteral("10:30"), QStringLiteral("--speed"), QStringLiteral("0")} +
            extra);
        EXPECT_TRUE(server->Ready()) << server->Errors();
        h_->probe.Arm();
        return server;
    }
    // A server that answers every request with the lines of a file in turn.
    std::unique_ptr<QuoteServerProcess> StartReplyServer(const std::vector<std::string>& lines) {
        std::string bytes;
        for (const std::string& line : lines) bytes += line + "\n";
        WriteFile("replies.txt", bytes);
        return StartServer({QStringLiteral("--replies"), folder_.filePath(QStringLiteral("replies.txt"))});
    }

    // Waits until the status bar has shown the end of n completed passes since start-up.
    bool WaitForPasses(int n) {
        return QTest::qWaitFor([&] { return h_->statusBar.completed >= n; }, kLongWaitMs);
    }
    const WatchEntry& Entry(int j) const { return h_->logic->Table().Entry(j); }
    // Runs a queued action at the next time the program lets its events run.
    void Post(std::function<void()> action) {
        QMetaObject::invokeMethod(&h_->window, std::move(action), Qt::QueuedConnection);
    }

    QTemporaryDir folder_;
    std::string watchList_;
    std::unique_ptr<FaultHarness> h_;
};

// Started without a server, which then comes up and is killed in the first loop, at the third
// brand, and comes back: the quotes follow without any command. Which requests and connects fail
// meanwhile is the DDE layer's (DdeCtrl_test, DbusDdeml_test), what the pass keeps the core's.
TEST_F(Faults, ServerAbsentAtStartThenKilledMidPassAndRestarted) {
    h_->Start();
    ASSERT_EQ(h_->logic->Table().Count(), kBrands);
    auto server = StartServer({QStringLiteral("--latency-ms"), QStringLiteral("2")});
    h_->ddeml.onRequest = [&](const std::string&, const std::string&, int n) {
        if (n == 5) Post([&] { server->Kill(); });  // the third brand's open
    };
    h_->StartPolling();
    ASSERT_TRUE(WaitForPasses(1));
    h_->ddeml.onRequest = nullptr;
    EXPECT_EQ(h_->ddeml.connectFailures, kBrands - 3 + kBrands);
    EXPECT_EQ(Entry(2).last, 0);

    // The next whole pass fetches every brand without a failure, the fill-once items too.
    server = StartServer();
    const std::size_t mark = h_->ddeml.requests.size();
    ASSERT_TRUE(WaitForPasses(h_->statusBar.completed + 1));
    EXPECT_EQ(h_->ddeml.Failures(mark), 0);
    for (int j = 0; j < kBrands; ++j) {
        EXPECT_GT(Entry(j).last, 0) << Topic(j);
        EXPECT_GT(Entry(j).prevClose, 0) << Topic(j);
    }
}

// A server that accepts every brand and never answers: a close asked for during a request waits for
// that request only, not for the rest of the brand's (the first brand's open, before its close).
TEST_F(Faults, ACloseAgainstAServerThatNeverAnswersWaitsForOneRequestOnly) {
    QStringList hung;
    for (int j = 0; j < kBrands; ++j) hung << QStringLiteral("--hang-topic") << QString::fromStdString(Topic(j));
    const auto server = StartServer(hung);
    h_->Start();
    QElapsedTimer sinceClose;
    h_->ddeml.onRequest = [&](const std::string&, const std::string&, int n) {
        if (n != 1) return;
        sinceClose.start();
        Post([&] { h_->window.close(); });
    };
    h_->StartPolling();
    ASSERT_TRUE(QTest::qWaitFor([&] { return h_->logic->Closed(); }, kLongWaitMs));
    std::printf("  closed %lld ms after it was asked for\n", static_cast<long long>(sinceClose.elapsed()));
    EXPECT_LT(sinceClose.elapsed(), kRequestLimitMs + kOverrunMs);
    EXPECT_EQ(h_->ddeml.requests.size(), 1u);
}

TEST_F(Faults, BrokenRepliesLeaveEveryNumberFinite) {
    const std::string tenKb(10 * 1024, '9');
    std::string tenKbKanji;
    while (tenKbKanji.size() < 10 * 1024) tenKbKanji += "\x92\x6C";  // "値"
    // 23 lines against 14, 16 or 20 requests a brand: every item meets most of them.
    const auto server = StartReplyServer({
        "1,234", tenKb, "NaN", "-12.5", "inf", "", "\x81\x20\xFF\x80\xA0\xFD", " ", "-inf", "1,2,3,4",
        "nan", ",123", "123,", "1,,234", "12,34.5", "0", "1.2.3", tenKbKanji, "Infinity", "1e5", "  -3,210  ",
        "123\x82", "-0"});
    h_->Start();
    // The user changes the sort key while passes run: the table is ranked and drawn mid-pass.
    h_->ddeml.onRequest = [&](const std::string&, const std::string&, int n) {
        if (n % 97 == 0) Post([&, n] { h_->PickSortKey(1 + n / 97 % 12); });
    };
    h_->StartPolling();
    ASSERT_TRUE(WaitForPasses(3));

    EXPECT_EQ(h_->ddeml.Failures(), 0);
}

}  // namespace
}  // namespace norvale
