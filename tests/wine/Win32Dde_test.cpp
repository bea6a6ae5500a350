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

// A killed server fails the pass; a new one gets every value again in the next pass (a new item
// handle after DMLERR_SERVER_DIED). A server whose window sleeps through each 高値 past the time
// limit: the late reply is never taken for the next item's value, pass after pass. One watched
// brand, and several.
class WineDdeRecovery : public ::testing::TestWithParam<int> {};

TEST_P(WineDdeRecovery, AfterAKilledServerAndATimeOut) {
    Win32Ddeml ddeml;
    DdeCtrl dde{ddeml};
    // The first instance of a process can take the DDEML longer than a call may wait; it is handed
    // out by a later open.
    bool opened = false;
    for (int tries = 0; tries < 10 && !(opened = dde.Open("RSS")); ++tries) Sleep(100);
    ASSERT_TRUE(opened);
    std::vector<std::string> topics = {"7203.t", "6758.t", "9984.t", "8306.t", "6501.t"};
    topics.resize(GetParam());
    // The answers of one pass, one a line, as the server gives them; late, 高値 times out.
    const auto served = [&](bool late) {
        std::string answers;
        for (const std::string& topic : topics)
            answers += topic + " 現在値\n" + (late ? "error " + DescribeDdeCode(dmlerr::kDataAckTimeout) : topic + " 高値") +
                       "\n" + topic + " 安値\n";
        return answers;
    };
    // One pass as the refresh pass makes it.
    const auto pass = [&] {
        dde.RetryFailures();
        std::string answers;
        for (const std::string& topic : topics) {
            for (const char* item : {"現在値", "高値", "安値"}) {
                const DdeReply reply = dde.Request(topic, item, 500);
                answers += (reply ? *reply.text : "error " + DescribeDdeCode(reply.error)) + "\n";
            }
        }
        return answers;
    };
    ServerProcess server;
    ASSERT_TRUE(server.Start(L""));
    EXPECT_EQ(pass(), served(false));
    server.Kill();
    EXPECT_NE(pass(), served(false));
    ASSERT_TRUE(server.Start(L"--latency 800 --latency-item 高値"));
    EXPECT_EQ(pass(), served(true));
    EXPECT_EQ(pass(), served(true));
}

INSTANTIATE_TEST_SUITE_P(Brands, WineDdeRecovery, ::testing::Values(1, 5));

}  // namespace
}  // namespace norvale
