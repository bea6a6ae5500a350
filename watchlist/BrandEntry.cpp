#include "app/FrmGrp.h"

namespace norvale {

void FrmGrp::Picture1_Click() {}
void FrmGrp::Picture1_KeyUp(std::int16_t, std::int16_t) {}

}  // namespace norvale
