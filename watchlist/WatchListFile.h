// The watch list file: reading it into the watch table, writing the table's codes, and the
// message for a malformed line.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/Alert.h"
#include "platform/FileSystem.h"
#include "table/WatchTable.h"
#include "watchlist/BrandMaster.h"

namespace norvale {

// The file dialog's filters, shared by import and export.
inline constexpr const char* kWatchListFilter =
    "すべてのファイル (*.*)|*.*|テキスト ファイル (*.txt)|*.txt|バッチ ファイル (*.bat)|*.bat";

enum class WatchListStatus {
    Loaded,     // read to its end, or to the 1000th brand
    NotOpened,  // the file could not be read; the list is empty
    Malformed,  // a line starts with a comma; the list is empty
};

struct WatchListLoad {
    WatchListStatus status = WatchListStatus::Loaded;
    int errorLine = 0;  // 1-based line of the malformed line, empty lines counted
};

// What is read of a watch list file at most; reading stops sooner at the 1000th brand.
inline constexpr std::size_t kWatchListMaxBytes = std::size_t{16} << 20;

// Field index (0-based) of a line split at single commas, without quoting; empty when the
// field is empty or the line has fewer fields.
std::string GetCsvField(std::string_view line, int index);

// Replaces the table's entries with the brands of a watch list file's bytes, in file order, shown
// in slot order, a waiting removal forgotten; at most 1000 brands are taken. Lines end with CR LF, a lone CR
// or a lone LF, and a UTF-8 byte-order mark at the start is ignored. Lines whose first field
// is no brand code (ReadBrandCode), is missing from the master or names a market without a
// suffix are skipped. A line that begins with a comma ends the read as Malformed with an empty table.
[[nodiscard]] WatchListLoad ReadWatchList(std::string_view bytes, const BrandMaster& master, WatchTable& table);

// ReadWatchList on the file at path, read line by line up to the 1000th brand and at most
// kWatchListMaxBytes; NotOpened with an empty table when it is no regular file or cannot be read.
// A line whose first field is longer than 256 bytes is skipped as no code.
[[nodiscard]] WatchListLoad LoadWatchListFile(FileSystem& files, const std::string& path,
                                              const BrandMaster& master, WatchTable& table);

// The file's bytes for the live entries in slot order: each codeText in CP932, then CR LF.
std::string WatchListBytes(const WatchTable& table);

// Writes WatchListBytes to path; false when the file could not be written completely, and
// then an existing file there is left as it was.
[[nodiscard]] bool SaveWatchListFile(FileSystem& files, const std::string& path, const WatchTable& table);

// The three lines of the malformed-line message, joined by CR LF.
std::string FileErrorText(const std::string& path, int line);

// Shows the malformed-line message with the title "Error" and returns when it is closed.
void ReportFileError(Alert& alert, const std::string& path, int line);

}  // namespace norvale
