#include "watchlist/WatchListFile.h"

#include <optional>

#include "platform/TextCodec.h"
#include "watchlist/BrandIdentity.h"
#include "watchlist/NumericText.h"

namespace norvale {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// Splits a text into lines at CR LF, a lone CR or a lone LF; a line end at the very end
// does not start another line.
class LineReader {
public:
    explicit LineReader(std::string_view text) : text_(text) {}

    bool Next(std::string_view& line) {
        if (pos_ >= text_.size()) return false;
        const std::size_t start = pos_;
        while (pos_ < text_.size() && text_[pos_] != '\r' && text_[pos_] != '\n') ++pos_;
        line = text_.substr(start, pos_ - start);
        if (pos_ < text_.size()) {
            const char end = text_[pos_++];
            if (end == '\r' && pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
        }
        return true;
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

}  // namespace

std::string GetCsvField(std::string_view line, int index) {
    if (index < 0) return {};
    std::size_t start = 0;
    for (int i = 0; i < index; ++i) {
        const std::size_t comma = line.find(',', start);
        if (comma == std::string_view::npos) return {};
        start = comma + 1;
    }
    const std::size_t end = line.find(',', start);
    return std::string(line.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
}

WatchListLoad ReadWatchList(std::string_view bytes, const BrandMaster& master, WatchTable& table) {
    table.EntryCount = 0;
    if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) bytes.remove_prefix(kUtf8Bom.size());

    // The bytes are split without decoding: CP932 trail bytes never equal a comma, CR or LF,
    // and only an ASCII number is ever taken from a line.
    LineReader lines(bytes);
    std::string_view line;
    int lineNumber = 0;  // a plain int: the report stays right past 32767 lines
    int n = 0;
    while (n < kMaxEntries && lines.Next(line)) {
        ++lineNumber;
        if (line.empty()) continue;
        const std::string field = GetCsvField(line, 0);
        if (field.empty()) {
            for (int k = 0; k < n; ++k) table.entries[static_cast<std::size_t>(k)] = WatchEntry{};
            return {WatchListStatus::Malformed, lineNumber};
        }
        const std::optional<std::int16_t> code = ReadBrandCode(field, CodeForm::WatchList);
        if (!code) continue;
        if (FillEntryForCode(table.entries[static_cast<std::size_t>(n)], *code, master)) ++n;
    }
    table.EntryCount = static_cast<std::int16_t>(n);
    return {WatchListStatus::Loaded, 0};
}

WatchListLoad LoadWatchListFile(FileSystem& files, const std::string& path, const BrandMaster& master,
                                WatchTable& table) {
    const std::optional<std::string> bytes = files.ReadAll(path);
    if (!bytes) {
        table.EntryCount = 0;
        return {WatchListStatus::NotOpened, 0};
    }
    return ReadWatchList(*bytes, master, table);
}

std::string WatchListBytes(const WatchTable& table) {
    std::string text;
    for (int k = 0; k < table.EntryCount; ++k) {
        text += table.entries[static_cast<std::size_t>(k)].codeText;
        text += "\r\n";
    }
    return Utf8ToCp932(text);
}

bool SaveWatchListFile(FileSystem& files, const std::string& path, const WatchTable& table) {
    return files.WriteAll(path, WatchListBytes(table));
}

std::string FileErrorText(const std::string& path, int line) {
    return "初期設定ファイル読込みエラー\r\nFILE : " + path + "\r\nLINE : " + std::to_string(line);
}

void ReportFileError(MessageBox& box, const std::string& path, int line) {
    box.ShowCriticalOkCancel(FileErrorText(path, line), "Error");
}

}  // namespace norvale
