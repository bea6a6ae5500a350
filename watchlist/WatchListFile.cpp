#include "watchlist/WatchListFile.h"

#include <optional>

#include "platform/TextCodec.h"
#include "watchlist/BrandIdentity.h"
#include "watchlist/NumericText.h"

namespace norvale {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
// Only a line's first field is kept, and only this much of it: a field this long holds no
// 16-bit number or code with letters but for blanks, so a longer one is taken as no code.
constexpr std::size_t kMaxFirstField = 256;

// Takes a watch list file piece by piece and fills the table line by line. Lines end at
// CR LF, a lone CR or a lone LF, also when a piece ends between the CR and the LF. The bytes
// are split without decoding: CP932 trail bytes never equal a comma, CR or LF, and only an
// ASCII code is ever taken from a line.
class WatchListReader {
public:
    WatchListReader(const BrandMaster& master, WatchTable& table) : master_(master), table_(table) { table_.Clear(); }

    // False once reading must stop: the 1000th brand is taken or a line is malformed.
    bool Take(std::string_view piece) {
        for (const char c : piece) {
            if (Done()) return false;
            if (c == '\n' && afterCr_) {
                afterCr_ = false;
                continue;
            }
            afterCr_ = c == '\r';
            if (c == '\r' || c == '\n') {
                EndLine();
                continue;
            }
            inLine_ = true;
            if (fieldEnded_) continue;
            if (c == ',') {
                fieldEnded_ = true;
            } else if (field_.size() <= kMaxFirstField + kUtf8Bom.size()) {
                field_.push_back(c);
            }
        }
        return !Done();
    }

    // The last line needs no line end.
    WatchListLoad Finish() {
        if (!Done() && inLine_) EndLine();
        if (malformedLine_ != 0) {
            table_.Clear();
            return {WatchListStatus::Malformed, malformedLine_};
        }
        return {WatchListStatus::Loaded, 0};
    }

private:
    bool Done() const { return table_.Full() || malformedLine_ != 0; }

    void EndLine() {
        ++lineNumber_;
        std::string_view field = field_;
        if (lineNumber_ == 1 && field.substr(0, kUtf8Bom.size()) == kUtf8Bom) field.remove_prefix(kUtf8Bom.size());
        const bool empty = !inLine_ || (lineNumber_ == 1 && !fieldEnded_ && field_ == kUtf8Bom);
        if (!empty) {
            if (field.empty()) {
                malformedLine_ = lineNumber_;
            } else if (field.size() <= kMaxFirstField) {
                const std::optional<BrandCode> code = ReadBrandCode(field, CodeForm::WatchList);
                const std::optional<WatchedBrand> brand = code ? BrandForCode(*code, master_) : std::nullopt;
                if (brand) (void)table_.Append(*brand);  // Done() stops the read before the table is full
            }
        }
        field_.clear();
        inLine_ = false;
        fieldEnded_ = false;
    }

    const BrandMaster& master_;
    WatchTable& table_;
    std::string field_;        // the start of the line's first field
    bool inLine_ = false;      // the line has a character
    bool fieldEnded_ = false;  // its first comma was seen
    bool afterCr_ = false;
    int lineNumber_ = 0;  // a plain int: the report stays right past 32767 lines
    int malformedLine_ = 0;
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
    WatchListReader reader(master, table);
    (void)reader.Take(bytes);
    return reader.Finish();
}

WatchListLoad LoadWatchListFile(FileSystem& files, const std::string& path, const BrandMaster& master,
                                WatchTable& table) {
    WatchListReader reader(master, table);
    if (!files.ReadPieces(path, kWatchListMaxBytes, [&](std::string_view piece) { return reader.Take(piece); })) {
        table.Clear();
        return {WatchListStatus::NotOpened, 0};
    }
    return reader.Finish();
}

std::string WatchListBytes(const WatchTable& table) {
    std::string text;
    for (int k = 0; k < table.Count(); ++k) {
        text += table.Entry(k).codeText;
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

void ReportFileError(Alert& alert, const std::string& path, int line) {
    alert.ShowCriticalOkCancel(FileErrorText(path, line), "Error");
}

}  // namespace norvale
