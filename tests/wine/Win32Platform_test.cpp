// The Windows front end's services under Wine: tickers inside a pass, files, the single instance.
#include <gtest/gtest.h>

#include <string>

#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Services.h"
#include "platform/win32/Win32Text.h"
#include "platform/win32/Win32Ticker.h"

namespace norvale::win32 {
namespace {

// Runs the pump for about ms milliseconds, as a pass does between its requests.
void PumpFor(Win32EventPump& pump, DWORD ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    while (GetTickCount64() < end) {
        pump.RunPending();
        Sleep(2);
    }
}

TEST(Win32Ticker, BothTickersKeepTickingWhileAPassRunsInsideATick) {
    Win32EventPump pump;
    int waitTicks = 0, loadTicks = 0, nestedWait = 0, nestedLoad = 0;
    bool inPass = false;
    Win32Ticker load(GetModuleHandleW(nullptr), 20, [&] {
        ++loadTicks;
        if (inPass) ++nestedLoad;
    });
    Win32Ticker wait(GetModuleHandleW(nullptr), 20, [&] {
        ++waitTicks;
        if (inPass) {
            ++nestedWait;
            return;
        }
        if (waitTicks > 1) return;
        // The first wait tick runs a "pass" that lets events run for a while.
        inPass = true;
        load.SetEnabled(true);
        PumpFor(pump, 600);
        load.SetEnabled(false);
        inPass = false;
    });
    wait.SetEnabled(true);
    EXPECT_TRUE(wait.Enabled());
    PumpFor(pump, 900);
    wait.SetEnabled(false);
    EXPECT_GE(nestedWait, 5) << "wait ticks inside the pass";
    EXPECT_GE(nestedLoad, 5) << "load ticks inside the pass";
    EXPECT_EQ(loadTicks, nestedLoad) << "the load ticker ticks only while switched on";

    // Switched off, a ticker stays silent, and switching it on twice does not restart its count.
    const int before = waitTicks;
    PumpFor(pump, 100);
    EXPECT_EQ(waitTicks, before);
}

// A folder with a Japanese name under the temporary folder, removed afterwards.
class Win32Files : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder = std::wstring(temp) + L"ノルヴェール試験" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(folder.c_str(), nullptr);
        path = Utf8(folder + L"\\監視銘柄.txt");
    }
    void TearDown() override {
        SetFileAttributesW(Wide(path).c_str(), FILE_ATTRIBUTE_NORMAL);
        WIN32_FIND_DATAW found;
        HANDLE h = FindFirstFileW((folder + L"\\*").c_str(), &found);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                DeleteFileW((folder + L"\\" + found.cFileName).c_str());
            } while (FindNextFileW(h, &found));
            FindClose(h);
        }
        RemoveDirectoryW(folder.c_str());
    }
    int FilesInFolder() const {
        int n = 0;
        WIN32_FIND_DATAW found;
        HANDLE h = FindFirstFileW((folder + L"\\*").c_str(), &found);
        if (h == INVALID_HANDLE_VALUE) return 0;
        do {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) ++n;
        } while (FindNextFileW(h, &found));
        FindClose(h);
        return n;
    }

    Win32FileSystem files;
    std::wstring folder;
    std::string path;
};

TEST_F(Win32Files, ExportReplacesTheOldFileOrLeavesItByteForByte) {
    EXPECT_FALSE(files.ReadAll(path, 1 << 20).has_value());
    ASSERT_TRUE(files.WriteAll(path, "7203\r\n"));
    ASSERT_TRUE(files.WriteAll(path, "6758\r\n9984\r\n"));  // onto an existing file
    EXPECT_EQ(files.ReadAll(path, 1 << 20).value_or("?"), "6758\r\n9984\r\n");
    ASSERT_TRUE(files.WriteAll(path, ""));
    EXPECT_EQ(files.ReadAll(path, 1 << 20).value_or("?"), "");
    ASSERT_TRUE(files.WriteAll(path, "6758\r\n"));

    // The old file held open without sharing its deletion: the replacement fails, the old bytes stay.
    HANDLE held = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(files.WriteAll(path, "1301\r\n"));
    CloseHandle(held);
    EXPECT_EQ(files.ReadAll(path, 1 << 20).value_or("?"), "6758\r\n");
    // Only so much of a file, and only of a file on disk: not a folder, not a device.
    EXPECT_EQ(files.ReadAll(path, 4).value_or("?"), "6758");
    EXPECT_FALSE(files.ReadAll(Utf8(folder), 1 << 20).has_value());
    EXPECT_FALSE(files.ReadAll("NUL", 1 << 20).has_value());
    // A folder that does not exist: nothing is written anywhere.
    EXPECT_FALSE(files.WriteAll(Utf8(folder + L"\\無い\\x.txt"), "1"));
    EXPECT_EQ(FilesInFolder(), 1) << "no temporary file is left behind";
}

TEST(Win32ProgramFolder, IsTheFolderOfTheRunningExecutable) {
    wchar_t module[MAX_PATH];
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    std::wstring expected(module);
    expected = expected.substr(0, expected.find_last_of(L'\\')) + L"\\mei_code.txt";
    EXPECT_EQ(Win32FileSystem().InProgramFolder("mei_code.txt"), Utf8(expected));
}

TEST(Win32InstanceGuard, OnlyARunningInstanceEndsTheNewOne) {
    const std::wstring name = L"Local\\NorvaleTest." + std::to_wstring(GetCurrentProcessId());
    {
        Win32InstanceGuard first(name);
        EXPECT_FALSE(first.AnotherInstanceRunning());
        Win32InstanceGuard second(name);
        EXPECT_TRUE(second.AnotherInstanceRunning());
    }
    // The first has ended: its claim went with it.
    Win32InstanceGuard third(name);
    EXPECT_FALSE(third.AnotherInstanceRunning());
    // A mutex that cannot be made lets Norvale start.
    Win32InstanceGuard unmade(L"NoSuchNamespace\\Norvale");
    EXPECT_FALSE(unmade.AnotherInstanceRunning());
}

}  // namespace
}  // namespace norvale::win32
