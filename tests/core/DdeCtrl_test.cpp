// basDDECtrl against a recording DDEML: handle and conversation caching, failures, the receive buffer.
#include "quotes/DdeCtrl.h"

#include <gtest/gtest.h>

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
        dde.DdeResetState();
        dde.BuildDdeErrorTable();
        EXPECT_TRUE(dde.DdeOpen("RSS"));
        ddeml.log.clear();
        ddeml.server = [](const std::string&, const std::string&) { return FakeDdeml::Reply{"100"}; };
    }
    // The log entries a CP932 topic or item produces.
    static std::string Created(const std::string& utf8) { return "CreateStringHandle(" + Utf8ToCp932(utf8) + ")"; }
    static std::string Freed(const std::string& utf8) { return "FreeStringHandle(" + Utf8ToCp932(utf8) + ")"; }
    static std::string Asked(const std::string& topic, const std::string& item) {
        return "Request(" + topic + "," + Utf8ToCp932(item) + ")";
    }
};

TEST(DdeErrorTable, HoldsTheEighteenCodesAndDescribesTheLastError) {
    Opened o;
    for (std::size_t i = 0; i < kDdeErrorCount; ++i) EXPECT_EQ(o.dde.DdeErrorTable[i].code, 0x4000u + i);
    EXPECT_EQ(o.dde.DdeErrorTable[10].name, "DMLERR_NO_CONV_ESTABLISHED");
    EXPECT_EQ(o.dde.DdeErrorTable[17].name, "DMLERR_UNFOUND_QUEUE_ID");

    const std::string& invalid = o.dde.DdeErrorTable[6].message;
    EXPECT_EQ(o.dde.DdeErrorTable[6].name, "DMLERR_INVALIDPARAMETER");
    EXPECT_EQ(invalid.rfind("DDEML がパラメータを有効にできませんでした。次の理由が考えられます。\r\n", 0), 0u);
    std::size_t breaks = 0;
    for (std::size_t at = invalid.find("\r\n"); at != std::string::npos; at = invalid.find("\r\n", at + 2)) ++breaks;
    EXPECT_EQ(breaks, 5u);
    EXPECT_NE(invalid.find("ため。\r\nサーバー側関数でクライアント側の対話ハンドルを使ったか、"), std::string::npos);
    EXPECT_TRUE(invalid.ends_with("アプリケーションの複数のインスタンスが同じオブジェクトを使ったため。"));

    EXPECT_EQ(o.dde.DescribeDdeError(), "DMLERR_NO_ERROR");
    o.ddeml.lastError = 0x4002;
    EXPECT_EQ(o.dde.DescribeDdeError(),
              "DMLERR_DATAACKTIMEOUT 同期データトランザクションの要求がタイムアウトになりました。");
    // Reading the error resets it.
    EXPECT_EQ(o.dde.DescribeDdeError(), "DMLERR_NO_ERROR");
    o.ddeml.lastError = 0x4012;
    EXPECT_EQ(o.dde.DescribeDdeError(), "");
    o.ddeml.lastError = 0x4007;
    EXPECT_EQ(o.dde.DescribeDdeError(),
              "DMLERR_LOW_MEMORY DDEML アプリケーションによってサーバー先行状態（ サーバーアプリケーションが"
              "クライアントの処理能力以上にサービスを提供している状態）になり、大量のメモリが消費されました。");
}

TEST(DdeOpen, InitialisesAClientOnlyInstanceAndTheServiceHandle) {
    FakeDdeml ddeml;
    DdeCtrl dde(ddeml);
    dde.DdeResetState();
    dde.BuildDdeErrorTable();
    EXPECT_TRUE(dde.DdeOpen("RSS"));
    EXPECT_EQ(ddeml.initFlags, 0x3C0010u);
    EXPECT_EQ(ddeml.lastCodePage, 1004);
    EXPECT_EQ(ddeml.log, (std::vector<std::string>{"Initialize", "CreateStringHandle(RSS)"}));
    EXPECT_EQ(dde.DdeInstance, FakeDdeml::kInstance);

    FakeDdeml refusing;
    refusing.initError = dmlerr::kSysError;
    DdeCtrl noInstance(refusing);
    noInstance.DdeResetState();
    EXPECT_FALSE(noInstance.DdeOpen("RSS"));
    EXPECT_EQ(refusing.log, std::vector<std::string>{"Initialize"});
    // Without an instance every request fails in its first DDEML call.
    std::string out;
    EXPECT_FALSE(noInstance.DdeRequest("7203.t", "現在値", 500, out));
    EXPECT_EQ(noInstance.CurrentTopic, "");

    FakeDdeml noHandles;
    noHandles.failStringHandles = true;
    DdeCtrl noService(noHandles);
    noService.DdeResetState();
    EXPECT_FALSE(noService.DdeOpen("RSS"));
    EXPECT_EQ(noService.ServiceHandle, 0u);
}

