// The brand master: its field reader, its records and the lookup by code.
#include "watchlist/BrandMaster.h"

#include <gtest/gtest.h>

#include <vector>

#include "watchlist/FieldReader.h"

namespace norvale {
namespace {

using Strings = std::vector<std::string>;

// Each record as "code|name|market".
Strings Records(const BrandMaster& m) {
    Strings out;
    for (int i = 0; i < m.BrandCount(); ++i) out.push_back(m[i].codeText + '|' + m[i].brandName + '|' + m[i].marketName);
    return out;
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

TEST(BrandMaster, CodesWithLettersMatchTheirFieldInEitherCaseWithoutTheBlanksAround) {
    BrandMaster m;
    m.Load("130A,a,100,東証\r\n 131a ,b,100,東証\r\n\" 2A5C\t\",c,100,東証\r\n130a,d,100,東証\r\n1D00,e,100,東証\r\n"
           "130,f,100,東証\r\n9Y9Y,g,100,東証\r\n");
    const std::vector<std::pair<const char*, std::optional<int>>> cases = {
        {"130A", 0}, {"130a", 0}, {" 131A", 1}, {"2a5c", 2}, {"1D00", 4}, {"9y9y", 6}, {"999A", std::nullopt}};
    for (const auto& [text, found] : cases) EXPECT_EQ(m.FindBrand(BrandCode::Lettered(text).value()), found) << text;
    // 1D00 is no number with an exponent.
    EXPECT_EQ(std::tuple(m.FindBrand(BrandCode(130)), m.FindBrand(BrandCode(1)), BrandCode::Lettered("2a5c")->TopicStem()),
              std::tuple(5, std::nullopt, "2A5C"));
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
    // Codes beyond 16 bits are kept as records but never match a wrapped-around code.
    EXPECT_EQ(std::tuple(m.FindBrand(BrandCode(7203)), m[40000].brandName, m.FindBrand(BrandCode(1)),
                         m.FindBrand(BrandCode(-32768)), m.FindBrand(BrandCode(32767))),
              std::tuple(40000 - 7203, "last", 39999, std::nullopt, 40000 - 32767));
}

}  // namespace
}  // namespace norvale
