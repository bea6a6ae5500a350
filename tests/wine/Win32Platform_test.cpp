// The Windows front end's services under Wine: tickers inside a pass, files, the single instance.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "frontend/win32/Win32Ticker.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32InstanceGuard.h"
#include "platform/win32/Win32Text.h"
#include "tests/wine/WindowDriver.h"

namespace norvale::win32 {
namespace {

TEST(Win32Ticker, BothTickersKeepTickingWhileAPassRunsInsideATick) {
    int waitTicks = 0, loadTicks = 0, nestedWait = 0, nestedLoad = 0;
    bool inPass = false;
    Win32Ticker load(GetModuleHandleW(nullptr), 20, [&] { ++loadTicks, nestedLoad += inPass ? 1 : 0; });
    Win32Ticker wait(GetModuleHandleW(nullptr), 20, [&] {
        ++waitTicks;
        nestedWait += inPass ? 1 : 0;
        if (inPass || waitTicks > 1) return;
        // The first wait tick runs a "pass" that lets events run for a while.
        inPass = true;
        load.SetEnabled(true);
        PumpFor(600);
        load.SetEnabled(false);
        inPass = false;
    });
    wait.SetEnabled(true);
    EXPECT_TRUE(wait.Enabled());
    PumpFor(900);
    wait.SetEnabled(false);
    EXPECT_GE(nestedWait, 5) << "wait ticks inside the pass";
    EXPECT_GE(nestedLoad, 5) << "load ticks inside the pass";
    EXPECT_EQ(loadTicks, nestedLoad) << "the load ticker ticks only while switched on";
    // Switched off, a ticker stays silent.
    const int before = waitTicks;
    PumpFor(100);
    EXPECT_EQ(waitTicks, before);
}

// The program folder is the executable's; files are replaced whole or not at all.
TEST(Win32Files, ExportReplacesTheOldFileOrLeavesItByteForByte) {
    wchar_t module[MAX_PATH];
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    const std::wstring program(module), name = L"ノルヴェール試験" + std::to_wstring(GetCurrentProcessId());
    Win32FileSystem files;
    const std::string folder = files.InProgramFolder(Utf8(name)), path = folder + "\\監視銘柄.txt";
    const std::wstring wide = Wide(path);
    EXPECT_EQ(folder, Utf8(program.substr(0, program.find_last_of(L'\\') + 1) + name));
    ASSERT_TRUE(CreateDirectoryW(Wide(folder).c_str(), nullptr));
    const auto read = [&](const std::string& file, std::size_t max = 1 << 20) {
        return files.ReadAll(file, max).value_or("?");
    };
    EXPECT_EQ(read(path), "?");
    for (const char* bytes : {"7203\r\n", "6758\r\n9984\r\n", "", "6758\r\n"}) {  // the later onto the earlier
        ASSERT_TRUE(files.WriteAll(path, bytes));
        EXPECT_EQ(read(path), bytes);
    }
    // The old file held open without sharing its deletion: the replacement fails, the old bytes stay.
    HANDLE held = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(files.WriteAll(path, "1301\r\n"));
    CloseHandle(held);
    EXPECT_EQ(read(path), "6758\r\n");
    // Marked read-only, it is refused (a rename would get past the mark under Wine); a file replaced
    // keeps its marks. (Wine marks every file for archiving.)
    for (const DWORD marks : {FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_HIDDEN}) {
        ASSERT_TRUE(SetFileAttributesW(wide.c_str(), marks));
        EXPECT_EQ(files.WriteAll(path, "6758\r\n"), marks == FILE_ATTRIBUTE_HIDDEN) << marks;
        EXPECT_EQ(GetFileAttributesW(wide.c_str()) & ~DWORD{FILE_ATTRIBUTE_ARCHIVE}, marks);
    }
    ASSERT_TRUE(SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL));
    // Only so much of a file, and only of a file on disk: not a folder, not a device. In a folder that
    // does not exist, nothing is written anywhere.
    EXPECT_EQ(std::tuple(read(path, 4), read(folder), read("NUL"), files.WriteAll(folder + "\\無い\\x.txt", "1")),
              std::tuple("6758", "?", "?", false));
    DeleteFileW(wide.c_str());
    EXPECT_TRUE(RemoveDirectoryW(Wide(folder).c_str())) << "no temporary file is left behind";
}

TEST(Win32InstanceGuard, OnlyARunningInstanceEndsTheNewOne) {
    const std::wstring name = L"Local\\NorvaleTest." + std::to_wstring(GetCurrentProcessId());
    {
        Win32InstanceGuard first(name);
        EXPECT_FALSE(first.AnotherInstanceRunning());
        EXPECT_TRUE(Win32InstanceGuard(name).AnotherInstanceRunning());
    }
    // The first has ended: its claim went with it. A mutex that cannot be made lets Norvale start.
    EXPECT_FALSE(Win32InstanceGuard(name).AnotherInstanceRunning());
    EXPECT_FALSE(Win32InstanceGuard(L"NoSuchNamespace\\Norvale").AnotherInstanceRunning());
}

}  // namespace
}  // namespace norvale::win32
