// The DDE layer against a recording DDEML: handle and conversation caching, failures and
// recovery, the receive buffer, closing.
#include "quotes/DdeCtrl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/TextCodec.h"
#include "platform/fake/FakeDdeml.h"

namespace norvale {
namespace {

struct Opened {
    FakeDdeml ddeml;
    DdeCtrl dde{ddeml};
    Opened() {
        EXPECT_TRUE(dde.Open("RSS"));
        ddeml.log.clear();
        Answer("100");
    }
    void Answer(const std::string& bytes) {
        ddeml.server = [bytes](const std::string&, const std::string&) { return FakeDdeml::Reply{bytes}; };
    }
    void Fail(std::uint32_t code) {
        ddeml.server = [code](const std::string&, const std::string&) { return FakeDdeml::Reply{{}, code}; };
    }
    // The text of a request, or "failed".
    std::string Ask(const std::string& topic, const std::string& item) {
        const DdeReply reply = dde.Request(topic, item, 500);
        EXPECT_EQ(reply.text.has_value(), reply.error == 0 && reply.errorText.empty());
        return reply ? *reply.text : "failed";
    }
    // The log entries a CP932 topic or item produces.
    static std::string Created(const std::string& utf8) { return "CreateStringHandle(" + Utf8ToCp932(utf8) + ")"; }
    static std::string Freed(const std::string& utf8) { return "FreeStringHandle(" + Utf8ToCp932(utf8) + ")"; }
    static std::string Asked(const std::string& topic, const std::string& item) {
        return "Request(" + topic + "," + Utf8ToCp932(item) + ")";
    }
};

// The texts themselves are checked where they can be mistyped in a way that matters: the order
// of the codes and names, one message of each kind, the one with line breaks.
TEST(DdeErrorTable, HoldsTheEighteenCodesAndDescribesThem) {
    const char* const names[kDdeErrorCount] = {
        "DMLERR_ADVACKTIMEOUT",    "DMLERR_BUSY",          "DMLERR_DATAACKTIMEOUT",      "DMLERR_DLL_NOT_INITIALIZED",
        "DMLERR_DLL_USAGE",        "DMLERR_EXECACKTIMEOUT", "DMLERR_INVALIDPARAMETER",   "DMLERR_LOW_MEMORY",
        "DMLERR_MEMORY_ERROR",     "DMLERR_NOTPROCESSED",  "DMLERR_NO_CONV_ESTABLISHED", "DMLERR_POKEACKTIMEOUT",
        "DMLERR_POSTMSG_FAILED",   "DMLERR_REENTRANCY",    "DMLERR_SERVER_DIED",         "DMLERR_SYS_ERROR",
        "DMLERR_UNADVACKTIMEOUT",  "DMLERR_UNFOUND_QUEUE_ID"};
    for (std::size_t i = 0; i < kDdeErrorCount; ++i) {
        EXPECT_EQ(kDdeErrorTable[i].code, 0x4000u + i);
        EXPECT_EQ(kDdeErrorTable[i].name, names[i]);
        EXPECT_FALSE(kDdeErrorTable[i].message.empty()) << names[i];
    }
    EXPECT_EQ(kDdeErrorTable[6].message,
              "DDEML がパラメータを有効にできませんでした。次の理由が考えられます。\r\n"
              "トランザクションが要求するものとは異なる項目名のハンドルで初期化したデータハンドルを使ったため。\r\n"
              "トランザクションが要求するものとは異なるクリップボードデータ形式で初期化したデータハンドルを使ったため。\r\n"
              "サーバー側関数でクライアント側の対話ハンドルを使ったか、クライアント側でサーバー側の対話ハンドルを使ったため。\r\n"
              "解放されたデータハンドルまたは文字列ハンドルを使ったため。\r\n"
              "アプリケーションの複数のインスタンスが同じオブジェクトを使ったため。");

    EXPECT_EQ(DescribeDdeCode(0), "DMLERR_NO_ERROR");
    EXPECT_EQ(DescribeDdeCode(0x4002), "DMLERR_DATAACKTIMEOUT 同期データトランザクションの要求がタイムアウトになりました。");
    EXPECT_EQ(DescribeDdeCode(0x4012), "");
    EXPECT_EQ(DescribeDdeCode(0x4007),
              "DMLERR_LOW_MEMORY DDEML アプリケーションによってサーバー先行状態（ サーバーアプリケーションが"
              "クライアントの処理能力以上にサービスを提供している状態）になり、大量のメモリが消費されました。");
}

TEST(DdeOpen, InitialisesAClientOnlyInstanceAndTheServiceHandle) {
    FakeDdeml ddeml;
    DdeCtrl dde(ddeml);
    EXPECT_TRUE(dde.Open("RSS"));
    EXPECT_EQ(std::tuple(ddeml.initFlags, ddeml.lastCodePage, ddeml.log),
              std::tuple(0x3C0010u, 1004, std::vector<std::string>{"Initialize", "CreateStringHandle(RSS)"}));

    FakeDdeml refusing;
    refusing.initError = dmlerr::kSysError;
    DdeCtrl noInstance(refusing);
    EXPECT_FALSE(noInstance.Open("RSS"));
    EXPECT_EQ(refusing.log, std::vector<std::string>{"Initialize"});
    // Without an instance every request fails in its first DDEML call, and caches nothing.
    EXPECT_FALSE(noInstance.Request("7203.t", "現在値", 500));
    EXPECT_FALSE(noInstance.Request("7203.t", "現在値", 500));
    noInstance.Close();  // nothing to free
    EXPECT_EQ(refusing.log,
              (std::vector<std::string>{"Initialize", "CreateStringHandle(7203.t)", "CreateStringHandle(7203.t)"}));

    FakeDdeml noHandles;
    noHandles.failStringHandles = true;
    DdeCtrl noService(noHandles);
    EXPECT_FALSE(noService.Open("RSS"));
    EXPECT_NE(noService.LastErrorText(), "");
    noService.Close();  // no service handle to free
    EXPECT_EQ(noHandles.log, (std::vector<std::string>{"Initialize", "CreateStringHandle(RSS)", "Uninitialize"}));
}

TEST(DdeRequest, ReusesTheConversationAndHandlesWhileTopicAndItemStay) {
    Opened o;
    o.ddeml.server = [](const std::string&, const std::string& item) {
        return FakeDdeml::Reply{item == Utf8ToCp932("現在値") ? "2,345" : " "};
    };
    EXPECT_EQ(o.Ask("7203.t", "現在値"), "2,345");
    EXPECT_EQ(std::pair(o.ddeml.lastFormat, o.ddeml.lastType), std::pair(1u, 0x20B0u));
    EXPECT_EQ(o.Ask("7203.t", "現在値"), "2,345");
    EXPECT_EQ(o.Ask("7203.t", "始値"), " ");
    EXPECT_EQ(o.ddeml.log, (std::vector<std::string>{
                               "CreateStringHandle(7203.t)", "Connect(7203.t)", Opened::Created("現在値"),
                               Opened::Asked("7203.t", "現在値"), Opened::Asked("7203.t", "現在値"),
                               Opened::Freed("現在値"), Opened::Created("始値"), Opened::Asked("7203.t", "始値")}));
    EXPECT_EQ(std::tuple(o.ddeml.conversations.size(), o.ddeml.data.size()), std::tuple(1u, 0u));  // data handles freed

    // A new topic frees the old handle and ends the old conversation before connecting.
    o.ddeml.log.clear();
    EXPECT_EQ(o.Ask("6758.t", "始値"), " ");
    EXPECT_EQ(o.ddeml.log, (std::vector<std::string>{"FreeStringHandle(7203.t)", "CreateStringHandle(6758.t)",
                                                     "Disconnect(7203.t)", "Connect(6758.t)",
                                                     Opened::Asked("6758.t", "始値")}));
    EXPECT_EQ(o.ddeml.conversations.size(), 1u);
}

TEST(DdeRequest, WithNoServerConnectsOncePerTopicChange) {
    Opened o;
    o.ddeml.serverUp = false;
    const DdeReply reply = o.dde.Request("7203.t", "始値", 500);
    const std::string noConversation = "DMLERR_NO_CONV_ESTABLISHED クライアントが対話を確立しようとして失敗しました。";
    EXPECT_EQ(std::tuple(reply.text, reply.error, reply.errorText, o.dde.LastErrorText()),
              std::tuple(std::nullopt, dmlerr::kNoConvEstablished, noConversation, noConversation));
    // The topic stays cached, no conversation, and the item is not reached after a failed connect.
    EXPECT_EQ(o.Ask("7203.t", "前日終値"), "failed");
    EXPECT_EQ(o.Ask("7203.t", "現在値"), "failed");  // once up, tried again as a pass begins (RefreshPass_test)
    EXPECT_EQ(o.ddeml.log, (std::vector<std::string>{"CreateStringHandle(7203.t)", "Connect(7203.t)",
                                                     Opened::Created("前日終値"), Opened::Asked("", "前日終値"),
                                                     Opened::Freed("前日終値"), Opened::Created("現在値"),
                                                     Opened::Asked("", "現在値")}));

    // The next brand connects again, with no disconnect of a conversation that never was.
    o.ddeml.serverUp = false;
    o.dde.Close();
    ASSERT_TRUE(o.dde.Open("RSS"));
    EXPECT_EQ(o.Ask("7203.t", "高値"), "failed");
    o.ddeml.serverUp = true;
    o.ddeml.log.clear();
    EXPECT_EQ(o.Ask("6758.t", "高値"), "100");
    EXPECT_EQ(o.ddeml.log, (std::vector<std::string>{"FreeStringHandle(7203.t)", "CreateStringHandle(6758.t)",
                                                     "Connect(6758.t)", Opened::Created("高値"),
                                                     Opened::Asked("6758.t", "高値")}));
}

TEST(DdeRequest, FailedHandlesLeaveTheCacheRetryable) {
    Opened o;
    o.ddeml.failStringHandles = true;
    EXPECT_EQ(o.Ask("7203.t", "現在値"), "failed");
    o.ddeml.failStringHandles = false;
    o.ddeml.log.clear();
    EXPECT_EQ(o.Ask("7203.t", "現在値"), "100");
    EXPECT_EQ(o.ddeml.log.front(), "CreateStringHandle(7203.t)") << "no free of a handle that is none";

    // An item handle that cannot be made is made again at the next request of the item.
    o.ddeml.failStringHandles = true;
    EXPECT_EQ(o.Ask("7203.t", "高値"), "failed");
    o.ddeml.failStringHandles = false;
    o.ddeml.log.clear();
    EXPECT_EQ(o.Ask("7203.t", "高値"), "100");
    EXPECT_EQ(o.ddeml.log, (std::vector<std::string>{Opened::Created("高値"), Opened::Asked("7203.t", "高値")}));
}

// Only a refused item keeps the conversation. Any other failure drops it, so the next request
// of the topic connects anew; a server that went away (killed, or ended with its goodbye) also
// gets a new instance, since its conversation cannot be ended or replaced within the old one.
TEST(DdeRequest, AFailureOtherThanARefusedItemDropsTheConversation) {
    const std::vector<std::string> kept = {Opened::Asked("7203.t", "現在値")};
    const std::vector<std::string> dropped = {Opened::Asked("7203.t", "現在値"), "Disconnect(7203.t)"};
    const std::vector<std::string> reopened = {Opened::Asked("7203.t", "現在値"), "FreeStringHandle(RSS)",
                                               "Disconnect(7203.t)", Opened::Freed("7203.t"), Opened::Freed("現在値"),
                                               "Uninitialize", "Initialize", Opened::Created("RSS")};
    struct Case {
        std::uint32_t code;
        const std::vector<std::string>& log;
        bool connectsAgain;
    };
    for (const Case& c : {Case{dmlerr::kNotProcessed, kept, false}, Case{dmlerr::kDataAckTimeout, dropped, true},
                          Case{dmlerr::kNoConvEstablished, reopened, true}, Case{dmlerr::kSysError, dropped, true},
                          Case{0, dropped, true}, Case{dmlerr::kPostMsgFailed, reopened, true},
                          Case{dmlerr::kServerDied, reopened, true}}) {
        SCOPED_TRACE(c.code);
        Opened o;
        ASSERT_EQ(o.Ask("7203.t", "現在値"), "100");
        o.Fail(c.code);
        o.ddeml.log.clear();
        const DdeReply reply = o.dde.Request("7203.t", "現在値", 500);
        EXPECT_EQ(std::tuple(reply.text, reply.error, reply.errorText, o.ddeml.log),
                  std::tuple(std::nullopt, c.code, DescribeDdeCode(c.code), c.log));
        o.Answer("2,000");
        o.ddeml.log.clear();
        EXPECT_EQ(o.Ask("7203.t", "現在値"), "2,000");
        const auto& log = o.ddeml.log;
        EXPECT_EQ(std::find(log.begin(), log.end(), "Connect(7203.t)") != log.end(), c.connectsAgain);
        // A new instance needs a new item handle: one of the old would name no item.
        EXPECT_EQ(log.back(), Opened::Asked("7203.t", "現在値"));
    }
}

// A server that died gets a new instance. If that cannot be had at once (no instance, or no service
// handle), the pass goes on failing fast, and the next pass tries again.
TEST(DdeRequest, AnInstanceThatCouldNotBeReopenedIsTriedAgainAtTheNextPass) {
    for (const bool serviceHandleFails : {false, true}) {
        SCOPED_TRACE(serviceHandleFails ? "no service handle" : "no instance");
        Opened o;
        ASSERT_EQ(o.Ask("7203.t", "現在値"), "100");
        o.Fail(dmlerr::kServerDied);
        o.ddeml.initError = serviceHandleFails ? 0 : dmlerr::kSysError;
        o.ddeml.failStringHandles = serviceHandleFails;
        EXPECT_EQ(o.Ask("7203.t", "現在値"), "failed");
        o.ddeml.initError = 0;
        o.ddeml.failStringHandles = false;
        o.Answer("2,000");
        EXPECT_EQ(o.Ask("7203.t", "現在値"), "failed");
        o.dde.RetryFailures();
        EXPECT_EQ(o.Ask("7203.t", "現在値"), "2,000");
        EXPECT_EQ(o.Ask("6758.t", "高値"), "2,000");
    }
}

// Every request waits its own limit, whatever its connect took: a server slow to accept and slow to
// answer, each within the limit, gives every value of a brand; one that never answers costs each
// request at most its connect and its limit. A limit below 1 ms fails without any transaction.
TEST(DdeRequest, EveryRequestWaitsItsOwnLimitWhateverItsConnectTook) {
    constexpr std::int64_t kNever = 1'000'000;
    const struct {
        std::int64_t connectMs, answerMs;
        int answered;
    } cases[] = {{300, 250, 16}, {100, 450, 16}, {600, 10, 16}, {0, 500, 16}, {400, kNever, 0}, {0, kNever, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.connectMs) + " ms to accept, " + std::to_string(c.answerMs) + " to answer");
        Opened o;
        o.ddeml.connectMs = c.connectMs;
        o.ddeml.server = [&c](const std::string&, const std::string&) {
            return FakeDdeml::Reply{"100", dmlerr::kNotProcessed, c.answerMs};
        };
        for (const char* topic : {"7203.t", "6758.t"}) {
            int answered = 0;
            for (int k = 0; k < 16; ++k) {
                const std::int64_t start = o.ddeml.clockMs;
                answered += o.dde.Request(topic, "item" + std::to_string(k), 500) ? 1 : 0;
                EXPECT_LE(o.ddeml.clockMs - start, c.connectMs + 500) << topic << " request " << k;
            }
            EXPECT_EQ(answered, c.answered) << topic;
        }
    }

