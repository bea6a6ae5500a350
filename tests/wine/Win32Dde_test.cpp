// The DDE layer over the real DDEML (Wine's user32) against the raw test quote server.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/win32/Win32Ddeml.h"
#include "quotes/DdeCtrl.h"
#include "tools/dde-test-server/ServerProcess.h"

namespace norvale {
namespace {

// The real DDEML, with the connects counted and the last error code kept: DdeCtrl reads (and so
// clears) the DDEML's last error itself on every failure.
class ObservedDdeml final : public Ddeml {
public:
    std::uint32_t Initialize(DdeInstance& instance, std::uint32_t flags) override {
        return real_.Initialize(instance, flags);
    }
    DdeString CreateStringHandle(DdeInstance instance, std::string_view ansi, int codePage) override {
        return real_.CreateStringHandle(instance, ansi, codePage);
    }
    bool FreeStringHandle(DdeInstance instance, DdeString h) override { return real_.FreeStringHandle(instance, h); }
    DdeConversation Connect(DdeInstance instance, DdeString service, DdeString topic) override {
        ++connects;
        return real_.Connect(instance, service, topic);
    }
    bool Disconnect(DdeConversation conversation) override { return real_.Disconnect(conversation); }
    DdeData ClientTransaction(DdeConversation conversation, DdeString item, std::uint32_t format, std::uint32_t type,
                              std::uint32_t timeoutMs) override {
        return real_.ClientTransaction(conversation, item, format, type, timeoutMs);
    }
    std::uint32_t GetData(DdeData data, char* buffer, std::uint32_t length, std::uint32_t offset) override {
        return real_.GetData(data, buffer, length, offset);
    }
    bool FreeDataHandle(DdeData data) override { return real_.FreeDataHandle(data); }
    std::uint32_t GetLastError(DdeInstance instance) override {
        const std::uint32_t code = real_.GetLastError(instance);
        if (code != 0) lastError = code;
        return code;
    }
    bool Uninitialize(DdeInstance instance) override { return real_.Uninitialize(instance); }

    int connects = 0;
    std::uint32_t lastError = 0;

private:
    Win32Ddeml real_;
};

class WineDde : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dde.Open("RSS")); }
    void TearDown() override { dde.Close(); }

    // The text of a request, or "error 0x...." with the DDEML's code when it fails.
    std::string Ask(const std::string& topic, const std::string& item, std::int32_t timeoutMs = 500) {
        ddeml.lastError = 0;
        const DdeReply reply = dde.Request(topic, item, timeoutMs);
        if (reply) return *reply.text;
        char code[32];
        std::snprintf(code, sizeof code, "error 0x%04X", static_cast<unsigned>(ddeml.lastError));
        EXPECT_EQ(reply.error, ddeml.lastError);
        return code;
    }

    ObservedDdeml ddeml;
    DdeCtrl dde{ddeml};
    ServerProcess server;
};

TEST_F(WineDde, RepliesArriveWholeInTheirOwnEncodingAndCut) {
    ASSERT_TRUE(server.Start(L"--reply 現在値=1,234.5 --reply 銘柄名称=トヨタ自動車"));
    EXPECT_EQ(server.readyLine(), "ready acp=932") << "Wine must run with a Japanese locale (code page 932)";

    EXPECT_EQ(Ask("7203.t", "現在値"), "1,234.5");
    EXPECT_EQ(Ask("7203.t", "最良売気配数量１"), "7203.t 最良売気配数量１");
    EXPECT_EQ(Ask("7203.t", "銘柄名称"), "トヨタ自動車");
    EXPECT_EQ(Ask("7203.t", "EMPTY"), "");
    EXPECT_EQ(Ask("7203.t", "BLANK"), " ");
    EXPECT_EQ(ddeml.connects, 1);

    EXPECT_EQ(Ask("6758.t", "最良買気配数量８"), "6758.t 最良買気配数量８");
    EXPECT_EQ(Ask("6758.t", "最良買気配数量８"), "6758.t 最良買気配数量８");
    EXPECT_EQ(ddeml.connects, 2);

    const std::string digits = "0123456789";
    std::string expected511;
    while (expected511.size() < 511) expected511 += digits;
    expected511.resize(511);
    EXPECT_EQ(Ask("6758.t", "LEN:511"), expected511);
    EXPECT_EQ(Ask("6758.t", "LEN:512"), expected511 + "1");
    EXPECT_EQ(Ask("6758.t", "LEN:600"), expected511 + "1");
}

