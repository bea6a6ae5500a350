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

class DdeCtrl {
public:
    explicit DdeCtrl(Ddeml& ddeml) : ddeml_(ddeml) {}

    void DdeResetState();
    void BuildDdeErrorTable();
    bool DdeOpen(const std::string& service);
    // Requests item of topic as text within timeoutMs; on failure out is left as passed.
    bool DdeRequest(const std::string& topic, const std::string& item, std::int32_t timeoutMs,
                    std::string& out);
    std::string DescribeDdeError();
    void DdeClose();

    static std::string TextBefore(const std::string& text, const std::string& separator);

private:
    Ddeml& ddeml_;
};

}  // namespace norvale
