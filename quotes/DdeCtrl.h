// basDDECtrl: the DDE client of the quote server, one conversation at a time.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/Ddeml.h"

namespace norvale {

struct DdeErrorRecord {
    std::uint32_t code = 0;
    std::string name;
    std::string message;
};

inline constexpr std::size_t kDdeErrorCount = 18;
inline constexpr std::uint32_t kDdeBufferSize = 512;

// Texts are UTF-8 here; they cross to DDEML as CP932 bytes.
class DdeCtrl {
public:
    explicit DdeCtrl(Ddeml& ddeml) : ddeml_(ddeml) {}

    // Back to closed: code page 1004, every handle 0, no cached topic or item.
    void DdeResetState();
    void BuildDdeErrorTable();
    // Opens the DDEML instance and the service handle; false if either fails.
    bool DdeOpen(const std::string& service);
    // Requests item of topic as text within timeoutMs, reusing the conversation and the item
    // handle while topic and item stay the same. False on any DDEML failure; out is then left
    // as passed.
    bool DdeRequest(const std::string& topic, const std::string& item, std::int32_t timeoutMs,
                    std::string& out);
    // Name, one blank and message of the last error (which DDEML then forgets);
    // "DMLERR_NO_ERROR" for none, an empty text for a code not in the table.
    std::string DescribeDdeError();
    // Frees every handle and ends the instance; nothing when no instance was opened.
    void DdeClose();
    // A failed connect leaves its topic cached, so later requests on that topic fail without a
    // new connect until the topic changes; with a single watched brand it never changes, and
    // quotes would not come back after the server does. A pass calls this as it begins, so
    // each pass tries such a connect once more.
    void RetryFailedConnect();

    // The part of text before the first separator, or the whole text.
    static std::string TextBefore(const std::string& text, const std::string& separator);

    std::uint32_t DdeCodePage = kCpWinAnsi;
    std::uint32_t DdeInstance = 0;
    DdeHandle ServiceHandle = 0;
    DdeHandle Conversation = 0;
    DdeHandle TopicHandle = 0;
    DdeHandle ItemHandle = 0;
    std::string CurrentTopic;
    std::string CurrentItem;
    std::array<DdeErrorRecord, kDdeErrorCount> DdeErrorTable;
    // The description worked out at the last failure of DdeOpen or DdeRequest, for a log or a
    // diagnostic tool; the window shows it nowhere.
    std::string LastErrorText;

private:
    DdeHandle MakeStringHandle(const std::string& utf8);
    std::string DescribeCode(std::uint32_t code) const;
    // What a failed request leaves behind that would make later requests fail too.
    void RecoverFrom(std::uint32_t code);

    std::string ServiceName;

    Ddeml& ddeml_;
};

}  // namespace norvale
