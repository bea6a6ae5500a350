// The DDE layer over the real DDEML (Wine's user32) against the raw test quote server: how it recovers.
// (The probe's run in run-wine-tests.sh checks the replies, refusals and encodings.)
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/Win32Ddeml.h"
#include "quotes/DdeCtrl.h"
#include "tools/dde-test-server/ServerProcess.h"

namespace norvale {
namespace {

std::string Error(std::uint32_t code) { return "error " + DescribeDdeCode(code); }

// After a killed server and a time-out, the next pass gets every value again: one watched brand, and
// several.
class WineDdeRecovery : public ::testing::TestWithParam<int> {
protected:
    // The first instance of a process can take the DDEML longer than a call may wait; it is handed
    // out by a later open.
    void SetUp() override {
        bool opened = false;
        for (int tries = 0; tries < 10 && !(opened = dde.Open("RSS")); ++tries) Sleep(100);
        ASSERT_TRUE(opened);
    }
    std::string Ask(const std::string& topic, const std::string& item) {
        const DdeReply reply = dde.Request(topic, item, 500);
        return reply ? *reply.text : Error(reply.error);
    }
    // One pass as the refresh pass makes it, the answers one a line; with served, what the server
    // would answer.
    std::string Pass(bool served = false) {
        if (!served) dde.RetryFailures();
        std::string answers;
        for (const std::string& topic : topics)
            for (const std::string& item : items) answers += (served ? topic + " " + item : Ask(topic, item)) + "\n";
        return answers;
    }

    Win32Ddeml ddeml;
    DdeCtrl dde{ddeml};
    ServerProcess server;
    const std::vector<std::string> all = {"7203.t", "6758.t", "9984.t", "8306.t", "6501.t"};
    const std::vector<std::string> topics{all.begin(), all.begin() + GetParam()};
    const std::vector<std::string> items = {"現在値", "高値", "安値"};
};

TEST_P(WineDdeRecovery, AfterAKilledServer) {
    ASSERT_TRUE(server.Start(L""));
    EXPECT_EQ(Pass(), Pass(true));
    server.Kill();
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

INSTANTIATE_TEST_SUITE_P(Brands, WineDdeRecovery, ::testing::Values(1, 5));

}  // namespace
}  // namespace norvale
