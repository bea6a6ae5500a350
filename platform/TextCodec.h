// CP932 (Shift_JIS as Windows writes it) to and from UTF-8, with the platform's converter.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace norvale {

// Bytes that are not valid CP932 become U+FFFD; never fails.
std::string Cp932ToUtf8(std::string_view cp932);
// Characters without a CP932 form become '?'; never fails.
std::string Utf8ToCp932(std::string_view utf8);
// The same, with each character that has no CP932 form (or malformed byte) written as replacement,
// CP932 bytes, and counted in replaced.
std::string Utf8ToCp932(std::string_view utf8, std::string_view replacement, std::size_t& replaced);

// Number of characters in a UTF-8 text: every byte but the continuation bytes.
inline std::size_t Utf8CharCount(std::string_view utf8) {
    std::size_t n = 0;
    for (const char c : utf8) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    return n;
}

}  // namespace norvale
