// The DDE layer over the real DDEML (Wine's user32) against the raw test quote server.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/win32/Win32Ddeml.h"
#include "quotes/DdeCtrl.h"
#include "tests/fakes/CountingDdeml.h"
#include "tools/dde-test-server/ServerProcess.h"

namespace norvale {
namespace {

std::string Error(std::uint32_t code) { return "error " + DescribeDdeCode(code); }

class WineDde : public ::testing::Test {
protected:
    // The first instance of a process can take the DDEML longer than a call may wait; it is handed
    // out by a later open.
    void SetUp() override {
        bool opened = false;
        for (int tries = 0; tries < 10 && !(opened = dde.Open("RSS")); ++tries) Sleep(100);
        ASSERT_TRUE(opened);
    }

    // The text of a request, or "error " and the DDEML's code described when it fails.
    std::string Ask(const std::string& topic, const std::string& item) {
        const DdeReply reply = dde.Request(topic, item, 500);
        return reply ? *reply.text : Error(reply.error);
    }

    Win32Ddeml ddeml;
    DdeCtrl dde{ddeml};
    ServerProcess server;
};

// Replies arrive whole in their own encoding; a refused topic fails at its connect, a refused item
// alone. (Which failure connects again is DdeCtrl_test's; the probe's run against the same server in
// run-wine-tests.sh checks more replies and encodings, and the cut at 512 bytes.)
TEST_F(WineDde, RepliesRefusalsAndNoServer) {
    EXPECT_EQ(Ask("7203.t", "現在値"), Error(dmlerr::kNoConvEstablished));
    // The same topic goes to the transaction with no conversation.
    EXPECT_EQ(Ask("7203.t", "高値").rfind("error ", 0), 0u);

    ASSERT_TRUE(server.Start(L"--reply 銘柄名称=トヨタ自動車 --nack-item 出来高加重平均 --refuse-topic 9999.t"));
    EXPECT_EQ(server.readyLine(), "ready acp=932") << "Wine must run with a Japanese locale (code page 932)";
    EXPECT_EQ(Ask("6758.t", "銘柄名称"), "トヨタ自動車");
    EXPECT_EQ(Ask("6758.t", "出来高加重平均"), Error(dmlerr::kNotProcessed));
    EXPECT_EQ(Ask("9999.t", "現在値"), Error(dmlerr::kNoConvEstablished));
    EXPECT_EQ(Ask("7203.t", "現在値"), "7203.t 現在値");
}

// After a killed server, a time-out and a server that ended cleanly (it says goodbye with
// WM_DDE_TERMINATE), the next pass gets every value again: one watched brand, and several.
class WineDdeRecovery : public WineDde, public ::testing::WithParamInterface<int> {
protected:
    // One pass as the refresh pass makes it, the answers one a line: a failed connect is tried
    // again, then every topic is asked for the items. With served, what the server would answer.
    std::string Pass(bool served = false) {
        if (!served) dde.RetryFailures();
        std::string answers;
        for (const std::string& topic : topics) {
            for (const std::string& item : items) answers += (served ? topic + " " + item : Ask(topic, item)) + "\n";
        }
        return answers;
    }
    const std::vector<std::string> all = {"7203.t", "6758.t", "9984.t", "8306.t", "6501.t"};
    const std::vector<std::string> topics{all.begin(), all.begin() + GetParam()};
    const std::vector<std::string> items = {"現在値", "高値", "安値"};
};

TEST_P(WineDdeRecovery, AfterAKilledServer) {
    ASSERT_TRUE(server.Start(L""));
    EXPECT_EQ(Pass(), Pass(true));
    server.Kill();
    EXPECT_EQ(Ask(topics.back(), "現在値"), Error(dmlerr::kPostMsgFailed));
    EXPECT_NE(Pass(), Pass(true));
    ASSERT_TRUE(server.Start(L""));
    EXPECT_EQ(Pass(), Pass(true));
}

TEST_P(WineDdeRecovery, AfterATimeOut) {
    ASSERT_TRUE(server.Start(L"--latency 800 --latency-item 高値"));
    // The late reply to 高値 must never be taken for the next item's value.
    std::string expected;
    for (const std::string& topic : topics)
        expected += topic + " 現在値\n" + Error(dmlerr::kDataAckTimeout) + "\n" + topic + " 安値\n";
    EXPECT_EQ(Pass(), expected);
    EXPECT_EQ(Pass(), expected);
}

TEST_P(WineDdeRecovery, AfterAServerThatEndedCleanly) {
    ASSERT_TRUE(server.Start(L"--lifetime 1"));
    EXPECT_EQ(Pass(), Pass(true));
    ASSERT_TRUE(server.WaitForExit(5000));
    EXPECT_NE(Pass(), Pass(true));
    ASSERT_TRUE(server.Start(L""));
    EXPECT_EQ(Pass(), Pass(true));
}

INSTANTIATE_TEST_SUITE_P(Brands, WineDdeRecovery, ::testing::Values(1, 5));

}  // namespace
}  // namespace norvale
