#include "quotes/DdeCtrl.h"

namespace norvale {

void DdeCtrl::DdeResetState() {}
void DdeCtrl::BuildDdeErrorTable() {}
bool DdeCtrl::DdeOpen(const std::string&) { return false; }
bool DdeCtrl::DdeRequest(const std::string&, const std::string&, std::int32_t, std::string&) { return false; }
std::string DdeCtrl::DescribeDdeError() { return {}; }
void DdeCtrl::DdeClose() {}

std::string DdeCtrl::TextBefore(const std::string& text, const std::string& separator) {
    const auto at = text.find(separator);
    return at == std::string::npos ? text : text.substr(0, at);
}

}  // namespace norvale
