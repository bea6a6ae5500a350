// CP932 conversion through glibc iconv: its "CP932" table is Microsoft's ("SHIFT_JIS" is not).
#include <iconv.h>

#include <cerrno>
#include <string>

#include "platform/TextCodec.h"

namespace norvale {

namespace {

// Converts with one fallback for input the converter refuses: an invalid or truncated
// sequence is skipped one byte at a time and replaced.
std::string Convert(const char* to, const char* from, std::string_view in, std::string_view replacement) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return {};
    std::string out;
    out.reserve(in.size() * 3 / 2 + 8);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char buf[1024];
    while (srcLeft > 0) {
        char* dst = buf;
        size_t dstLeft = sizeof buf;
        const size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buf, static_cast<size_t>(dst - buf));
        if (rc == static_cast<size_t>(-1)) {
            if (errno == E2BIG) continue;
            // EILSEQ or EINVAL: one bad byte (or a cut double-byte character at the end).
            out.append(replacement);
            ++src;
            --srcLeft;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(cd);
    return out;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view cp932) { return Convert("UTF-8", "CP932", cp932, "\xEF\xBF\xBD"); }

std::string Utf8ToCp932(std::string_view utf8) { return Convert("CP932", "UTF-8", utf8, "?"); }

}  // namespace norvale
