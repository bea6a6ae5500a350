// CP932 conversion through Windows' own code page 932 tables, the ones the quote server writes with.
// Malformed input is handled the same way as on Linux: one replacement per broken character.
#include <windows.h>

#include <cstddef>
#include <string>

#include "platform/TextCodec.h"
#include "platform/win32/Win32Text.h"

namespace norvale {

namespace {

constexpr UINT kCp932 = 932;
constexpr wchar_t kReplacement = 0xFFFD;

bool IsCp932Lead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
bool IsCp932Trail(unsigned char c) { return c >= 0x40 && c <= 0xFC && c != 0x7F; }
// Single bytes Windows maps to control or private-use characters rather than text.
bool IsCp932Unassigned(unsigned char c) { return c == 0x80 || c == 0xA0 || c >= 0xFD; }

bool ToWideStrict(std::string_view in, std::wstring& out) {
    const int inLen = static_cast<int>(in.size());
    const int n = MultiByteToWideChar(kCp932, MB_ERR_INVALID_CHARS, in.data(), inLen, nullptr, 0);
    if (n <= 0) return false;
    const std::size_t at = out.size();
    out.resize(at + static_cast<std::size_t>(n));
    if (MultiByteToWideChar(kCp932, MB_ERR_INVALID_CHARS, in.data(), inLen, out.data() + at, n) == n) return true;
    out.resize(at);
    return false;
}

// A run of well-formed characters, converted whole; when one of them is unassigned, the run is
// converted again one character at a time and each refused character becomes one U+FFFD.
void AppendRun(std::string_view run, std::wstring& out) {
    if (run.empty() || ToWideStrict(run, out)) return;
    for (std::size_t i = 0; i < run.size();) {
        const std::size_t width = IsCp932Lead(static_cast<unsigned char>(run[i])) ? 2 : 1;
        if (!ToWideStrict(run.substr(i, width), out)) out += kReplacement;
        i += width;
    }
}

// Characters that other programs write for the same glyphs as CP932's own; Windows' table has no
// entry for them, so they take the code point that Windows does map.
wchar_t Cp932Equivalent(char32_t c) {
    switch (c) {
    case 0x00A2: return 0xFFE0;  // CENT SIGN
    case 0x00A3: return 0xFFE1;  // POUND SIGN
    case 0x00A5: return 0x005C;  // YEN SIGN, 0x5C as Japanese fonts draw it
    case 0x00AC: return 0xFFE2;  // NOT SIGN
    case 0x2014: return 0x2015;  // EM DASH
    case 0x2016: return 0x2225;  // DOUBLE VERTICAL LINE
    case 0x203E: return 0x007E;  // OVERLINE
    case 0x2212: return 0xFF0D;  // MINUS SIGN
    case 0x301C: return 0xFF5E;  // WAVE DASH
    default: return static_cast<wchar_t>(c);
    }
}

constexpr char32_t kMalformed = 0xFFFFFFFF;
constexpr wchar_t kUnmapped = 0xFFFF;  // a noncharacter, which no code page maps

// UTF-16 to code page 932 without best fit; false when the converter failed, true with *defaulted
// set when some character had no CP932 form.
bool Narrow(std::wstring_view wide, std::string& out, BOOL* defaulted) {
    out.clear();
    if (wide.empty()) return true;
    const int wideLen = static_cast<int>(wide.size());
    const int size =
        WideCharToMultiByte(kCp932, WC_NO_BEST_FIT_CHARS, wide.data(), wideLen, nullptr, 0, "?", defaulted);
    if (size <= 0) return false;
    out.resize(static_cast<std::size_t>(size));
    return WideCharToMultiByte(kCp932, WC_NO_BEST_FIT_CHARS, wide.data(), wideLen, out.data(), size, "?", nullptr) ==
           size;
}

// Length of the UTF-8 sequence that starts at s[0] and the code point it holds, kMalformed when the
// sequence is malformed. A bad lead or continuation byte goes alone; a sequence cut by the end of
// the text, or well-formed but not a character (overlong, surrogate), goes whole.
std::size_t DecodeUtf8(const unsigned char* s, std::size_t left, char32_t& cp) {
    cp = kMalformed;
    std::size_t length = 0;
    if (s[0] < 0x80) {
        cp = s[0];
        return 1;
    }
    if (s[0] >= 0xC2 && s[0] <= 0xDF) length = 2;
    else if (s[0] >= 0xE0 && s[0] <= 0xEF) length = 3;
    else if (s[0] >= 0xF0 && s[0] <= 0xF4) length = 4;
    else return 1;
    for (std::size_t i = 1; i < length; ++i) {
        if (i >= left) return left;
        if ((s[i] & 0xC0) != 0x80) return 1;
    }
    char32_t c = s[0] & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) c = c << 6 | (s[i] & 0x3F);
    const bool overlong = (length == 3 && c < 0x800) || (length == 4 && c < 0x10000);
    const bool surrogate = c >= 0xD800 && c <= 0xDFFF;
    if (!overlong && !surrogate && c <= 0x10FFFF) cp = c;
    return length;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view cp932) {
    std::wstring wide;
    wide.reserve(cp932.size());
    const auto* s = reinterpret_cast<const unsigned char*>(cp932.data());
    const std::size_t n = cp932.size();
    std::size_t runStart = 0;
    std::size_t i = 0;
    while (i < n) {
        if (IsCp932Lead(s[i]) && i + 1 < n && IsCp932Trail(s[i + 1])) {
            i += 2;
        } else if (IsCp932Lead(s[i]) || IsCp932Unassigned(s[i])) {
            // Only the bad byte goes, so that a line end or a comma after a stray lead byte survives.
            AppendRun(cp932.substr(runStart, i - runStart), wide);
            wide += kReplacement;
            runStart = ++i;
        } else {
            ++i;
        }
    }
    AppendRun(cp932.substr(runStart), wide);
    return win32::Utf8(wide);
}

std::string Utf8ToCp932(std::string_view utf8) {
    std::size_t replaced = 0;
    return Utf8ToCp932(utf8, "?", replaced);
}

std::string Utf8ToCp932(std::string_view utf8, std::string_view replacement, std::size_t& replaced) {
    std::wstring wide;
    wide.reserve(utf8.size());
    const auto* s = reinterpret_cast<const unsigned char*>(utf8.data());
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t cp = kMalformed;
        i += DecodeUtf8(s + i, utf8.size() - i, cp);
        // CP932 has nothing beyond the first plane: such a character is one unmapped U+FFFF, not two halves.
        wide += cp > 0xFFFF ? kUnmapped : Cp932Equivalent(cp);
    }
    // Best-fit mappings (é → e) would change text silently; an unmapped character becomes the default.
    std::string out;
    BOOL defaulted = FALSE;
    if (!Narrow(wide, out, &defaulted) || defaulted) {
        // Again one character at a time, to put the replacement for each unmapped one.
        out.clear();
        std::string one;
        for (const wchar_t c : wide) {
            defaulted = FALSE;
            if (c != kUnmapped && Narrow(std::wstring_view(&c, 1), one, &defaulted) && !defaulted) {
                out += one;
            } else {
                out += replacement;
                ++replaced;
            }
        }
    }
    return out;
}

}  // namespace norvale

namespace norvale::win32 {

std::wstring Wide(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int in = static_cast<int>(utf8.size());
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), in, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), in, out.data(), n);
    return out;
}

std::string Utf8(std::wstring_view wide) {
    if (wide.empty()) return {};
    const int in = static_cast<int>(wide.size());
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), in, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, wide.data(), in, out.data(), n, nullptr, nullptr);
    return out;
}

}  // namespace norvale::win32
