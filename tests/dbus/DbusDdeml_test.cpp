// The DDE layer over D-Bus against the stand-in quote server on a private session bus, and the probe.
#include "platform/dbus/DbusDdeml.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>

#include "platform/TextCodec.h"
#include "quotes/DdeCtrl.h"
#include "tests/dbus/QuoteServerProcess.h"
#include "tools/quote-server/MarketSim.h"

namespace norvale {
namespace {

constexpr std::uint64_t kSeed = 5;
constexpr double kClock = 10.5 * 3600;  // the server's frozen time, 10:30

std::string Error(std::uint32_t code) { return "ERROR " + DescribeDdeCode(code); }

// The DDE layer as start-up opens it.
struct Client {
    DbusDdeml ddeml;
    DdeCtrl dde{ddeml};
    Client() { EXPECT_TRUE(dde.Open("RSS")); }
    // The text received, or "ERROR " and the description of the failure.
    std::string Ask(const std::string& topic, const std::string& item, std::int32_t timeoutMs = 2000) {
        const DdeReply reply = dde.Request(topic, item, timeoutMs);
        return reply ? *reply.text : "ERROR " + reply.errorText;
    }
};

class QuoteServerTest : public testing::Test {
protected:
    void SetUp() override {
        QFile file(master_);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) &&
                    file.write(QByteArray::fromStdString(Utf8ToCp932(
                        "7203,トヨタ自動車,100,東証\r\n6758,ソニーグループ,100,東証\r\n9984,ソフトバンクグループ,100,HC\r\n"
                        "1234,上場廃止,100,NYSE\r\n130a,新規上場,100,東証\r\n"))) > 0);
    }

    // A server on the default bus name for "RSS", its market frozen at 10:30.
    QStringList Args(const QStringList& extra = {}) const {
        return QStringList{"--master", master_, "--seed", QString::number(kSeed), "--clock", "10:30", "--speed", "0"} +
               extra;
    }
    // The value the server must give, from the same market in process.
    static std::string Expected(const std::string& topic, const std::string& item) {
        MarketSim market(kSeed);
        market.AddBrand("7203.t", "トヨタ自動車");
        market.AddBrand("6758.t", "ソニーグループ");
        market.AddBrand("9984.oj", "ソフトバンクグループ");
        market.AddBrand("130A.t", "新規上場");
        return market.Value(topic, item, kClock).value_or("?");
    }

    QTemporaryDir dir_;
    QString master_ = dir_.filePath(QStringLiteral("mei_code.txt"));
};

TEST_F(QuoteServerTest, ServesEveryRefreshItemThroughTheDdeLayer) {
    QuoteServerProcess server(Args());
    Client client;
    for (const char* topic : {"7203.t", "9984.oj", "130A.t"}) {
        for (const std::string& item : MarketSim::RefreshItems())
            EXPECT_EQ(client.Ask(topic, item), Expected(topic, item)) << topic << " " << item;
    }
    // Japanese both ways: the item name goes out and the brand name comes back as CP932.
    EXPECT_EQ(client.Ask("9984.oj", "銘柄名称"), "ソフトバンクグループ");

    // A refused item fails the request but not the conversation.
    EXPECT_EQ(client.Ask("9984.oj", "配当"), Error(dmlerr::kNotProcessed));
    EXPECT_EQ(client.Ask("9984.oj", "現在値"), Expected("9984.oj", "現在値"));
    // A brand whose market has no topic, or one not in the master, gets no conversation.
    EXPECT_EQ(client.Ask("1234.t", "現在値"), Error(dmlerr::kNoConvEstablished));
    EXPECT_EQ(client.Ask("7203.os", "現在値"), Error(dmlerr::kNoConvEstablished));
    EXPECT_EQ(client.Ask("6758.t", "現在値"), Expected("6758.t", "現在値"));
}

// What the DDE layer relies on: a refused connect says why, once; the text comes with its NUL; an
// instance gone takes its conversations with it. (Nothing in Norvale reads from an offset, frees a
// handle twice or asks for another format.)
TEST_F(QuoteServerTest, InstancesAndHandlesBehaveLikeDdeml) {
    QuoteServerProcess server(Args({"--refuse-topic", "6758.t"}));
    DbusDdeml ddeml;
    DdeInstance instance{};
    ASSERT_EQ(ddeml.Initialize(instance, 0x3C0010), 0u);
    const auto handle = [&](const std::string& text) { return ddeml.CreateStringHandle(instance, text, 1004); };
    const DdeString service = handle("RSS"), item = handle(Utf8ToCp932("前日終値"));
    EXPECT_EQ(ddeml.Connect(instance, service, handle("6758.t")), DdeConversation::kNone);
    EXPECT_EQ((std::pair{ddeml.GetLastError(instance), ddeml.GetLastError(instance)}),
              std::pair(dmlerr::kNoConvEstablished, 0u));

    const DdeConversation conversation = ddeml.Connect(instance, service, handle("7203.t"));
    ASSERT_NE(conversation, DdeConversation::kNone);
    const DdeData data = ddeml.ClientTransaction(conversation, item, 1, 0x20B0, 2000);
    const std::string value = Utf8ToCp932(Expected("7203.t", "前日終値"));
    char buffer[512];
    EXPECT_EQ(ddeml.GetData(data, buffer, sizeof buffer, 0), value.size() + 1);
    EXPECT_EQ(std::pair(std::string(buffer), ddeml.FreeDataHandle(data)), std::pair(value, true));
    EXPECT_TRUE(ddeml.Uninitialize(instance));
    EXPECT_EQ(ddeml.ClientTransaction(conversation, item, 1, 0x20B0, 2000), DdeData::kNone) << "gone with its instance";
}

