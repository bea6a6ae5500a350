// Number patterns of the ranking table and the status bar.
#include "ranking/NumberFormat.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace norvale {
namespace {

using Cases = std::vector<std::pair<double, std::string>>;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN(), kInf = std::numeric_limits<double>::infinity();

TEST(FormatGrouped, RoundsHalvesAwayFromZeroGroupsInThreesAndLeavesZeroEmpty) {
    const Cases cases = {
        {1234567, "1,234,567"}, {1234.5, "1,235"}, {-1234.5, "-1,235"}, {0.5, "1"}, {-0.5, "-1"}, {2.5, "3"},
        {-2.5, "-3"}, {1.4999, "1"}, {999, "999"}, {999.5, "1,000"}, {999999.5, "1,000,000"}, {-123456, "-123,456"},
        {1e12, "1,000,000,000,000"},  // no limit on digits
        {9999999.5, "10,000,000"}, {0, ""}, {-0.0, ""}, {0.4, ""}, {-0.4, ""}, {5e-324, ""}, {kNaN, ""}, {kInf, ""}};
    for (const auto& [value, text] : cases) EXPECT_EQ(FormatGrouped(value), text) << value;
    EXPECT_EQ(FormatGrouped(std::numeric_limits<double>::max()).size(), 309u + 102u);
}

TEST(FormatFixed2, TwoDecimalsHalvesJudgedOnTheShortestFormAndZeroWithoutMinus) {
    const Cases cases = {
        {0, "0.00"}, {0.1, "0.10"}, {2.675, "2.68"},  // held in binary as 2.67499999…
        {1.005, "1.01"}, {-1.005, "-1.01"}, {1.0049, "1.00"}, {0.005, "0.01"}, {-0.005, "-0.01"}, {0.995, "1.00"},
        {9.999, "10.00"}, {1234567.891, "1234567.89"},  // no grouping in this pattern
        {1e20, "100000000000000000000.00"}, {1e-7, "0.00"}, {-0.0, "0.00"}, {-0.004, "0.00"},
        {-0.0049999, "0.00"}, {kNaN, "0.00"}, {-kInf, "0.00"},
        {-2.5, "-2.50"}, {75, "75.00"}, {-99.994, "-99.99"}, {-99.995, "-100.00"}, {999.995, "1000.00"}};
    for (const auto& [value, text] : cases) EXPECT_EQ(FormatFixed2(value), text) << value;
}

// Counts characters, not bytes; a blank in the place of the plus sign.
TEST(PadLeft, LeftCharsAndSignPlaceCountCharacters) {
    EXPECT_EQ((std::vector<std::string>{PadLeft("", 3), PadLeft("銘柄", 4), PadLeft("abcdef", 3),
                                        std::string(LeftChars("トヨタ自動車株式会社です", 9)), std::string(LeftChars("ｺｰﾄﾞ", 9)),
                                        std::string(LeftChars("ab", 0)), std::string(LeftChars("", 9)), SignPlace(0),
                                        SignPlace(1000), SignPlace(-7)}),
              (std::vector<std::string>{"   ", "  銘柄", "abcdef", "トヨタ自動車株式会", "ｺｰﾄﾞ", "", "", " 0", " 1000", "-7"}));
}

}  // namespace
}  // namespace norvale
