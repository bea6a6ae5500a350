// Number patterns of the ranking table and the status bar.
#include "ranking/NumberFormat.h"

#include <gtest/gtest.h>

#include <limits>

namespace norvale {
namespace {

TEST(FormatGrouped, RoundsHalvesAwayFromZeroAndGroupsInThrees) {
    EXPECT_EQ(PadLeft(FormatGrouped(1234567), 12), "   1,234,567");
    EXPECT_EQ(FormatGrouped(1234.5), "1,235");
    EXPECT_EQ(FormatGrouped(-1234.5), "-1,235");
    EXPECT_EQ(FormatGrouped(0.5), "1");
    EXPECT_EQ(FormatGrouped(-0.5), "-1");
    EXPECT_EQ(FormatGrouped(2.5), "3");
    EXPECT_EQ(FormatGrouped(-2.5), "-3");
    EXPECT_EQ(FormatGrouped(1.4999), "1");
    EXPECT_EQ(FormatGrouped(999), "999");
    EXPECT_EQ(FormatGrouped(999.5), "1,000");
    EXPECT_EQ(FormatGrouped(999999.5), "1,000,000");
    EXPECT_EQ(FormatGrouped(-123456), "-123,456");
    EXPECT_EQ(FormatGrouped(1e12), "1,000,000,000,000");  // no limit on digits
    EXPECT_EQ(PadLeft(FormatGrouped(9999999.5), 9), "10,000,000");  // over-long: whole, not cut
}

TEST(FormatGrouped, ZeroAndNonFiniteGiveAnEmptyCell) {
    EXPECT_EQ(FormatGrouped(0), "");
    EXPECT_EQ(FormatGrouped(-0.0), "");
    EXPECT_EQ(FormatGrouped(0.4), "");
    EXPECT_EQ(FormatGrouped(-0.4), "");
    EXPECT_EQ(FormatGrouped(5e-324), "");
    EXPECT_EQ(PadLeft(FormatGrouped(0.4), 9), "         ");
    EXPECT_EQ(FormatGrouped(std::numeric_limits<double>::quiet_NaN()), "");
    EXPECT_EQ(FormatGrouped(std::numeric_limits<double>::infinity()), "");
    EXPECT_EQ(FormatGrouped(std::numeric_limits<double>::max()).size(), 309u + 102u);
}

TEST(FormatFixed2, TwoDecimalsHalvesJudgedOnTheShortestForm) {
    EXPECT_EQ(PadLeft(FormatFixed2(-2.5), 6), " -2.50");
    EXPECT_EQ(PadLeft(FormatFixed2(75), 13), "        75.00");
    EXPECT_EQ(FormatFixed2(0), "0.00");
    EXPECT_EQ(FormatFixed2(0.1), "0.10");
    EXPECT_EQ(FormatFixed2(2.675), "2.68");  // held in binary as 2.67499999…
    EXPECT_EQ(FormatFixed2(1.005), "1.01");
    EXPECT_EQ(FormatFixed2(-1.005), "-1.01");
    EXPECT_EQ(FormatFixed2(1.0049), "1.00");
    EXPECT_EQ(FormatFixed2(0.005), "0.01");
    EXPECT_EQ(FormatFixed2(-0.005), "-0.01");
    EXPECT_EQ(FormatFixed2(0.995), "1.00");
    EXPECT_EQ(FormatFixed2(9.999), "10.00");
    EXPECT_EQ(FormatFixed2(1234567.891), "1234567.89");  // no grouping in this pattern
    EXPECT_EQ(FormatFixed2(1e20), "100000000000000000000.00");
    EXPECT_EQ(FormatFixed2(1e-7), "0.00");
}

TEST(FormatFixed2, ZeroAfterRoundingHasNoMinusAndOverLongTextsStayWhole) {
    EXPECT_EQ(FormatFixed2(-0.0), "0.00");
    EXPECT_EQ(FormatFixed2(-0.004), "0.00");
    EXPECT_EQ(FormatFixed2(-0.0049999), "0.00");
    EXPECT_EQ(FormatFixed2(std::numeric_limits<double>::quiet_NaN()), "0.00");
    EXPECT_EQ(FormatFixed2(-std::numeric_limits<double>::infinity()), "0.00");
    EXPECT_EQ(PadLeft(FormatFixed2(-99.994), 6), "-99.99");
    EXPECT_EQ(PadLeft(FormatFixed2(-99.995), 6), "-100.00");
    EXPECT_EQ(PadLeft(FormatFixed2(999.995), 6), "1000.00");
}

TEST(PadLeft, CountsCharactersNotBytes) {
    EXPECT_EQ(PadLeft("", 3), "   ");
    EXPECT_EQ(PadLeft("銘柄", 4), "  銘柄");
    EXPECT_EQ(PadLeft("abcdef", 3), "abcdef");
    EXPECT_EQ(LeftChars("トヨタ自動車株式会社です", 9), "トヨタ自動車株式会");
    EXPECT_EQ(LeftChars("ｺｰﾄﾞ", 9), "ｺｰﾄﾞ");
    EXPECT_EQ(LeftChars("ab", 0), "");
    EXPECT_EQ(LeftChars("", 9), "");
}

TEST(SignPlace, BlankInThePlaceOfThePlusSign) {
    EXPECT_EQ(SignPlace(0), " 0");
    EXPECT_EQ(SignPlace(1000), " 1000");
    EXPECT_EQ(SignPlace(-7), "-7");
}

}  // namespace
}  // namespace norvale
