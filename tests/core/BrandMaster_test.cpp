// The brand master: codes with letters, and a master longer than 16 bits count. How fields split and
// numeric codes match is the golden table's (NumericCodes_test) and fuzz_brand_master's.
#include "watchlist/BrandMaster.h"

#include <gtest/gtest.h>

namespace norvale {
namespace {

TEST(BrandMaster, LetteredCodesMatchInEitherCaseWithoutBlanksAndEveryRecordPast32767Counts) {
    BrandMaster m;
    m.Load("130A,a,100,東証\r\n 131a ,b,100,東証\r\n\" 2A5C\t\",c,100,東証\r\n130a,d,100,東証\r\n1D00,e,100,東証\r\n"
           "130,f,100,東証\r\n");
    const std::vector<std::pair<const char*, std::optional<int>>> cases = {
        {"130a", 0}, {" 131A", 1}, {"2a5c", 2}, {"1D00", 4}, {"999A", std::nullopt}};
    for (const auto& [text, found] : cases) EXPECT_EQ(m.FindBrand(BrandCode::Lettered(text).value()), found) << text;
    // 1D00 is no number with an exponent.
    EXPECT_EQ(std::tuple(m.FindBrand(BrandCode(130)), m.FindBrand(BrandCode(1))), std::tuple(5, std::nullopt));
    // A letter in the first or third place, one of the unused, too short or long.
    for (const char* text : {"A130", "13A0", "1300", "130B", "1I00", "13A", "130AA", "１３０Ａ"})
        EXPECT_EQ(BrandCode::Lettered(text), std::nullopt) << text;

    // A master past 32767 records keeps every one.
    std::string text;
    for (int i = 0; i < 40000; ++i) text += std::to_string(40000 - i) + ",n" + std::to_string(i) + ",100,東証\r\n";
    text += "7203,last,100,東証\r\n";
    m.Load(text);
    ASSERT_EQ(m.BrandCount(), 40001);
    // Codes beyond 16 bits are kept as records but never match a wrapped-around code.
    EXPECT_EQ(std::tuple(m.FindBrand(BrandCode(7203)), m[40000].brandName, m.FindBrand(BrandCode(1)),
                         m.FindBrand(BrandCode(-32768))),
              std::tuple(40000 - 7203, "last", 39999, std::nullopt));
}

}  // namespace
}  // namespace norvale
