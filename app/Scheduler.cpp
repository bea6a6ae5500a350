#include "app/FrmGrp.h"

namespace norvale {

void FrmGrp::Combo2_Click() {}
void FrmGrp::Timer1_Timer() {}
void FrmGrp::Timer3_Timer() {}
void FrmGrp::mnu_rss_start_Click() {}
void FrmGrp::mnu_rss_stop_Click() {}
void FrmGrp::mnu_off_line_Click() {}

}  // namespace norvale
