// CP932 conversion through glibc iconv: its "CP932" table is Microsoft's ("SHIFT_JIS" is not).
#include <iconv.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

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

// Open converters by direction, closed when their thread ends.
class Converters {
public:
    Converters() = default;
    Converters(const Converters&) = delete;
    Converters& operator=(const Converters&) = delete;
    ~Converters() {
        for (const Entry& e : open_) iconv_close(e.cd);
    }
    iconv_t Get(const char* to, const char* from) {
        for (const Entry& e : open_) {
            if (std::strcmp(e.to, to) == 0 && std::strcmp(e.from, from) == 0) return e.cd;
        }
        iconv_t cd = iconv_open(to, from);
        if (cd != reinterpret_cast<iconv_t>(-1)) open_.push_back({to, from, cd});
        return cd;
    }

private:
    struct Entry {
        const char* to;
        const char* from;
        iconv_t cd;
    };
    std::vector<Entry> open_;
};

// Opening a converter costs more than converting an item name, and the DDE layer converts one per
// request: each thread keeps its converters open.
iconv_t OpenConverter(const char* to, const char* from) {
    thread_local Converters converters;
    return converters.Get(to, from);
}

// Converts everything; input the converter refuses becomes one replacement per character, counted.
std::string Convert(const char* to, const char* from, std::string_view in, std::string_view replacement,
                    BadLength badLength, std::size_t& replaced) {
    std::string out;
    if (in.empty()) return out;
    iconv_t cd = OpenConverter(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);

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
        if (out.size() - used < replacement.size()) out.resize(out.size() * 2 + replacement.size());
        std::memcpy(out.data() + used, replacement.data(), replacement.size());
        used += replacement.size();
        ++replaced;
        src += skip;
        srcLeft -= skip;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    out.resize(used);
    return out;
}

constexpr char kReplacementChar[] = "\xEF\xBF\xBD";

// The converter's answer for each single byte and each lead byte with a trail byte, asked the first
// time that character is met: a long text then decodes without a call per character, and a start-up
// that decodes a thousand names asks about the characters in them only, not about all 11,000.
// An answer packs the UTF-8 bytes (at most three) with their count and an "asked" mark; threads that
// ask the same character at once store the same answer.
class Cp932Answers {
public:
    static Cp932Answers& Get() {
        static Cp932Answers answers;
        return answers;
    }
    // The answer for one byte or a lead byte and its trail; 0 when no converter could be opened.
    std::uint32_t Of(const unsigned char* s, std::size_t size) {
        std::atomic<std::uint32_t>& slot = answers_[size == 1 ? s[0] : (std::size_t{s[0]} << 8 | s[1])];
        std::uint32_t answer = slot.load(std::memory_order_relaxed);
        if (answer == 0) {
            answer = Ask(s, size);
            slot.store(answer, std::memory_order_relaxed);
        }
        return answer;
    }
    static constexpr std::uint32_t kAsked = 1u << 31;
    static int Length(std::uint32_t answer) { return static_cast<int>(answer >> 24 & 3); }
    static char Byte(std::uint32_t answer, int k) { return static_cast<char>(answer >> (8 * k) & 0xFF); }

private:
    static std::uint32_t Ask(const unsigned char* in, std::size_t size) {
        iconv_t cd = OpenConverter("UTF-8", "CP932");
        if (cd == reinterpret_cast<iconv_t>(-1)) return 0;
        char buf[8];
        char* src = reinterpret_cast<char*>(const_cast<unsigned char*>(in));
        char* dst = buf;
        std::size_t srcLeft = size;
        std::size_t dstLeft = sizeof buf;
        const std::size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        const auto length = static_cast<std::size_t>(dst - buf);
        if (rc == static_cast<std::size_t>(-1) || srcLeft != 0 || length == 0 || length > 3) return kAsked;
        std::uint32_t answer = kAsked | static_cast<std::uint32_t>(length) << 24;
        for (std::size_t k = 0; k < length; ++k) answer |= std::uint32_t{static_cast<unsigned char>(buf[k])} << (8 * k);
        return answer;
    }

    std::array<std::atomic<std::uint32_t>, 65536> answers_{};
};

}  // namespace

std::string Cp932ToUtf8(std::string_view cp932) {
    Cp932Answers& answers = Cp932Answers::Get();
    std::string out(cp932.size() * 3, '\0');
    char* dst = out.data();
    const auto* s = reinterpret_cast<const unsigned char*>(cp932.data());
    const std::size_t n = cp932.size();
    for (std::size_t i = 0; i < n;) {
        const bool pair = IsCp932Lead(s[i]) && i + 1 < n;
        const std::uint32_t answer = answers.Of(s + i, pair ? 2 : 1);
        if (answer == 0) return {};
        std::size_t used = 1;
        if (pair) used = Cp932Answers::Length(answer) != 0 ? 2 : Cp932BadLength(s + i, n - i);
        if (Cp932Answers::Length(answer) == 0) {
            dst = std::copy_n(kReplacementChar, 3, dst);
        } else {
            for (int k = 0; k < Cp932Answers::Length(answer); ++k) *dst++ = Cp932Answers::Byte(answer, k);
        }
        i += used;
    }
    out.resize(static_cast<std::size_t>(dst - out.data()));
    return out;
}

std::string Utf8ToCp932(std::string_view utf8) {
    std::size_t replaced = 0;
    return Utf8ToCp932(utf8, "?", replaced);
}

std::string Utf8ToCp932(std::string_view utf8, std::string_view replacement, std::size_t& replaced) {
    // Plain ASCII (topics such as "7203.t") is the same in both.
    if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        return std::string(utf8);
    }
    return Convert("CP932", "UTF-8", utf8, replacement, Utf8BadLength, replaced);
}

}  // namespace norvale
