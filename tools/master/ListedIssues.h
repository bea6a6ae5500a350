// The exchange's list of listed issues, saved as CSV, turned into a brand master (mei_code.txt).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace norvale::master {

// The column headings the list is recognised by; the columns may stand anywhere.
inline constexpr std::string_view kCodeHeading = "コード";
inline constexpr std::string_view kNameHeading = "銘柄名";
inline constexpr std::string_view kSectionHeading = "市場・商品区分";

// A double quote cannot stand inside a field of the master: it becomes this (U+201D).
inline constexpr std::string_view kQuoteReplacement = "”";
// A character that CP932 cannot hold becomes this (U+3013), the mark Japanese print uses for a character
// it lacks, as wide as the character it stands for; a variation selector is dropped instead, leaving the
// character before it in its plain form.
inline constexpr std::string_view kMissingCharacter = "〓";

enum class ListEncoding { Cp932, Utf8 };

// UTF-8 when the bytes start with its byte-order mark or are valid UTF-8 throughout (a Japanese text in
// CP932 never is); CP932, as Excel saves a CSV, otherwise.
ListEncoding DetectEncoding(std::string_view bytes);

// Splits CSV text into rows: cells apart at commas, rows ended by CR LF, LF or CR; a cell in double quotes
// holds commas, line ends and doubled quotes. The text must outlive the reader.
class CsvRows {
public:
    explicit CsvRows(std::string_view text) : text_(text) {}
    // The next row's cells; false at the end of the text.
    bool Next(std::vector<std::string>& cells);

private:
    std::string_view text_;
    std::size_t at_ = 0;
};

enum class ListProblem {
    None,
    Empty,       // no byte but blanks and line ends
    NotTheList,  // no row holds the three headings
    NoBrands,    // the headings, but no row with a code
};

struct ListConversion {
    ListProblem problem = ListProblem::None;
    std::string master;      // the brand master file: CP932 with CR LF
    int brands = 0;          // records written, one per listed row with a code
    int noCode = 0;          // rows skipped without a code
    int otherCode = 0;       // rows skipped with a code of neither form Norvale reads
    int duplicates = 0;      // rows skipped whose code an earlier row has
    int quotesReplaced = 0;  // double quotes in names (as kQuoteReplacement), and line ends (as a blank)
    int charsReplaced = 0;   // characters without a CP932 form, replaced or dropped as above
};

// Every row after the heading row with a code becomes one record: the code as listed (a number Norvale
// reads as a 16-bit code, or a code with letters), the name as listed, a nominal trading unit as the
// sample master has it (1 for the funds: ETF・ETN and REIT … , else 100), and the market "東証". A name
// with a comma, or one that starts with a blank, is quoted, so the master's reader gives it back as it is.
[[nodiscard]] ListConversion ConvertList(std::string_view bytes);

}  // namespace norvale::master
