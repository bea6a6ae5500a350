// Fuzzes the DDE layer's receive path: a quote server whose CF_TEXT reply is the fuzz input. The
// text handed to the refresh pass is the reply up to its first NUL and at most 512 bytes,
// converted from CP932, and padded with blanks to 512 characters when the buffer held no NUL.
#include "fuzz/FuzzInput.h"
#include "platform/TextCodec.h"
#include "quotes/DdeCtrl.h"
#include "tests/fakes/QuickDdeml.h"

using namespace norvale;

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
    fuzz::Check(opened && answer.text == expected && Utf8CharCount(expected) <= kDdeBufferSize);
    return 0;
}
