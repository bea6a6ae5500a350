// Fuzzes the DDE layer's receive path and the reading of a quote. A quote server's CF_TEXT reply is the
// fuzz input: the text handed to the refresh pass is the reply up to its first NUL and at most 512 bytes,
// converted from CP932, and padded with blanks to 512 characters when the buffer held no NUL. QuoteNumber,
// on the input and on that text, is checked against its definition: the last blank-separated word, read
// without its separators by the C library's own conversion. Whatever it gives is finite, and neither
// blanks after the text nor other words before it change it.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "fuzz/FuzzInput.h"
#include "platform/TextCodec.h"
#include "quotes/DdeCtrl.h"
#include "table/QuoteNumber.h"
#include "tests/fakes/QuickDdeml.h"

using namespace norvale;
using fuzz::Check;

namespace {

void CheckQuoteNumber(const std::string& text) {
    const auto Same = [](std::optional<double> a, std::optional<double> b) {
        return a.has_value() == b.has_value() && (!a || std::memcmp(&*a, &*b, sizeof(double)) == 0);
    };
    const std::optional<double> value = QuoteNumber(text);
    Check(!value || std::isfinite(*value));
    Check(Same(QuoteNumber(text + "  "), value));
    Check(text.find_first_not_of(" \t\r\n") == std::string::npos || Same(QuoteNumber("前日終値 " + text), value));
    if (!value) return;

    // The word that was read: what follows the last blank once trailing blanks are gone (npos + 1 is 0).
    std::string word = text.substr(0, text.find_last_not_of(" \t\r\n") + 1);
    word.erase(0, word.find_last_of(' ') + 1);
    word = word.substr(word.find_first_not_of(" \t\r\n"));
    std::erase(word, ',');
    // strtod rounds correctly too, and reads no exponent here: the reader accepted none.
    char* end = nullptr;
    const double expected = std::strtod(word.c_str(), &end);
    Check(end == word.c_str() + word.size() && expected == *value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string reply = fuzz::Text(data, size);
    static QuickDdeml ddeml;
    static DdeCtrl dde(ddeml);
    static const bool opened = dde.Open("RSS");
    ddeml.answer = [&reply](std::string_view, std::string_view, std::string& out) { return out = reply, true; };
    const DdeReply answer = dde.Request("7203.t", "現在値", 500);

    // What DdeGetData leaves in the 512-byte buffer: the reply and its NUL, cut at 512 bytes.
    const std::string buffer = (reply + '\0').substr(0, kDdeBufferSize);
    const std::size_t nul = buffer.find('\0');
    std::string expected = Cp932ToUtf8(buffer.substr(0, nul));
    if (nul == std::string::npos && Utf8CharCount(expected) < kDdeBufferSize)
        expected.append(kDdeBufferSize - Utf8CharCount(expected), ' ');
    Check(opened && answer.text == expected && Utf8CharCount(expected) <= kDdeBufferSize);
    CheckQuoteNumber(reply);
    CheckQuoteNumber(expected);
    return 0;
}
