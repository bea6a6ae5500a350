// Reading the number of a quote text.
#include "quotes/QuoteNumber.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>

namespace norvale {
namespace {

TEST(QuoteNumber, ReadsPlainNumbersWithSeparatorsAndPoint) {
    EXPECT_EQ(QuoteNumber("1234"), 1234.0);
    EXPECT_EQ(QuoteNumber("1,234"), 1234.0);
    EXPECT_EQ(QuoteNumber("12,345,678.5"), 12345678.5);
    EXPECT_EQ(QuoteNumber("0.25"), 0.25);
    EXPECT_EQ(QuoteNumber("-3.5"), -3.5);
    EXPECT_EQ(QuoteNumber("+7"), 7.0);
    EXPECT_EQ(QuoteNumber("5."), 5.0);
    EXPECT_EQ(QuoteNumber(".5"), 0.5);
    EXPECT_EQ(QuoteNumber("0"), 0.0);
    EXPECT_EQ(QuoteNumber("  42"), 42.0);
}

TEST(QuoteNumber, TakesOnlyTheWordAfterTheLastBlank) {
    EXPECT_EQ(QuoteNumber("現在値 1,050"), 1050.0);
    EXPECT_EQ(QuoteNumber("a b 3"), 3.0);
    EXPECT_EQ(QuoteNumber("12 34"), 34.0);
    // Trailing blanks are not a word of their own: a padded value still reads.
    EXPECT_EQ(QuoteNumber("1234   "), 1234.0);
    EXPECT_EQ(QuoteNumber("前日比 +12 "), 12.0);
    EXPECT_EQ(QuoteNumber("1,234 abc"), std::nullopt);
}

TEST(QuoteNumber, TextsWithoutAFiniteNumberHaveNoValue) {
    for (const char* text : {"", " ", "   ", "---", "nan", "NaN", "inf", "-inf", "infinity", "1e5", "0x10", "1.2.3",
                             "12a", ",123", "123,", "1,,234", "1.234,5", "-", "+", ".", "１２３", "1 2 x"}) {
        EXPECT_EQ(QuoteNumber(text), std::nullopt) << '"' << text << '"';
    }
    // Beyond the range of a double, either way.
    EXPECT_EQ(QuoteNumber(std::string(400, '9')), std::nullopt);
    EXPECT_EQ(QuoteNumber("0." + std::string(400, '0') + "1"), std::nullopt);
    // Long but in range is a number.
    const auto big = QuoteNumber("1" + std::string(300, '0'));
    ASSERT_TRUE(big.has_value());
    EXPECT_TRUE(std::isfinite(*big));
}

}  // namespace
}  // namespace norvale
