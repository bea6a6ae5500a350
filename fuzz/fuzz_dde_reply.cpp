// Fuzzes the DDE layer's receive path: a quote server whose CF_TEXT reply is the fuzz input. The
// text handed to the refresh pass is the reply up to its first NUL and at most 512 bytes,
// converted from CP932, and padded with blanks to 512 characters when the buffer held no NUL;
// the number read from it, if any, is finite.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/TextCodec.h"
#include "quotes/DdeCtrl.h"
#include "table/QuoteNumber.h"
#include "tests/fakes/QuickDdeml.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string reply(reinterpret_cast<const char*>(data), size);
    static norvale::QuickDdeml ddeml;
    static norvale::DdeCtrl* dde = [] {
        static norvale::DdeCtrl d(ddeml);
        if (!d.Open("RSS")) __builtin_trap();
        return &d;
    }();
    ddeml.answer = [&reply](std::string_view, std::string_view, std::string& out) {
        out = reply;
        return true;
    };

    const norvale::DdeReply answer = dde->Request("7203.t", "現在値", 500);
    if (!answer) __builtin_trap();
    const std::string& text = *answer.text;

    // What DdeGetData leaves in the 512-byte buffer: the reply and its NUL, cut at 512 bytes.
    const std::string buffer = (reply + '\0').substr(0, norvale::kDdeBufferSize);
    const std::size_t nul = buffer.find('\0');
    std::string expected = norvale::Cp932ToUtf8(buffer.substr(0, nul));
    if (nul == std::string::npos && norvale::Utf8CharCount(expected) < norvale::kDdeBufferSize)
        expected.append(norvale::kDdeBufferSize - norvale::Utf8CharCount(expected), ' ');
    if (text != expected || norvale::Utf8CharCount(text) > norvale::kDdeBufferSize) __builtin_trap();

    const std::optional<double> value = norvale::QuoteNumber(text);
    if (value && !std::isfinite(*value)) __builtin_trap();
    return 0;
}
