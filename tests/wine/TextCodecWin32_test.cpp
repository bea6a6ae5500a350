// The Windows CP932 converter where its tables differ from the Linux one's.
#include <gtest/gtest.h>

#include <string>

#include "platform/TextCodec.h"

namespace norvale {
namespace {

const std::string kReplacement = "\xEF\xBF\xBD";

TEST(TextCodecWin32, WritesTheSameBytesAsLinuxForLookAlikeCharacters) {
    // Windows has no entry for these; other programs write them for CP932's own glyphs.
    EXPECT_EQ(Utf8ToCp932("\xE2\x88\x92"), "\x81\x7C");  // MINUS SIGN
    EXPECT_EQ(Utf8ToCp932("\xE2\x80\x94"), "\x81\x5C");  // EM DASH
    EXPECT_EQ(Utf8ToCp932("\xE2\x80\x96"), "\x81\x61");  // DOUBLE VERTICAL LINE
    EXPECT_EQ(Utf8ToCp932("\xC2\xA2\xC2\xA3\xC2\xAC"), "\x81\x91\x81\x92\x81\xCA");
    EXPECT_EQ(Utf8ToCp932("\xC2\xA5"), "\\");
    // No best fit: a character without a CP932 form is '?', not a look-alike letter.
    EXPECT_EQ(Utf8ToCp932("\xC3\xA0"), "?");
    EXPECT_EQ(Utf8ToCp932("\xED\xA0\x80" "A"), "?A");  // an encoded surrogate is one bad character
    EXPECT_EQ(Utf8ToCp932(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(TextCodecWin32, TakesOnlyTextBytesAsCp932) {
    // Windows maps these single bytes to control or private-use characters.
    EXPECT_EQ(Cp932ToUtf8("\x80" "1\xA0" "2\xFE"), kReplacement + "1" + kReplacement + "2" + kReplacement);
    // 0x80 and 0xA0 are proper trail bytes.
    EXPECT_EQ(Cp932ToUtf8("\x83\x80\x83\xA0"), "ム\xCE\x92");  // ム and GREEK CAPITAL BETA
    // The user-defined rows are private-use characters, as on Linux.
    EXPECT_EQ(Cp932ToUtf8("\xF0\x40"), "\xEE\x80\x80");
    // A long text with one unassigned pair in the middle keeps everything around it.
    const std::string good(3000, 'x');
    EXPECT_EQ(Cp932ToUtf8(good + "\x85\x40" + good), good + kReplacement + good);
}

}  // namespace
}  // namespace norvale
