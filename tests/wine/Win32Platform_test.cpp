// The Windows front end's services under Wine: tickers inside a pass, files, the single instance.
#include <gtest/gtest.h>

#include <string>

#include "frontend/win32/Win32Ticker.h"
#include "platform/BulkMemory.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32InstanceGuard.h"
#include "platform/win32/Win32Text.h"
#include "tests/wine/WindowDriver.h"

namespace norvale::win32 {
namespace {

TEST(Win32Ticker, BothTickersKeepTickingWhileAPassRunsInsideATick) {
    int waitTicks = 0, loadTicks = 0, nestedWait = 0;
    bool inPass = false;
    Win32Ticker load(GetModuleHandleW(nullptr), 20, [&] { ++loadTicks; });
    Win32Ticker wait(GetModuleHandleW(nullptr), 20, [&] {
        nestedWait += inPass ? 1 : 0;
        if (inPass || ++waitTicks > 1) return;
        // The first wait tick runs a "pass" that lets events run for a while.
        inPass = true;
        load.SetEnabled(true);
        PumpFor(600);
        load.SetEnabled(false);
        inPass = false;
    });
    wait.SetEnabled(true);
    PumpFor(900);
    wait.SetEnabled(false);
    EXPECT_GE(nestedWait, 5) << "wait ticks inside the pass";
    EXPECT_GE(loadTicks, 5) << "load ticks inside the pass";
}

// Files are replaced whole or not at all. (The window tests read the sample files from the program
// folder.)
TEST(Win32Files, ExportReplacesTheOldFileOrLeavesItByteForByte) {
    Win32FileSystem files;
    const std::string folder = files.InProgramFolder("ノルヴェール試験" + std::to_string(GetCurrentProcessId()));
    const std::string path = folder + "\\監視銘柄.txt";
    const std::wstring wide = Wide(path);
    ASSERT_TRUE(CreateDirectoryW(Wide(folder).c_str(), nullptr));
    const auto read = [&](const std::string& file) {
        return std::string(files.ReadAll(file, 1 << 20, BulkMemory()).value_or("?"));
    };
    ASSERT_TRUE(files.WriteAll(path, "7203\r\n6758\r\n"));
    ASSERT_TRUE(files.WriteAll(path, "6758\r\n"));
    EXPECT_EQ(read(path), "6758\r\n");
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
        EXPECT_EQ(read(path), marks == FILE_ATTRIBUTE_HIDDEN ? "1301\r\n" : "6758\r\n");
    }
    ASSERT_TRUE(SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL));
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
    // The first has ended: its claim went with it.
    EXPECT_FALSE(Win32InstanceGuard(name).AnotherInstanceRunning());
}

}  // namespace
}  // namespace norvale::win32