TEST_F(QuoteServerTest, ASlowReplyTimesOutAndLeavesNoStaleAnswerBehind) {
    QuoteServerProcess server(Args({"--latency-ms", "800", "--hang-topic", "6758.t"}));
    Client client;
    EXPECT_EQ(client.Ask("7203.t", "現在値", 500), Error(dmlerr::kDataAckTimeout));
    // The late answer to the first request must not be taken for the answer to the next one.
    EXPECT_EQ(client.Ask("7203.t", "銘柄名称", 3000), "トヨタ自動車");
    EXPECT_EQ(client.Ask("7203.t", "安値", 3000), Expected("7203.t", "安値"));
    // A topic whose requests are never answered costs the time limit each and fails the same way.
    EXPECT_EQ(client.Ask("6758.t", "現在値", 500), Error(dmlerr::kDataAckTimeout));
    EXPECT_EQ(client.Ask("6758.t", "高値", 500), Error(dmlerr::kDataAckTimeout));
}

// A conversation's start waits no longer than a request may: a server slower to accept gets
// no conversation, one a little quicker is served as usual.
TEST_F(QuoteServerTest, AConnectWaitsNoLongerThanARequestMay) {
    for (const auto& [acceptMs, served] : {std::pair{"700", false}, std::pair{"150", true}}) {
        SCOPED_TRACE(acceptMs);
        QuoteServerProcess server(Args({"--accept-ms", acceptMs}));
        Client client;
        const std::string answer = client.Ask("7203.t", "銘柄名称", 500);
        EXPECT_EQ(answer, served ? "トヨタ自動車" : Error(dmlerr::kNoConvEstablished));
    }
}

TEST_F(QuoteServerTest, AServerThatDiesFailsItsConversationAndARestartedOneIsFoundAgain) {
    Client client;
    {
        QuoteServerProcess server(Args());
        EXPECT_EQ(client.Ask("7203.t", "現在値"), Expected("7203.t", "現在値"));
        server.Kill();
        EXPECT_EQ(client.Ask("7203.t", "高値"), Error(dmlerr::kPostMsgFailed));
        // The layer starts afresh after a dead server, so the same topic tries a new connect.
        EXPECT_EQ(client.Ask("7203.t", "安値"), Error(dmlerr::kNoConvEstablished));
        EXPECT_EQ(client.Ask("6758.t", "現在値"), Error(dmlerr::kNoConvEstablished));
    }
    {
        // The next brand connects to the new server, and so does the first brand after it.
        QuoteServerProcess server(Args());
        EXPECT_EQ(client.Ask("9984.oj", "現在値"), Expected("9984.oj", "現在値"));
        EXPECT_EQ(client.Ask("7203.t", "高値"), Expected("7203.t", "高値"));
    }
    // A server that goes with the request pending: told at once, not after the time limit.
    QuoteServerProcess server(Args({"--exit-after", "2"}));
    EXPECT_EQ(client.Ask("6758.t", "現在値", 20000), Expected("6758.t", "現在値"));
    EXPECT_EQ(client.Ask("6758.t", "高値", 20000), Expected("6758.t", "高値"));
    EXPECT_EQ(client.Ask("6758.t", "安値", 20000), Error(dmlerr::kPostMsgFailed));
    EXPECT_TRUE(server.WaitForExit());
}

TEST_F(QuoteServerTest, TheProbeSaysByItsStatusWhetherEveryItemWasAnswered) {
    QuoteServerProcess server(Args());
    // The probe's status, standard output and standard error.
    const auto probe = [](const QStringList& args, const char* bus = nullptr) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (bus != nullptr) env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QString::fromLatin1(bus));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(NORVALE_PROBE), args);
        EXPECT_TRUE(p.waitForFinished(20000) && p.exitStatus() == QProcess::NormalExit);
        return std::tuple(p.exitCode(), p.readAllStandardOutput().toStdString(),
                          p.readAllStandardError().toStdString());
    };
    // What it prints for each answer and failure is checked against the raw DDE server under Wine;
    // here, its status and what it says without a session bus.
    EXPECT_EQ(std::get<0>(probe({"7203.t=現在値,銘柄名称", "6758.t=無い項目"})), 1);
    EXPECT_EQ(std::get<0>(probe({"9984.oj"})), 0);
    const auto [lostStatus, lostOut, lostErr] = probe({"7203.t=現在値"}, "unix:path=/nonexistent");
    EXPECT_EQ(lostStatus, 1);
    EXPECT_EQ(lostErr.rfind("norvale-probe: there is no D-Bus session bus (", 0), 0u) << lostErr;
    EXPECT_EQ(std::get<0>(probe({})), 2);
    EXPECT_EQ(std::get<0>(probe({"--timeout-ms", "x", "7203.t"})), 2);
}

}  // namespace
}  // namespace norvale
