// CP932 conversion through glibc iconv: its "CP932" table is Microsoft's ("SHIFT_JIS" is not).
#include <iconv.h>

#include <cerrno>
#include <cstddef>
#include <string>

#include "platform/TextCodec.h"

namespace norvale {

namespace {

bool IsCp932Lead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
bool IsCp932Trail(unsigned char c) { return c >= 0x40 && c <= 0xFC && c != 0x7F; }

// Bytes of a CP932 character that the converter refused: a lead byte with a proper trail
// byte is one unmapped character; otherwise only the one byte goes, so that a line end or
// a comma after a stray lead byte survives.
std::size_t Cp932BadLength(const unsigned char* s, std::size_t left) {
    if (left >= 2 && IsCp932Lead(s[0]) && IsCp932Trail(s[1])) return 2;
    return 1;
}

// Bytes of a UTF-8 character that the converter refused: a whole well-formed sequence
// (a character CP932 lacks) is one character; a malformed byte goes alone.
std::size_t Utf8BadLength(const unsigned char* s, std::size_t left) {
    std::size_t length = 1;
    if (s[0] >= 0xC2 && s[0] <= 0xDF) length = 2;
    else if (s[0] >= 0xE0 && s[0] <= 0xEF) length = 3;
    else if (s[0] >= 0xF0 && s[0] <= 0xF4) length = 4;
    for (std::size_t i = 1; i < length && i < left; ++i) {
        if ((s[i] & 0xC0) != 0x80) return 1;
    }
    return length < left ? length : left;  // a character cut short at the end counts once
}

using BadLength = std::size_t (*)(const unsigned char*, std::size_t);

// Converts everything; input the converter refuses becomes one replacement per character.
std::string Convert(const char* to, const char* from, std::string_view in, std::string_view replacement,
                    BadLength badLength) {
    std::string out;
    if (in.empty()) return out;
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return out;

    // Neither direction grows a byte into more than three, replacements included.
    out.resize(in.size() * 3 + 16);
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    std::size_t used = 0;
    while (srcLeft > 0) {
        char* dst = out.data() + used;
        std::size_t dstLeft = out.size() - used;
        const std::size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        used = static_cast<std::size_t>(dst - out.data());
        if (rc != static_cast<std::size_t>(-1)) break;
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
            continue;
        }
        // EILSEQ: an invalid or unmapped character; EINVAL: one cut short at the end.
        const std::size_t skip = badLength(reinterpret_cast<const unsigned char*>(src), srcLeft);
        if (out.size() - used < replacement.size()) out.resize(out.size() * 2);
        out.replace(used, replacement.size(), replacement);
        used += replacement.size();
        src += skip;
        srcLeft -= skip;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
    out.resize(used);
    return out;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view cp932) {
    return Convert("UTF-8", "CP932", cp932, "\xEF\xBF\xBD", Cp932BadLength);
}

std::string Utf8ToCp932(std::string_view utf8) { return Convert("CP932", "UTF-8", utf8, "?", Utf8BadLength); }

}  // namespace norvale
