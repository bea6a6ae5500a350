// The DDE layer over D-Bus against the stand-in quote server on a private session bus: what it serves,
// and a slow, a never answering and a dead server.
#include "platform/dbus/DbusDdeml.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "quotes/DdeCtrl.h"
#include "tests/dbus/QuoteServerProcess.h"
#include "tools/quote-server/MarketSim.h"

namespace norvale {
namespace {

constexpr std::uint64_t kSeed = 5;
constexpr double kClock = 10.5 * 3600;  // the server's frozen time, 10:30

std::string Error(std::uint32_t code) { return "ERROR " + DescribeDdeCode(code); }

// A server on the default bus name for "RSS", its market frozen at 10:30.
struct Server : QuoteServerProcess {
    explicit Server(const QStringList& extra = {})
        : QuoteServerProcess("7203,トヨタ自動車,100,東証\r\n6758,ソニーグループ,100,東証\r\n"
                             "9984,ソフトバンクグループ,100,HC\r\n130a,新規上場,100,東証\r\n",
                             QStringList{"--seed", QString::number(kSeed), "--clock", "10:30", "--speed", "0"} + extra) {}
};

// The value the server must give, from the same market in process.
std::string Expected(const std::string& topic, const std::string& item) {
    MarketSim market(kSeed);
    for (const auto& [brand, name] : {std::pair{"7203.t", "トヨタ自動車"}, {"6758.t", "ソニーグループ"},
                                      {"9984.oj", "ソフトバンクグループ"}, {"130A.t", "新規上場"}})
        market.AddBrand(brand, name);
    return market.Value(topic, item, kClock).value_or("?");
}

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

TEST(DbusDdeml, ServesEveryItemAndAfterTheServerDiesFindsARestartedOne) {
    Client client;
    {
        Server server;
        for (const std::string& item : MarketSim::RefreshItems())
            EXPECT_EQ(client.Ask("130A.t", item), Expected("130A.t", item)) << item;
        // Japanese both ways: the item name goes out and the brand name comes back as CP932.
        EXPECT_EQ(client.Ask("9984.oj", "銘柄名称"), "ソフトバンクグループ");
        // A refused item fails the request but not the conversation; a brand not in the master gets none.
        EXPECT_EQ(client.Ask("9984.oj", "配当"), Error(dmlerr::kNotProcessed));
        EXPECT_EQ(client.Ask("9984.oj", "現在値"), Expected("9984.oj", "現在値"));
        EXPECT_EQ(client.Ask("7203.os", "現在値"), Error(dmlerr::kNoConvEstablished));
        EXPECT_EQ(client.Ask("7203.t", "現在値"), Expected("7203.t", "現在値"));
        server.Kill();
        EXPECT_EQ(client.Ask("7203.t", "高値"), Error(dmlerr::kPostMsgFailed));
        EXPECT_EQ(client.Ask("6758.t", "現在値"), Error(dmlerr::kNoConvEstablished));
    }
    // The next brand connects to the new server, and so does the first brand after it.
    Server server;
    EXPECT_EQ(client.Ask("9984.oj", "現在値"), Expected("9984.oj", "現在値"));
    EXPECT_EQ(client.Ask("7203.t", "高値"), Expected("7203.t", "高値"));
}

TEST(DbusDdeml, ASlowServerCostsNoMoreThanTheLimitAndLeavesNoStaleAnswerBehind) {
    {
        // A conversation's start waits no longer than a request may.
        Server server({"--accept-ms", "700"});
        EXPECT_EQ(Client().Ask("7203.t", "銘柄名称", 500), Error(dmlerr::kNoConvEstablished));
    }
    Server server({"--latency-ms", "800", "--hang-topic", "6758.t"});
    Client client;
    EXPECT_EQ(client.Ask("7203.t", "現在値", 500), Error(dmlerr::kDataAckTimeout));
    // The late answer to the first request must not be taken for the answer to the next one.
    EXPECT_EQ(client.Ask("7203.t", "銘柄名称", 3000), "トヨタ自動車");
    // A topic whose requests are never answered costs the time limit and fails the same way.
    EXPECT_EQ(client.Ask("6758.t", "現在値", 500), Error(dmlerr::kDataAckTimeout));
}

}  // namespace
}  // namespace norvale
