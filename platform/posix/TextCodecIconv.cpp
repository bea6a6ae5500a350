// CP932 conversion through glibc iconv: its "CP932" table is Microsoft's ("SHIFT_JIS" is not).
#include <iconv.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstddef>
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

// Converts everything; input the converter refuses becomes one replacement per character, counted.
std::string Convert(const char* to, const char* from, std::string_view in, std::string_view replacement,
                    BadLength badLength, std::size_t& replaced) {
    std::string out;
    if (in.empty()) return out;
    // Opening a converter costs more than converting an item name, and the DDE layer converts
    // one per request: each thread keeps its converters open.
    thread_local Converters converters;
    iconv_t cd = converters.Get(to, from);
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

struct Utf8Char {
    char bytes[3] = {};
    int length = 0;  // 0: the converter refuses it
};

constexpr Utf8Char kReplacementChar = {{'\xEF', '\xBF', '\xBD'}, 3};

// Every answer of the converter for a single byte and for a lead byte with a trail byte,
// asked once: a start-up load then decodes a large master without a call per character.
struct Cp932Table {
    bool ready = false;
    std::array<Utf8Char, 256> single{};
    std::vector<Utf8Char> pairs;  // at lead << 8 | trail

    static const Cp932Table& Get() {
        static const Cp932Table table = Build();
        return table;
    }

private:
    static Utf8Char Ask(iconv_t cd, const char* in, std::size_t size) {
        char buf[8];
        char* src = const_cast<char*>(in);
        char* dst = buf;
        std::size_t srcLeft = size;
        std::size_t dstLeft = sizeof buf;
        const std::size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        const auto length = static_cast<std::size_t>(dst - buf);
        Utf8Char c;
        if (rc == static_cast<std::size_t>(-1) || srcLeft != 0 || length == 0 || length > 3) return c;
        for (std::size_t k = 0; k < length; ++k) c.bytes[k] = buf[k];
        c.length = static_cast<int>(length);
        return c;
    }

    static Cp932Table Build() {
        Cp932Table t;
        iconv_t cd = iconv_open("UTF-8", "CP932");
        if (cd == reinterpret_cast<iconv_t>(-1)) return t;
        t.pairs.resize(65536);
        for (int b = 0; b < 256; ++b) {
            const char one[1] = {static_cast<char>(b)};
            if (!IsCp932Lead(static_cast<unsigned char>(b))) {
                t.single[static_cast<std::size_t>(b)] = Ask(cd, one, 1);
                continue;
            }
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                const char two[2] = {static_cast<char>(b), static_cast<char>(trail)};
                t.pairs[static_cast<std::size_t>(b << 8 | trail)] = Ask(cd, two, 2);
            }
        }
        iconv_close(cd);
        t.ready = true;
        return t;
    }
};

}  // namespace

std::string Cp932ToUtf8(std::string_view cp932) {
    const Cp932Table& table = Cp932Table::Get();
    if (!table.ready) return {};
    std::string out(cp932.size() * 3, '\0');
    char* dst = out.data();
    const auto* s = reinterpret_cast<const unsigned char*>(cp932.data());
    const std::size_t n = cp932.size();
    for (std::size_t i = 0; i < n;) {
        const Utf8Char* c = &table.single[s[i]];
        std::size_t used = 1;
        if (IsCp932Lead(s[i]) && i + 1 < n) {
            c = &table.pairs[static_cast<std::size_t>(s[i]) << 8 | s[i + 1]];
            used = Cp932BadLength(s + i, n - i);  // 2 for a proper trail byte, mapped or not
            if (c->length != 0) used = 2;
        }
        if (c->length == 0) c = &kReplacementChar;
        for (int k = 0; k < c->length; ++k) *dst++ = c->bytes[k];
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
