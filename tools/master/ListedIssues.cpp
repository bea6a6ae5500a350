#include "tools/master/ListedIssues.h"

#include <algorithm>
#include <array>
#include <optional>
#include <set>

#include "platform/TextCodec.h"
#include "table/BrandCode.h"

namespace norvale::master {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

bool IsValidUtf8(std::string_view bytes) {
    const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    for (std::size_t i = 0; i < n;) {
        const unsigned char c = s[i];
        std::size_t length = 1;
        if (c >= 0xC2 && c <= 0xDF) length = 2;
        else if (c >= 0xE0 && c <= 0xEF) length = 3;
        else if (c >= 0xF0 && c <= 0xF4) length = 4;
        else if (c >= 0x80) return false;
        if (i + length > n) return false;
        for (std::size_t k = 1; k < length; ++k) {
            if (!IsContinuation(s[i + k])) return false;
        }
        // Overlong forms, surrogates and code points past U+10FFFF.
        if ((c == 0xE0 && s[i + 1] < 0xA0) || (c == 0xED && s[i + 1] >= 0xA0) || (c == 0xF0 && s[i + 1] < 0x90) ||
            (c == 0xF4 && s[i + 1] >= 0x90)) {
            return false;
        }
        i += length;
    }
    return true;
}

// The code of a listed row as Norvale reads it from the master: a code with letters, or 1 to 5 digits
// within the 16 bits of a numeric code.
std::optional<BrandCode> ListedCode(std::string_view text) {
    if (std::optional<BrandCode> lettered = BrandCode::Lettered(text)) return lettered;
    if (text.empty() || text.size() > 5 || !std::all_of(text.begin(), text.end(), [](char c) {
            return c >= '0' && c <= '9';
        })) {
        return std::nullopt;
    }
    int value = 0;
    for (const char c : text) value = value * 10 + (c - '0');
    return value <= 32767 ? std::optional<BrandCode>(BrandCode(static_cast<std::int16_t>(value))) : std::nullopt;
}

// The name as a field of the master can hold it: without variation selectors (counted in dropped),
// with every double quote and line end replaced (counted in replaced).
std::string FieldName(std::string_view name, int& dropped, int& replaced) {
    std::string out;
    out.reserve(name.size());
    const auto* s = reinterpret_cast<const unsigned char*>(name.data());
    for (std::size_t i = 0; i < name.size(); ++i) {
        // U+FE00 to U+FE0F, and U+E0100 to U+E01EF.
        if (s[i] == 0xEF && i + 2 < name.size() && s[i + 1] == 0xB8 && s[i + 2] >= 0x80 && s[i + 2] <= 0x8F) {
            ++dropped;
            i += 2;
            continue;
        }
        if (s[i] == 0xF3 && i + 3 < name.size() && s[i + 1] == 0xA0 && s[i + 2] >= 0x84 && s[i + 2] <= 0x87) {
            ++dropped;
            i += 3;
            continue;
        }
        if (name[i] == '"') {
            out += kQuoteReplacement;
            ++replaced;
        } else if (name[i] == '\r' || name[i] == '\n') {
            out += ' ';
            ++replaced;
        } else {
            out += name[i];
        }
    }
    // The master's reader skips blanks before a field and ends an unquoted one at a comma.
    const bool quote = out.find(',') != std::string::npos || (!out.empty() && IsBlank(out.front()));
    return quote ? '"' + out + '"' : out;
}

// A nominal trading unit for the third field, which Norvale reads past.
std::string_view TradingUnit(std::string_view section) {
    return section.substr(0, 3) == "ETF" || section.substr(0, 4) == "REIT" ? "1" : "100";
}

}  // namespace

ListEncoding DetectEncoding(std::string_view bytes) {
    if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom || IsValidUtf8(bytes)) return ListEncoding::Utf8;
    return ListEncoding::Cp932;
}

bool CsvRows::Next(std::vector<std::string>& cells) {
    cells.clear();
    if (at_ >= text_.size()) return false;
    std::string cell;
    bool quoted = false;
    while (at_ < text_.size()) {
        const char c = text_[at_++];
        if (quoted) {
            if (c != '"') {
                cell += c;
            } else if (at_ < text_.size() && text_[at_] == '"') {
                cell += '"';
                ++at_;
            } else {
                quoted = false;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            cells.push_back(std::move(cell));
            cell.clear();
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && at_ < text_.size() && text_[at_] == '\n') ++at_;
            break;
        } else {
            cell += c;
        }
    }
    cells.push_back(std::move(cell));
    return true;
}

ListConversion ConvertList(std::string_view bytes) {
    ListConversion result;
    std::string text;
    if (DetectEncoding(bytes) == ListEncoding::Utf8) {
        if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) bytes.remove_prefix(kUtf8Bom.size());
        text.assign(bytes);
    } else {
        text = Cp932ToUtf8(bytes);
    }
    if (std::all_of(text.begin(), text.end(), [](char c) { return IsBlank(c) || c == '\r' || c == '\n'; })) {
        result.problem = ListProblem::Empty;
        return result;
    }

    CsvRows rows(text);
    std::vector<std::string> cells;
    std::array<std::size_t, 3> column{};  // of the code, the name and the section
    bool headed = false;
    while (!headed && rows.Next(cells)) {
        const std::array<std::string_view, 3> headings = {kCodeHeading, kNameHeading, kSectionHeading};
        headed = true;
        for (std::size_t h = 0; h < headings.size(); ++h) {
            const auto at = std::find_if(cells.begin(), cells.end(),
                                         [&](const std::string& cell) { return Trimmed(cell) == headings[h]; });
            headed = headed && at != cells.end();
            column[h] = static_cast<std::size_t>(at - cells.begin());
        }
    }
    if (!headed) {
        result.problem = ListProblem::NotTheList;
        return result;
    }

    std::string master;
    std::set<int> seen;  // numeric codes by value, lettered ones past them by key
    int dropped = 0;
    while (rows.Next(cells)) {
        if (std::all_of(cells.begin(), cells.end(), [](const std::string& cell) { return Trimmed(cell).empty(); }))
            continue;  // an empty line, or a row of empty cells as spreadsheets write them
        const auto cell = [&](std::size_t c) { return c < cells.size() ? std::string_view(cells[c]) : ""; };
        const std::string_view code = Trimmed(cell(column[0]));
        const std::optional<BrandCode> read = ListedCode(code);
        if (code.empty()) {
            ++result.noCode;
        } else if (!read) {
            ++result.otherCode;
        } else if (!seen.insert(read->IsLettered() ? 65536 + read->LetteredKey() : read->Number()).second) {
            ++result.duplicates;
        } else {
            master.append(code).append(",");
            master += FieldName(cell(column[1]), dropped, result.quotesReplaced);
            master.append(",").append(TradingUnit(Trimmed(cell(column[2])))).append(",東証\r\n");
            ++result.brands;
        }
    }
    if (result.brands == 0) {
        result.problem = ListProblem::NoBrands;
        return result;
    }
    std::size_t missing = 0;
    result.master = Utf8ToCp932(master, Utf8ToCp932(kMissingCharacter), missing);
    result.charsReplaced = dropped + static_cast<int>(missing);
    return result;
}

}  // namespace norvale::master
