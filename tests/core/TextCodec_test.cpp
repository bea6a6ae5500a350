// CP932 to and from UTF-8 through the platform's converter.
#include "platform/TextCodec.h"

#include <gtest/gtest.h>

namespace norvale {
namespace {

const std::string kReplacement = "\xEF\xBF\xBD";

TEST(TextCodec, DecodesMicrosoftsTableNotPlainShiftJis) {
    EXPECT_EQ(Cp932ToUtf8("7203,\x83\x67\x83\x88\x83\x5E"), "7203,トヨタ");
    EXPECT_EQ(Cp932ToUtf8("\x87\x40"), "①");             // NEC special row
    EXPECT_EQ(Cp932ToUtf8("\xFB\xFC"), "髙");             // IBM extension
    EXPECT_EQ(Cp932ToUtf8("\x81\x60"), "\xEF\xBD\x9E");    // FULLWIDTH TILDE, not WAVE DASH
    EXPECT_EQ(Cp932ToUtf8("\x81\x7C"), "\xEF\xBC\x8D");    // FULLWIDTH HYPHEN-MINUS
    EXPECT_EQ(Cp932ToUtf8("\x5C\x7E"), "\\~");             // single bytes stay ASCII
    EXPECT_EQ(Cp932ToUtf8("\xBA\xB0\xC4\xDE"), "ｺｰﾄﾞ");    // half-width katakana
    EXPECT_EQ(Cp932ToUtf8(""), "");
}

TEST(TextCodec, ReplacesBadCp932WithoutSwallowingWhatFollows) {
    // A lead byte cut off by the end of the text.
    EXPECT_EQ(Cp932ToUtf8("AB\x83"), "AB" + kReplacement);
    // A lead byte before a line end or a comma: only the lead byte goes.
    EXPECT_EQ(Cp932ToUtf8("\x83\r\n"), kReplacement + "\r\n");
    EXPECT_EQ(Cp932ToUtf8("\x83,1"), kReplacement + ",1");
    // A stray trail-range byte on its own, then a good character.
    EXPECT_EQ(Cp932ToUtf8("\xFD\x83\x67"), kReplacement + "ト");
    // An unassigned double-byte code is one character, replaced once.
    EXPECT_EQ(Cp932ToUtf8("\x85\x40Z"), kReplacement + "Z");
}

TEST(TextCodec, EncodesAndRoundTripsCp932Names) {
    const std::string names = "トヨタ自動車,髙島屋,①テスト～商事,三菱ＵＦＪ,ｺｰﾄﾞ";
    const std::string bytes = Utf8ToCp932(names);
    EXPECT_EQ(bytes.substr(0, 6), "\x83\x67\x83\x88\x83\x5E");
    EXPECT_EQ(Cp932ToUtf8(bytes), names);
    // WAVE DASH, as other programs write ～, lands on the same byte pair.
    EXPECT_EQ(Utf8ToCp932("\xE3\x80\x9C"), "\x81\x60");
}

TEST(TextCodec, ReplacesEachUnconvertibleCharacterWithOneQuestionMark) {
    EXPECT_EQ(Utf8ToCp932("A\xF0\x9F\x98\x80" "B"), "A?B");  // an emoji, four bytes
    EXPECT_EQ(Utf8ToCp932("caf\xC3\xA9"), "caf?");            // é has no CP932 form
    EXPECT_EQ(Utf8ToCp932("\xFF" "1"), "?1");                  // not UTF-8 at all
    EXPECT_EQ(Utf8ToCp932("\xE3\x41"), "?A");                  // a sequence broken by ASCII
    EXPECT_EQ(Utf8ToCp932("7\xE3\x81"), "7?");                 // cut short at the end
    EXPECT_EQ(Utf8ToCp932("\xF0\x9F\x98\x80\xF0\x9F\x98\x80"), "??");
}

}  // namespace
}  // namespace norvale
