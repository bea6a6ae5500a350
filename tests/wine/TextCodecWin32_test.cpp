// The Windows CP932 converter where its tables differ from the Linux one's.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "platform/TextCodec.h"

namespace norvale {
namespace {

const std::string kReplacement = "\xEF\xBF\xBD";

TEST(TextCodecWin32, WritesTheSameBytesAsLinuxForLookAlikeCharacters) {
    const std::pair<std::string, std::string> cases[] = {
        // Windows has no entry for these; other programs write them for CP932's own glyphs: MINUS SIGN,
        // EM DASH, DOUBLE VERTICAL LINE, cent, pound, not, yen.
        {"\xE2\x88\x92", "\x81\x7C"}, {"\xE2\x80\x94", "\x81\x5C"}, {"\xE2\x80\x96", "\x81\x61"},
        {"\xC2\xA2\xC2\xA3\xC2\xAC", "\x81\x91\x81\x92\x81\xCA"}, {"\xC2\xA5", "\\"},
        // No best fit: a character without a CP932 form is '?', not a look-alike letter; an encoded
        // surrogate is one bad character.
        {"\xC3\xA0", "?"}, {"\xED\xA0\x80" "A", "?A"}, {std::string("a\0b", 3), std::string("a\0b", 3)}};
    for (const auto& [utf8, cp932] : cases) EXPECT_EQ(Utf8ToCp932(utf8), cp932) << utf8;
}

TEST(TextCodecWin32, TakesOnlyTextBytesAsCp932) {
    const std::string good(3000, 'x');
    const std::pair<std::string, std::string> cases[] = {
        // Windows maps these single bytes to control or private-use characters.
        {"\x80" "1\xA0" "2\xFE", kReplacement + "1" + kReplacement + "2" + kReplacement},
        {"\x83\x80\x83\xA0", "ム\xCE\x92"},  // 0x80 and 0xA0 as trail bytes: ム and GREEK CAPITAL BETA
        {"\xF0\x40", "\xEE\x80\x80"},          // the user-defined rows are private-use characters, as on Linux
        // A long text with one unassigned pair in the middle keeps everything around it.
        {good + "\x85\x40" + good, good + kReplacement + good}};
    for (const auto& [cp932, utf8] : cases) EXPECT_EQ(Cp932ToUtf8(cp932), utf8);
}

}  // namespace
}  // namespace norvale
