// The Windows platform's services under Wine: the DDE layer over the real DDEML (Wine's user32)
// against the raw test quote server, files, and the CP932 converter. (The probe's run in
// run-wine-tests.sh checks the replies, refusals and encodings; the single instance is checked on
// norvale.exe from the zip there.)
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/BulkMemory.h"
#include "platform/TextCodec.h"
#include "platform/win32/Win32Ddeml.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Text.h"
#include "quotes/DdeCtrl.h"
#include "tools/dde-test-server/ServerProcess.h"

namespace norvale::win32 {
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
    // The answers of one pass, one a line, as the server gives them; from the late server, 高値 times out.
    std::string served, late;
    for (const std::string& t : topics) {
        served += t + " 現在値\n" + t + " 高値\n" + t + " 安値\n";
        late += t + " 現在値\nerror " + DescribeDdeCode(dmlerr::kDataAckTimeout) + "\n" + t + " 安値\n";
    }
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
    EXPECT_EQ(pass(), served);
    server.Kill();
    EXPECT_NE(pass(), served);
    ASSERT_TRUE(server.Start(L"--latency 800 --latency-item 高値"));
    EXPECT_EQ(pass(), late);
    EXPECT_EQ(pass(), late);
}

INSTANTIATE_TEST_SUITE_P(Brands, WineDdeRecovery, ::testing::Values(1, 5));

// Files are replaced whole or not at all. (The window tests read the sample files from the program
// folder.)
TEST(Win32Files, ExportReplacesTheOldFileOrLeavesItByteForByte) {
    Win32FileSystem files;
    const std::string folder = files.InProgramFolder("ノルヴェール試験" + std::to_string(GetCurrentProcessId()));
    const std::string path = folder + "\\監視銘柄.txt";
    const std::wstring wide = Wide(path);
    ASSERT_TRUE(CreateDirectoryW(Wide(folder).c_str(), nullptr));
    const auto read = [&] { return std::string(files.ReadAll(path, 1 << 20, BulkMemory()).value_or("?")); };
    ASSERT_TRUE(files.WriteAll(path, "7203\r\n6758\r\n"));
    ASSERT_TRUE(files.WriteAll(path, "6758\r\n"));
    EXPECT_EQ(read(), "6758\r\n");
    // Held open by another program, or marked read-only (a rename would get past the mark under
    // Wine), the old file stays as it was; a file replaced keeps its marks (Wine marks every file for
    // archiving).
    HANDLE held = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_FALSE(files.WriteAll(path, "1301\r\n"));
    CloseHandle(held);
    for (const DWORD marks : {FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_HIDDEN}) {
        ASSERT_TRUE(SetFileAttributesW(wide.c_str(), marks));
        EXPECT_EQ(files.WriteAll(path, "1301\r\n"), marks == FILE_ATTRIBUTE_HIDDEN) << marks;
        EXPECT_EQ(GetFileAttributesW(wide.c_str()) & ~DWORD{FILE_ATTRIBUTE_ARCHIVE}, marks);
        EXPECT_EQ(read(), marks == FILE_ATTRIBUTE_HIDDEN ? "1301\r\n" : "6758\r\n");
    }
    ASSERT_TRUE(SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL));
    DeleteFileW(wide.c_str());
    EXPECT_TRUE(RemoveDirectoryW(Wide(folder).c_str())) << "no temporary file is left behind";
}

// Where the Windows CP932 tables differ from the Linux converter's (the core tests, run under Wine
// too, check the rest): Windows has no entry for MINUS SIGN or the yen sign, writes best-fit letters
// and reads 0x80 as a control character; a watch list written or read here must give the same bytes
// and text as on Linux.
TEST(TextCodecWin32, WritesAndReadsAsLinuxDoes) {
    const std::pair<std::string, std::string> written[] = {
        {"\xE2\x88\x92", "\x81\x7C"}, {"\xC2\xA5", "\\"}, {"\xC3\xA0", "?"}};
    for (const auto& [utf8, cp932] : written) EXPECT_EQ(Utf8ToCp932(utf8), cp932) << utf8;
    EXPECT_EQ(Cp932ToUtf8("\x80" "1\x83\x80"), "\xEF\xBF\xBD" "1ム");
}

}  // namespace
}  // namespace norvale::win32
