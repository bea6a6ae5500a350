#include "app/FrmGrp.h"

namespace norvale {

PassExit FrmGrp::RefreshPass() { return PassExit::Completed; }

std::string FrmGrp::RequestItem(const std::string&, const std::string&) { return {}; }

}  // namespace norvale
