// The Windows platform's services under Wine: files and the CP932 converter. (The single instance is
// checked on norvale.exe from the zip, in run-wine-tests.sh.)
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "platform/BulkMemory.h"
#include "platform/TextCodec.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Text.h"

namespace norvale::win32 {
namespace {

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