TEST_F(WineDde, NoServerFailsAtConnectAndRetriesOnTheNextTopic) {
    EXPECT_EQ(Ask("7203.t", "現在値"), "error 0x400A");
    EXPECT_EQ(ddeml.connects, 1);
    // The same topic goes to the transaction with no conversation, without a new connect.
    EXPECT_EQ(Ask("7203.t", "高値").rfind("error ", 0), 0u);
    EXPECT_EQ(ddeml.connects, 1);

    ASSERT_TRUE(server.Start(L""));
    EXPECT_EQ(Ask("6758.t", "現在値"), "6758.t 現在値");
    EXPECT_EQ(ddeml.connects, 2);
}

TEST_F(WineDde, ASlowReplyTimesOutAndIsNeverTakenForAnotherItem) {
    ASSERT_TRUE(server.Start(L"--latency 800 --latency-item 高値"));
    EXPECT_EQ(Ask("7203.t", "現在値"), "7203.t 現在値");
    EXPECT_EQ(Ask("7203.t", "高値"), "error 0x4002");
    // The late reply to 高値 arrives while the next request waits. It must never be taken for that
    // request's value; Wine's DDEML fails the waiting request instead (0x4009), and every later
    // request of the conversation meets the previous one's reply, until the topic changes.
    for (const char* item : {"安値", "始値"}) {
        const std::string text = Ask("7203.t", item);
        EXPECT_TRUE(text == std::string("7203.t ") + item || text.rfind("error ", 0) == 0) << text;
        std::printf("after a timeout, %s: %s\n", item, text.c_str());
    }
    EXPECT_EQ(Ask("6758.t", "安値"), "6758.t 安値");
}

TEST_F(WineDde, ARefusedItemFailsAndTheConversationGoesOn) {
    ASSERT_TRUE(server.Start(L"--nack-item 出来高加重平均"));
    EXPECT_EQ(Ask("7203.t", "出来高加重平均"), "error 0x4009");
    EXPECT_EQ(Ask("7203.t", "前日終値"), "7203.t 前日終値");
    EXPECT_EQ(ddeml.connects, 1);
}

TEST_F(WineDde, ARefusedTopicFailsAtConnect) {
    ASSERT_TRUE(server.Start(L"--refuse-topic 9999.t"));
    EXPECT_EQ(Ask("9999.t", "現在値"), "error 0x400A");
    EXPECT_EQ(Ask("7203.t", "現在値"), "7203.t 現在値");
}

TEST_F(WineDde, AKilledServerFailsAndARestartedOneIsReachedOnANewTopic) {
    ASSERT_TRUE(server.Start(L""));
    EXPECT_EQ(Ask("7203.t", "現在値"), "7203.t 現在値");
    server.Kill();
    EXPECT_EQ(Ask("7203.t", "高値"), "error 0x400C");

    ASSERT_TRUE(server.Start(L""));
    // The dead conversation is kept while the topic stays; Wine then refuses a new conversation on
    // that service and topic for the rest of the instance, since the dead one cannot be disconnected.
    // Either outcome is recorded, and neither may be a wrong text.
    for (const char* topic : {"7203.t", "6758.t", "7203.t"}) {
        const std::string text = Ask(topic, "安値");
        const std::string expected = std::string(topic) + " 安値";
        if (std::string(topic) == "6758.t") {
            EXPECT_EQ(text, expected);
        } else {
            EXPECT_TRUE(text == expected || text.rfind("error ", 0) == 0) << text;
        }
        std::printf("after restart, %s: %s\n", topic, text.c_str());
    }
}

}  // namespace
}  // namespace norvale
