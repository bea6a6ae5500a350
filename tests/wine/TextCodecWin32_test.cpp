// The Windows CP932 converter where its tables differ from the Linux one's (the core tests, run
// under Wine too, check the rest).
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "platform/TextCodec.h"

namespace norvale {
namespace {

// Windows has no entry for MINUS SIGN or the yen sign, writes best-fit letters and reads 0x80 as a
// control character; a watch list written or read here must give the same bytes and text as on Linux.
TEST(TextCodecWin32, WritesAndReadsAsLinuxDoes) {
    const std::pair<std::string, std::string> written[] = {
        {"\xE2\x88\x92", "\x81\x7C"}, {"\xC2\xA5", "\\"}, {"\xC3\xA0", "?"}};
    for (const auto& [utf8, cp932] : written) EXPECT_EQ(Utf8ToCp932(utf8), cp932) << utf8;
    EXPECT_EQ(Cp932ToUtf8("\x80" "1\x83\x80"), "\xEF\xBF\xBD" "1ム");
}

}  // namespace
}  // namespace norvale
