// CP932 (Shift_JIS as Windows writes it) to and from UTF-8, with the platform's converter.
#pragma once

#include <string>
#include <string_view>

namespace norvale {

// Bytes that are not valid CP932 become U+FFFD; never fails.
std::string Cp932ToUtf8(std::string_view cp932);
// Characters without a CP932 form become '?'; never fails.
std::string Utf8ToCp932(std::string_view utf8);

}  // namespace norvale
