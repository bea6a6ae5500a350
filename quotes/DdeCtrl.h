// The DDE client of the quote server: one instance, one conversation at a time.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Ddeml.h"

namespace norvale {

struct DdeErrorRecord {
    std::uint32_t code = 0;
    std::string_view name;
    std::string_view message;
};

inline constexpr std::size_t kDdeErrorCount = 18;
inline constexpr std::uint32_t kDdeBufferSize = 512;

// The DMLERR codes 0x4000 to 0x4011 in order, with their names and the texts shown for them.
extern const std::array<DdeErrorRecord, kDdeErrorCount> kDdeErrorTable;

// Name, one blank and message of a DMLERR code; "DMLERR_NO_ERROR" for 0, an empty text for a
// code not in the table.
std::string DescribeDdeCode(std::uint32_t code);

// What one request came to: the text, or the failure.
struct [[nodiscard]] DdeReply {
    std::optional<std::string> text;  // UTF-8; nullopt when the request failed
    std::uint32_t error = 0;          // DMLERR code of the failure (0 when DDEML gave none)
    std::string errorText;            // DescribeDdeCode(error), for a log or a diagnostic tool

    explicit operator bool() const { return text.has_value(); }
};

// Texts are UTF-8 here; they cross to DDEML as CP932 bytes. Owns the instance, the service,
// topic and item string handles and the conversation, and releases them when closed or
// destroyed.
class DdeCtrl {
public:
    explicit DdeCtrl(Ddeml& ddeml) : ddeml_(ddeml) {}
    ~DdeCtrl() { Close(); }
    DdeCtrl(const DdeCtrl&) = delete;
    DdeCtrl& operator=(const DdeCtrl&) = delete;

    // Opens the DDEML instance (code page 1004) and the service handle; false if either fails,
    // with the reason in LastErrorText().
    [[nodiscard]] bool Open(const std::string& service);
    // Requests item of topic as text within timeoutMs, reusing the conversation and the item
    // handle while topic and item stay the same. A failure other than a refused item drops the
    // conversation, so the next request of the topic connects anew; a server that died also
    // gets a new instance. The transaction always waits its whole limit, whatever a connect
    // before it took: the connect is bounded by the DDEML itself, so a request that connects
    // blocks in two calls, each bounded. A limit below 1 ms fails at once as a time-out (0
    // would ask DDEML for an asynchronous transaction).
    DdeReply Request(const std::string& topic, std::string_view item, std::int32_t timeoutMs);
    // Frees every handle and ends the instance; safe to call again, and when nothing is open.
    void Close();
    // A failed connect leaves its topic cached, so later requests on that topic fail without a
    // new connect until the topic changes; with a single watched brand it never changes, and
    // quotes would not come back after the server does. An instance that could not be opened
    // again after a server died leaves every request failing. A pass calls this as it begins,
    // so each pass tries such a connect, and such an instance, once more.
    void RetryFailures();

    // The description of the last failure of Open or Request.
    const std::string& LastErrorText() const { return lastErrorText_; }

private:
    DdeString MakeStringHandle(std::string_view utf8);
    void FreeString(DdeString& handle);
    DdeReply Failure(std::uint32_t code);
    // What a failed request leaves behind that would make later requests fail too.
    void RecoverFrom(std::uint32_t code);
    void DropConversation();

    Ddeml& ddeml_;
    std::string serviceName_;
    DdeInstance instance_ = DdeInstance::kNone;
    DdeString service_ = DdeString::kNone;
    DdeConversation conversation_ = DdeConversation::kNone;
    DdeString topic_ = DdeString::kNone;
    DdeString item_ = DdeString::kNone;
    std::string currentTopic_;
    std::string currentItem_;
    std::string lastErrorText_;
};

}  // namespace norvale
