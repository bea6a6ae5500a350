// Number patterns of the ranking table and the status bar.
#include "ranking/NumberFormat.h"

#include <gtest/gtest.h>

#include <limits>

namespace norvale {
namespace {

using Cases = std::vector<std::pair<double, std::string>>;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN(), kInf = std::numeric_limits<double>::infinity();

// The halves, the grouping, a zero left empty and the numbers that are no value.
TEST(NumberFormat, GroupedAndFixedRoundHalvesAwayFromZero) {
    const Cases grouped = {{1234567, "1,234,567"}, {-1234.5, "-1,235"}, {2.5, "3"}, {999.5, "1,000"},
                           {1e12, "1,000,000,000,000"}, {0.4, ""}, {-0.4, ""}, {kNaN, ""}, {kInf, ""}};
    for (const auto& [value, text] : grouped) EXPECT_EQ(FormatGrouped(value), text) << value;
    const Cases fixed = {{2.675, "2.68"},  // held in binary as 2.67499999…
                         {-1.005, "-1.01"}, {1234567.891, "1234567.89"}, {-0.004, "0.00"}, {kNaN, "0.00"},
                         {-99.995, "-100.00"}};
    for (const auto& [value, text] : fixed) EXPECT_EQ(FormatFixed2(value), text) << value;
    // Counts characters, not bytes; a blank in the place of the plus sign.
    EXPECT_EQ((std::vector<std::string>{PadLeft("銘柄", 4), std::string(LeftChars("トヨタ自動車株式会社です", 9)),
                                        SignPlace(1000), SignPlace(-7)}),
              (std::vector<std::string>{"  銘柄", "トヨタ自動車株式会", " 1000", "-7"}));
}

}  // namespace
}  // namespace norvale
