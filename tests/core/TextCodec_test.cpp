// CP932 to and from UTF-8 through the platform's converter.
#include "platform/TextCodec.h"

#include <gtest/gtest.h>

namespace norvale {
namespace {

using Cases = std::vector<std::pair<std::string, std::string>>;
const std::string kBad = "\xEF\xBF\xBD";  // the replacement character

TEST(TextCodec, DecodesMicrosoftsTableEncodesAndReplacesBadBytesWithoutSwallowingWhatFollows) {
    const Cases cases = {
        {"\x87\x40", "①"},                // NEC special row
        {"\xFB\xFC", "髙"},                // IBM extension
        {"\x81\x60", "\xEF\xBD\x9E"},  // FULLWIDTH TILDE, not WAVE DASH
        {"\x5C\x7E", "\\~"}, {"\xBA\xB0\xC4\xDE", "ｺｰﾄﾞ"},
        // A lead byte before a line end or a comma: only the lead byte goes; a stray trail-range byte;
        // an unassigned double-byte code is one character, replaced once.
        {"\x83\r\n", kBad + "\r\n"}, {"\x83,1", kBad + ",1"}, {"\xFD\x83\x67", kBad + "ト"}, {"\x85\x40Z", kBad + "Z"}};
    for (const auto& [cp932, utf8] : cases) EXPECT_EQ(Cp932ToUtf8(cp932), utf8) << utf8;

    // Encoded, names round-trip; each unconvertible character becomes one question mark.
    const std::string names = "トヨタ自動車,髙島屋,①テスト～商事,三菱ＵＦＪ,ｺｰﾄﾞ";
    EXPECT_EQ(Cp932ToUtf8(Utf8ToCp932(names)), names);
    const Cases encoded = {
        {"\xE3\x80\x9C", "\x81\x60"},  // WAVE DASH, as other programs write ～, lands on the same pair
        {"A\xF0\x9F\x98\x80" "B", "A?B"}, {"\xFF" "1", "?1"}, {"\xE3\x41", "?A"}, {"7\xE3\x81", "7?"}};
    for (const auto& [utf8, cp932] : encoded) EXPECT_EQ(Utf8ToCp932(utf8), cp932) << cp932;
    // With a replacement of the caller's (here 〓), each one counted; a '?' of the text is no replacement.
    std::size_t replaced = 0;
    EXPECT_EQ(Utf8ToCp932("?\xF0\x9F\x98\x80" "caf\xC3\xA9\xFF葛", "\x81\xAC", replaced),
              "?\x81\xAC" "caf\x81\xAC\x81\xAC\x8A\x8B");
    EXPECT_EQ(replaced, 3u);
}

}  // namespace
}  // namespace norvale
