// UTF-8 (the core's text) to and from UTF-16 (the Unicode entry points), in one place: defined
// beside the CP932 codec, which ends its conversions the same way.
#pragma once

#include <string>
#include <string_view>

namespace norvale::win32 {

// Malformed input becomes U+FFFD; never fails.
std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view wide);

}  // namespace norvale::win32
