// The brand master: its field reader, its records and the lookup by code.
#include "watchlist/BrandMaster.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <vector>

#include "platform/TextCodec.h"
#include "watchlist/FieldReader.h"
#include "watchlist/NumericText.h"

namespace norvale {
namespace {

using Strings = std::vector<std::string>;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Each record as "code|name|market".
Strings Records(const BrandMaster& m) {
    Strings out;
    for (int i = 0; i < m.BrandCount(); ++i) out.push_back(m[i].codeText + '|' + m[i].brandName + '|' + m[i].marketName);
    return out;
}

// The lookup as the file format defines it: the first record whose code reads as the code,
// over the codes of the records read as numbers.
std::optional<int> LinearFind(const std::vector<std::optional<double>>& codes, std::int16_t code) {
    for (std::size_t i = 0; i < codes.size(); ++i) {
        if (codes[i] && *codes[i] == code) return static_cast<int>(i);
    }
    return std::nullopt;
}

TEST(FieldReader, LineEndsDelimitLikeCommasBlanksAndQuotes) {
    const std::vector<std::pair<std::string, Strings>> cases = {
        {"a,b\r\nc,d", {"a", "b", "c", "d"}}, {"a,b\rc\nd", {"a", "b", "c", "d"}},
        // An empty line is one empty field; a comma before a line end gives one, not two.
        {"a\r\n\r\nb", {"a", "", "b"}}, {"a,\r\nb", {"a", "", "b"}}, {"a,,b", {"a", "", "b"}},
        // A line end at the very end ends the last field and starts nothing.
        {"a\r\n", {"a"}}, {"", {}},
        // Blanks before a field are skipped, blanks after it stay.
        {"  7203 ,\t東証 ", {"7203 ", "東証 "}}, {"   \r\nx", {"", "x"}},
        // A quoted field keeps its commas and blanks; what follows the closing quote is dropped.
        {"\"A,B\",c", {"A,B", "c"}}, {"\" 7203\",x", {" 7203", "x"}}, {"\"A\"junk,c", {"A", "c"}},
        {"\"\",c", {"", "c"}},
        // A quote that never closes ends with its line; a quote inside a field is a character.
        {"\"A,B\r\nc", {"A,B", "c"}}, {"ab\"c,d", {"ab\"c", "d"}}};
    for (const auto& [text, fields] : cases) {
        FieldReader reader(text);
        Strings got;
        while (!reader.AtEnd()) got.emplace_back(reader.Next());
        EXPECT_EQ(got, fields) << text;
    }
}

TEST(BrandMaster, RecordsAreEveryFourFieldsAndCodesMatchByValue) {
    struct Case {
        const char* text;
        Strings records;
        int code;
        std::optional<int> found;
    };
    const Case cases[] = {
        {"7203,トヨタ自動車,100,東証\r\n6758,ソニーグループ,100,東証\r\n",
         {"7203|トヨタ自動車|東証", "6758|ソニーグループ|東証"}, 6758, 1},
        {"6758,\"A,B\",100,東証\r\n7203,C,100,東証", {"6758|A,B|東証", "7203|C|東証"}, 7203, 1},
        // A heading loads as a record that matches nothing.
        {"ｺｰﾄﾞ,銘柄名,単位,市場\r\n7203,C,100,東証\r\n", {"ｺｰﾄﾞ|銘柄名|市場", "7203|C|東証"}, 7203, 1},
        // Five fields shift every later record by one field; three pull the next code in as market.
        {"1,A,100,東証,extra\r\n7203,B,100,東証\r\n", {"1|A|東証", "extra|7203|100", "東証||"}, 7203, std::nullopt},
        {"1,A,100\r\n7203,B,100,東証\r\n", {"1|A|7203", "B|100|"}, 7203, std::nullopt},
        // A record cut short by the end of the file counts; an extra empty line is a record too.
        {"7203,A", {"7203|A|"}, 7203, 0},
        {"7203,A,100,東証\r\n\r\n", {"7203|A|東証", "||"}, 0, std::nullopt},
        {"", {}, 7203, std::nullopt},
        // The first of two records with the same code wins; a code keeps its own text, less the
        // blanks before an unquoted field.
        {"07203,A,100,東証\r\n 7203,B,100,東証\r\n\" 6758 \",C,100,東証\r\n",
         {"07203|A|東証", "7203|B|東証", " 6758 |C|東証"}, 7203, 0},
        {"07203,A,100,東証\r\n\" 6758 \",C,100,東証\r\n", {"07203|A|東証", " 6758 |C|東証"}, 6758, 1},
        // A code with a fraction is no whole code: it does not match the code without it.
        {"1301.5,A,100,東証\r\n", {"1301.5|A|東証"}, 1301, std::nullopt}};
    for (const Case& c : cases) {
        BrandMaster m;
        m.Load(c.text);
        EXPECT_EQ(Records(m), c.records) << c.text;
        EXPECT_EQ(m.FindBrand(BrandCode(static_cast<std::int16_t>(c.code))), c.found) << c.text;
    }
}

TEST(BrandMaster, IndexAnswersExactlyAsTheLinearSearch) {
    // Codes that read as numbers in every odd way, duplicates, and codes outside 16 bits.
    const std::string text =
        "7203.0,a,1,東証\n7203,b,1,東証\n7203.5,c,1,東証\n1e3,d,1,東証\n-5,e,1,東証\n"
        "+6758,f,1,東証\n32767,g,1,東証\n-32768,h,1,東証\n32768,i,1,東証\n-32769,j,1,東証\n"
        "65536,k,1,東証\n1000,l,1,東証\n0x10,m,1,東証\ninf,n,1,東証\nnan,o,1,東証\n,p,1,東証\n"
        ".5e1,q,1,東証\n-0,r,1,東証\n0,s,1,東証\n1e400,t,1,東証\n72 03,u,1,東証\n00042,v,1,東証\n"
        "032767,w,1,東証\n99999,x,1,東証\n４２,y,1,東証\n";
    BrandMaster m;
    // Masters without any numeric code, too: every code, negative ones included, finds nothing.
    for (const char* master : {"", "ｺｰﾄﾞ,銘柄名,単位,市場\r\n", "\r\n\r\n", "abc,x,1,東証\r\n,y,1,東証", text.c_str()}) {
        m.Load(master);
        std::vector<std::optional<double>> codes;
        for (int i = 0; i < m.BrandCount(); ++i) codes.push_back(ParseNumber(m[i].codeText));
        for (int code = -32768; code <= 32767; ++code) {
            const auto c = static_cast<std::int16_t>(code);
            ASSERT_EQ(m.FindBrand(BrandCode(c)), LinearFind(codes, c)) << "code " << code << " in " << master;
        }
    }
    EXPECT_EQ(m.FindBrand(BrandCode(7203)), 0);
    EXPECT_EQ(m.FindBrand(BrandCode(1000)), 3);
    EXPECT_EQ(m.FindBrand(BrandCode(5)), 16);
    EXPECT_EQ(m.FindBrand(BrandCode(0)), 17);
}

TEST(BrandMaster, CodesWithLettersMatchTheirFieldInEitherCaseWithoutTheBlanksAround) {
    BrandMaster m;
    m.Load("130A,a,100,東証\r\n 131a ,b,100,東証\r\n\" 2A5C\t\",c,100,東証\r\n130a,d,100,東証\r\n1D00,e,100,東証\r\n"
           "130,f,100,東証\r\n9Y9Y,g,100,東証\r\n");
    const std::vector<std::pair<const char*, std::optional<int>>> cases = {
        {"130A", 0}, {"130a", 0}, {" 131A", 1}, {"2a5c", 2}, {"1D00", 4}, {"9y9y", 6}, {"999A", std::nullopt}};
    for (const auto& [text, found] : cases) EXPECT_EQ(m.FindBrand(BrandCode::Lettered(text).value()), found) << text;
    EXPECT_EQ(m.FindBrand(BrandCode(130)), 5);
    EXPECT_EQ(m.FindBrand(BrandCode(1)), std::nullopt);  // 1D00 is no number with an exponent
    EXPECT_EQ(BrandCode::Lettered("2a5c")->TopicStem(), "2A5C");
    // A letter in the first or third place, none at all, one of the seven unused, too short or long.
    for (const char* text : {"A130", "13A0", "1300", "130B", "130E", "1I00", "130O", "1Q00", "130V", "130Z", "13A",
                             "130AA", "1 3A", "１３０Ａ", ""}) {
        EXPECT_EQ(BrandCode::Lettered(text), std::nullopt) << text;
    }
}

TEST(BrandMaster, KeepsEveryRecordOfAMasterPast32767) {
    std::string text;
    for (int i = 0; i < 40000; ++i) text += std::to_string(40000 - i) + ",n" + std::to_string(i) + ",100,東証\r\n";
    text += "7203,last,100,東証\r\n";
    BrandMaster m;
    m.Load(text);
    ASSERT_EQ(m.BrandCount(), 40001);
    EXPECT_EQ(m.FindBrand(BrandCode(7203)), 40000 - 7203);
    EXPECT_EQ(m[40000].brandName, "last");
    EXPECT_EQ(m.FindBrand(BrandCode(1)), 39999);
    // Codes beyond 16 bits are kept as records but never match a wrapped-around code.
    EXPECT_EQ(m.FindBrand(BrandCode(-32768)), std::nullopt);
    EXPECT_EQ(m.FindBrand(BrandCode(32767)), 40000 - 32767);
}

TEST(BrandMaster, Cp932FilesReadWithAnyLineEnd) {
    for (const char* name : {"master_crlf.txt", "master_cr.txt", "master_lf.txt"}) {
        BrandMaster m;
        m.LoadCp932(ReadFile(std::string(NORVALE_TEST_DATA) + "/" + name));
        EXPECT_EQ(Records(m), (Strings{"ｺｰﾄﾞ|銘柄名|市場", "7203|トヨタ自動車|東証", "6758|ソニー,グループ|東証",
                                       "8233|髙島屋|東証", "1234|①テスト～商事|JASDAQ", "07203|重複トヨタ|東証"}))
            << name;
        EXPECT_EQ(m.FindBrand(BrandCode(7203)), 1) << name;
    }
    // The last byte starts a double-byte character that never ends.
    BrandMaster m;
    m.LoadCp932(ReadFile(std::string(NORVALE_TEST_DATA) + "/master_truncated.txt"));
    EXPECT_EQ(Records(m), (Strings{"7203|トヨタ自動車|東証", "6758|ソ\xEF\xBF\xBD|"}));
    EXPECT_EQ(m.FindBrand(BrandCode(6758)), 1);
}

}  // namespace
}  // namespace norvale
