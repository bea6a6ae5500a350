// Reading the number of a quote text.
#include "table/QuoteNumber.h"

#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace norvale {
namespace {

TEST(QuoteNumber, ReadsTheLastWordWithSeparatorsAndPoint) {
    // Trailing blanks, tabs and line ends are not a word of their own: a padded value still reads.
    const std::vector<std::pair<std::string, double>> cases = {
        {"1234", 1234}, {"1,234", 1234}, {"12,345,678.5", 12345678.5}, {"0.25", 0.25}, {"-3.5", -3.5}, {"+7", 7},
        {"5.", 5}, {".5", 0.5}, {"0", 0}, {"  42", 42}, {"現在値 1,050", 1050}, {"a b 3", 3}, {"12 34", 34},
        {"1234   ", 1234}, {"前日比 +12 ", 12}, {"1,234\r\n", 1234}, {"1234\t", 1234}};
    for (const auto& [text, value] : cases) EXPECT_EQ(QuoteNumber(text), value) << '"' << text << '"';
}

TEST(QuoteNumber, TextsWithoutAFiniteNumberHaveNoValue) {
    // The last two beyond the range of a double, either way.
    for (const std::string& text : std::vector<std::string>{
             "", " ", "   ", "---", "nan", "NaN", "inf", "-inf", "infinity", "1e5", "0x10", "1.2.3", "12a", ",123", "123,",
             "1,,234", "1.234,5", "-", "+", ".", "１２３", "1 2 x", "1,234 abc", std::string(400, '9'),
             "0." + std::string(400, '0') + "1"})
        EXPECT_EQ(QuoteNumber(text), std::nullopt) << '"' << text << '"';
    EXPECT_EQ(QuoteNumber("1" + std::string(300, '0')), 1e300);  // long but in range
}

}  // namespace
}  // namespace norvale
