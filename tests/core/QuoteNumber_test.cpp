// Reading the number of a quote text: what the server pads a value with is no word of its own.
// (The fuzzer checks every other text against the reading's definition.)
#include "table/QuoteNumber.h"

#include <gtest/gtest.h>

namespace norvale {
namespace {

TEST(QuoteNumber, ReadsTheLastWordWithSeparatorsAndPoint) {
    const std::vector<std::pair<std::string, double>> cases = {
        {"1,234", 1234}, {"12,345,678.5", 12345678.5}, {"現在値 1,050", 1050}, {"前日比 +12 ", 12},
        {"1,234\r\n", 1234}, {"1234\t", 1234}};
    for (const auto& [text, value] : cases) EXPECT_EQ(QuoteNumber(text), value) << '"' << text << '"';
}

}  // namespace
}  // namespace norvale
