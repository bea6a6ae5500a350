#include "app/FrmGrp.h"

namespace norvale {

void FrmGrp::LoadBrandMaster() {}
bool FrmGrp::LoadWatchList(const std::string&) { return true; }
void FrmGrp::mnu_get_meigara_1_Click() {}
void FrmGrp::mnu_put_meigara_1_Click() {}

}  // namespace norvale