TEST(DdeRequest, ReusesTheConversationAndHandlesWhileTopicAndItemStay) {
    Opened o;
    o.ddeml.server = [](const std::string&, const std::string& item) {
        return FakeDdeml::Reply{item == Utf8ToCp932("現在値") ? "2,345" : " "};
    };
    std::string out;
    ASSERT_TRUE(o.dde.DdeRequest("7203.t", "現在値", 500, out));
    EXPECT_EQ(out, "2,345");
    EXPECT_EQ(o.ddeml.lastFormat, 1u);
    EXPECT_EQ(o.ddeml.lastType, 0x20B0u);
    EXPECT_EQ(o.ddeml.lastTimeout, 500u);
    ASSERT_TRUE(o.dde.DdeRequest("7203.t", "現在値", 500, out));
    ASSERT_TRUE(o.dde.DdeRequest("7203.t", "始値", 500, out));
    EXPECT_EQ(out, " ");
    EXPECT_EQ(o.ddeml.log, (std::vector<std::string>{
                               "CreateStringHandle(7203.t)", "Connect(7203.t)", Opened::Created("現在値"),
                               Opened::Asked("7203.t", "現在値"), Opened::Asked("7203.t", "現在値"),
                               Opened::Freed("現在値"), Opened::Created("始値"), Opened::Asked("7203.t", "始値")}));
    EXPECT_EQ(o.ddeml.conversations.size(), 1u);
    EXPECT_TRUE(o.ddeml.data.empty()) << "every data handle is freed";

    // A new topic frees the old handle and ends the old conversation before connecting.
    o.ddeml.log.clear();
    ASSERT_TRUE(o.dde.DdeRequest("6758.t", "始値", 500, out));
    EXPECT_EQ(o.ddeml.log, (std::vector<std::string>{"FreeStringHandle(7203.t)", "CreateStringHandle(6758.t)",
                                                     "Disconnect(7203.t)", "Connect(6758.t)",
                                                     Opened::Asked("6758.t", "始値")}));
    EXPECT_EQ(o.ddeml.conversations.size(), 1u);
}

TEST(DdeRequest, WithNoServerConnectsOncePerTopicChange) {
    Opened o;
    o.ddeml.serverUp = false;
    std::string out = "kept";
    EXPECT_FALSE(o.dde.DdeRequest("7203.t", "始値", 500, out));
    EXPECT_EQ(out, "kept");
    EXPECT_EQ(o.dde.CurrentTopic, "7203.t");
    EXPECT_EQ(o.dde.Conversation, 0u);
    EXPECT_EQ(o.dde.CurrentItem, "") << "the item is not reached after a failed connect";
    EXPECT_EQ(o.dde.LastErrorText, "DMLERR_NO_CONV_ESTABLISHED クライアントが対話を確立しようとして失敗しました。");
    EXPECT_FALSE(o.dde.DdeRequest("7203.t", "前日終値", 500, out));
    EXPECT_FALSE(o.dde.DdeRequest("7203.t", "現在値", 500, out));
    o.ddeml.serverUp = true;  // comes up, but the same topic is not tried again
    EXPECT_FALSE(o.dde.DdeRequest("7203.t", "高値", 500, out));
    EXPECT_EQ(out, "kept");
    EXPECT_EQ(o.ddeml.log, (std::vector<std::string>{
                               "CreateStringHandle(7203.t)", "Connect(7203.t)", Opened::Created("前日終値"),
                               Opened::Asked("", "前日終値"), Opened::Freed("前日終値"), Opened::Created("現在値"),
                               Opened::Asked("", "現在値"), Opened::Freed("現在値"), Opened::Created("高値"),
                               Opened::Asked("", "高値")}));

    // The next brand connects again, with no disconnect of a conversation that never was.
    o.ddeml.log.clear();
    EXPECT_TRUE(o.dde.DdeRequest("6758.t", "高値", 500, out));
    EXPECT_EQ(o.ddeml.log, (std::vector<std::string>{"FreeStringHandle(7203.t)", "CreateStringHandle(6758.t)",
                                                     "Connect(6758.t)", Opened::Asked("6758.t", "高値")}));
}