    Opened o;
    for (const std::int32_t limit : {0, -1}) {
        const DdeReply reply = o.dde.Request("7203.t", "現在値", limit);
        EXPECT_EQ(reply.error, dmlerr::kDataAckTimeout);
    }
    EXPECT_EQ(o.ddeml.requests, 0);
}

TEST(DdeRequest, ConvertsTheFirst512BytesUpToTheFirstNul) {
    Opened o;
    auto ask = [&](std::string bytes) {
        o.Answer(bytes);
        return o.Ask("7203.t", "現在値");
    };
    // Every length and byte is fuzz_dde_reply's; these pin its definition.
    EXPECT_EQ(ask(std::string(600, '9')), std::string(512, '9'));
    EXPECT_EQ(ask(std::string("12\0 34", 6)), "12");
    EXPECT_EQ(ask(Utf8ToCp932("ﾄﾖﾀ自動車 2,345")), "ﾄﾖﾀ自動車 2,345");

    // 300 double-byte characters: 256 of them fit, and the fixed-length text is padded to 512 characters.
    std::string kanji, expected;
    for (int i = 0; i < 300; ++i) kanji += "値";
    for (int i = 0; i < 256; ++i) expected += "値";
    EXPECT_EQ(ask(Utf8ToCp932(kanji)), expected + std::string(256, ' '));

    // A double-byte character cut by the buffer's end becomes a replacement character, not garbage.
    const std::string cut = ask(std::string(511, 'a') + Utf8ToCp932("値"));
    EXPECT_EQ(cut.substr(0, 511), std::string(511, 'a'));
    EXPECT_EQ(cut.substr(511, 3), "\xEF\xBF\xBD");
}

// Closing a layer that never got an instance is DdeOpen's.
TEST(DdeClose, FreesEverythingOnce) {
    auto o = std::make_unique<Opened>();
    ASSERT_EQ(o->Ask("7203.t", "現在値"), "100");
    o->ddeml.log.clear();
    o->dde.Close();
    const std::vector<std::string> freed = {"FreeStringHandle(RSS)", "Disconnect(7203.t)", "FreeStringHandle(7203.t)",
                                            Opened::Freed("現在値"), "Uninitialize"};
    EXPECT_EQ(o->ddeml.log, freed);
    o->dde.Close();  // a second close frees nothing twice
    EXPECT_EQ(o->ddeml.log, freed);
    ASSERT_TRUE(o->dde.Open("RSS"));  // and forgets the topic with the rest
    o->ddeml.log.clear();
    EXPECT_EQ(o->Ask("7203.t", "現在値"), "100");
    EXPECT_EQ(o->ddeml.log.front(), "CreateStringHandle(7203.t)");

    // Destroying an open layer closes it.
    FakeDdeml ddeml;
    {
        DdeCtrl dde(ddeml);
        ASSERT_TRUE(dde.Open("RSS"));
    }
    EXPECT_EQ(ddeml.log.back(), "Uninitialize");
    EXPECT_TRUE(ddeml.strings.empty());
}

}  // namespace
}  // namespace norvale
