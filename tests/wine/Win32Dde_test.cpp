// The DDE layer over the real DDEML (Wine's user32) against the raw test quote server.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/win32/Win32Ddeml.h"
#include "quotes/DdeCtrl.h"
#include "tools/dde-test-server/ServerProcess.h"

namespace norvale {
namespace {

// The real DDEML, with the connects counted.
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
    std::uint32_t GetLastError(DdeInstance instance) override { return real_.GetLastError(instance); }
    bool Uninitialize(DdeInstance instance) override { return real_.Uninitialize(instance); }

    int connects = 0;

private:
    Win32Ddeml real_;
};

class WineDde : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dde.Open("RSS")); }

    // The text of a request, or "error 0x...." with the DDEML's code when it fails.
    std::string Ask(const std::string& topic, const std::string& item, std::int32_t timeoutMs = 500) {
        const DdeReply reply = dde.Request(topic, item, timeoutMs);
        if (reply) return *reply.text;
        char code[32];
        std::snprintf(code, sizeof code, "error 0x%04X", static_cast<unsigned>(reply.error));
        return code;
    }

    // One pass as the refresh pass makes it: a failed connect is tried again, then every topic is
    // asked for the items. The answers, one a line.
    std::string Pass(const std::vector<std::string>& topics, const std::vector<std::string>& items) {
        dde.RetryFailedConnect();
        std::string answers;
        for (const std::string& topic : topics) {
            for (const std::string& item : items) answers += Ask(topic, item) + "\n";
        }
        return answers;
    }
    static std::string Served(const std::vector<std::string>& topics, const std::vector<std::string>& items) {
        std::string answers;
        for (const std::string& topic : topics) {
            for (const std::string& item : items) answers += topic + " " + item + "\n";
        }
        return answers;
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

// After a killed server, a time-out and a server that ended cleanly (it says goodbye with
// WM_DDE_TERMINATE), the next pass gets every value again: one watched brand, and several.
class WineDdeRecovery : public WineDde, public ::testing::WithParamInterface<int> {
protected:
    std::vector<std::string> Topics() const {
        const std::vector<std::string> all = {"7203.t", "6758.t", "9984.t", "8306.t", "6501.t"};
        return {all.begin(), all.begin() + GetParam()};
    }
    const std::vector<std::string> items = {"現在値", "高値", "安値"};
};

TEST_P(WineDdeRecovery, AfterAKilledServer) {
    ASSERT_TRUE(server.Start(L""));
    EXPECT_EQ(Pass(Topics(), items), Served(Topics(), items));
    server.Kill();
    EXPECT_EQ(Ask(Topics().back(), "現在値"), "error 0x400C");
    (void)Pass(Topics(), items);
    ASSERT_TRUE(server.Start(L""));
    EXPECT_EQ(Pass(Topics(), items), Served(Topics(), items));
}

TEST_P(WineDdeRecovery, AfterATimeOut) {
    ASSERT_TRUE(server.Start(L"--latency 800 --latency-item 高値"));
    // The late reply to 高値 must never be taken for the next item's value.
    std::string expected;
    for (const std::string& topic : Topics()) {
        expected += topic + " 現在値\nerror 0x4002\n" + topic + " 安値\n";
    }
    EXPECT_EQ(Pass(Topics(), items), expected);
    EXPECT_EQ(Pass(Topics(), items), expected);
}

TEST_P(WineDdeRecovery, AfterAServerThatEndedCleanly) {
    ASSERT_TRUE(server.Start(L"--lifetime 1"));
    EXPECT_EQ(Pass(Topics(), items), Served(Topics(), items));
    ASSERT_TRUE(server.WaitForExit(5000));
    EXPECT_NE(Pass(Topics(), items), Served(Topics(), items));
    ASSERT_TRUE(server.Start(L""));
    EXPECT_EQ(Pass(Topics(), items), Served(Topics(), items));
}

INSTANTIATE_TEST_SUITE_P(Brands, WineDdeRecovery, ::testing::Values(1, 5));

}  // namespace
}  // namespace norvale