TEST(DdeRequest, FailedHandlesAndTransactionsLeaveTheCacheRetryable) {
    Opened o;
    std::string out;
    o.ddeml.failStringHandles = true;
    EXPECT_FALSE(o.dde.DdeRequest("7203.t", "現在値", 500, out));
    EXPECT_EQ(o.dde.CurrentTopic, "");
    EXPECT_EQ(o.dde.TopicHandle, 0u);
    o.ddeml.failStringHandles = false;
    o.ddeml.log.clear();
    EXPECT_TRUE(o.dde.DdeRequest("7203.t", "現在値", 500, out));
    EXPECT_EQ(o.ddeml.log.front(), "CreateStringHandle(7203.t)") << "no free of a handle that is 0";

    // An item handle that cannot be made keeps the old item text.
    o.ddeml.failStringHandles = true;
    EXPECT_FALSE(o.dde.DdeRequest("7203.t", "高値", 500, out));
    EXPECT_EQ(o.dde.CurrentItem, "現在値");
    o.ddeml.failStringHandles = false;
    EXPECT_TRUE(o.dde.DdeRequest("7203.t", "高値", 500, out));
    EXPECT_EQ(o.dde.CurrentItem, "高値");

    // A refused item or a time-out fails the request; the next one on the conversation works.
    o.ddeml.server = [](const std::string&, const std::string&) {
        return FakeDdeml::Reply{{}, dmlerr::kDataAckTimeout};
    };
    out = "";
    EXPECT_FALSE(o.dde.DdeRequest("7203.t", "安値", 500, out));
    EXPECT_EQ(out, "");
    o.ddeml.server = [](const std::string&, const std::string&) { return FakeDdeml::Reply{"1,234.5"}; };
    EXPECT_TRUE(o.dde.DdeRequest("7203.t", "安値", 500, out));
    EXPECT_EQ(out, "1,234.5");
}

// A server that went away, or a reply that came too late, must not keep failing the requests
// that follow: a restarted server is reached again on the same topic.
TEST(DdeRequest, RecoversFromADeadServerAndFromALateReply) {
    Opened o;
    std::string out;
    ASSERT_TRUE(o.dde.DdeRequest("7203.t", "現在値", 500, out));

    o.ddeml.server = [](const std::string&, const std::string&) {
        return FakeDdeml::Reply{{}, dmlerr::kPostMsgFailed};
    };
    o.ddeml.log.clear();
    EXPECT_FALSE(o.dde.DdeRequest("7203.t", "現在値", 500, out));
    EXPECT_NE(o.dde.LastErrorText.find("DMLERR_POSTMSG_FAILED"), std::string::npos);
    const std::vector<std::string> reopened = {Opened::Asked("7203.t", "現在値"), "FreeStringHandle(RSS)",
                                               "Disconnect(7203.t)", Opened::Freed("7203.t"), Opened::Freed("現在値"),
                                               "Uninitialize", "Initialize", Opened::Created("RSS")};
    EXPECT_EQ(o.ddeml.log, reopened);
    o.ddeml.server = [](const std::string&, const std::string&) { return FakeDdeml::Reply{"2,000"}; };
    EXPECT_TRUE(o.dde.DdeRequest("7203.t", "現在値", 500, out));
    EXPECT_EQ(out, "2,000");

    o.ddeml.server = [](const std::string&, const std::string&) {
        return FakeDdeml::Reply{{}, dmlerr::kDataAckTimeout};
    };
    o.ddeml.log.clear();
    EXPECT_FALSE(o.dde.DdeRequest("7203.t", "現在値", 500, out));
    EXPECT_EQ(o.ddeml.log.back(), "Disconnect(7203.t)");
    EXPECT_EQ(o.dde.Conversation, 0u);
    o.ddeml.server = [](const std::string&, const std::string&) { return FakeDdeml::Reply{"2,001"}; };
    o.ddeml.log.clear();
    EXPECT_TRUE(o.dde.DdeRequest("7203.t", "現在値", 500, out));
    EXPECT_EQ(o.ddeml.log[2], "Connect(7203.t)");
    EXPECT_EQ(out, "2,001");
}

TEST(DdeRequest, ConvertsTheFirst512BytesUpToTheFirstNul) {
    Opened o;
    std::string reply;
    o.ddeml.server = [&](const std::string&, const std::string&) { return FakeDdeml::Reply{reply}; };
    std::string out;
    auto ask = [&](std::string bytes) {
        reply = std::move(bytes);
        out = "unset";
        EXPECT_TRUE(o.dde.DdeRequest("7203.t", "現在値", 500, out));
        return out;
    };

    EXPECT_EQ(ask(std::string(511, '7')), std::string(511, '7'));
    EXPECT_EQ(ask(std::string(512, '8')), std::string(512, '8'));
    EXPECT_EQ(ask(std::string(600, '9')), std::string(512, '9'));
    EXPECT_EQ(ask(""), "");
    EXPECT_EQ(ask(" "), " ");
    EXPECT_EQ(ask(std::string("12\0 34", 6)), "12");
    EXPECT_EQ(ask(Utf8ToCp932("ﾄﾖﾀ自動車 2,345")), "ﾄﾖﾀ自動車 2,345");

    // 300 double-byte characters: 256 of them fit, and the fixed-length text is padded to 512 characters.
    std::string kanji;
    for (int i = 0; i < 300; ++i) kanji += "値";
    std::string expected;
    for (int i = 0; i < 256; ++i) expected += "値";
    EXPECT_EQ(ask(Utf8ToCp932(kanji)), expected + std::string(256, ' '));

    // A double-byte character cut by the buffer's end becomes a replacement character, not garbage.
    const std::string cut = ask(std::string(511, 'a') + Utf8ToCp932("値"));
    EXPECT_EQ(cut.substr(0, 511), std::string(511, 'a'));
    EXPECT_EQ(cut.substr(511, 3), "\xEF\xBF\xBD");

    // Bytes that are not CP932 cannot break the text.
    const std::string bad = ask("\x81\x20\xFF");
    EXPECT_NE(bad.find("\xEF\xBF\xBD"), std::string::npos);
}

TEST(DdeClose, FreesEverythingOnceOpenAndNothingWithoutAnInstance) {
    FakeDdeml never;
    DdeCtrl closed(never);
    closed.DdeResetState();
    closed.DdeClose();
    EXPECT_TRUE(never.log.empty());

    Opened o;
    std::string out;
    ASSERT_TRUE(o.dde.DdeRequest("7203.t", "現在値", 500, out));
    o.ddeml.log.clear();
    o.dde.DdeClose();
    EXPECT_EQ(o.ddeml.log, (std::vector<std::string>{"FreeStringHandle(RSS)", "Disconnect(7203.t)",
                                                     "FreeStringHandle(7203.t)", Opened::Freed("現在値"),
                                                     "Uninitialize"}));
}

TEST(TextBefore, CutsAtTheFirstExactSeparator) {
    EXPECT_EQ(DdeCtrl::TextBefore("7203.t", "."), "7203");
    EXPECT_EQ(DdeCtrl::TextBefore("a.b.c", "."), "a");
    EXPECT_EQ(DdeCtrl::TextBefore("abc", "B"), "abc");
    EXPECT_EQ(DdeCtrl::TextBefore(".x", "."), "");
    EXPECT_EQ(DdeCtrl::TextBefore(std::string("ab\0cd", 5), std::string(1, '\0')), "ab");
}

}  // namespace
}  // namespace norvale
