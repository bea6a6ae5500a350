// The wait and load tickers and the commands that start, stop and take polling offline.
#include "app/Scheduler.h"

#include <algorithm>
#include <array>

#include "app/FrmGrp.h"
#include "ranking/NumberFormat.h"

namespace norvale {

namespace {

// Seconds of each Combo2 item; "自動" (index 0) is handled apart.
constexpr std::array<int, 10> kIntervalSeconds = {0, 10, 20, 30, 40, 50, 60, 90, 120, 180};
constexpr int kAutoWaitLimit = 5;
constexpr std::int16_t kWaitSecondsCap = 10000;
constexpr std::int16_t kLoadSecondsCap = 32767;  // held there rather than wrapping to negative

}  // namespace

std::int16_t WaitLimitAfterPass(int intervalIndex, std::int16_t loadSeconds, std::int16_t current) {
    if (intervalIndex < 0 || intervalIndex >= static_cast<int>(kIntervalSeconds.size())) return current;
    const int limit = intervalIndex == 0 ? kAutoWaitLimit
                                         : kIntervalSeconds[static_cast<std::size_t>(intervalIndex)] - loadSeconds;
    return static_cast<std::int16_t>(std::max(limit, 0));
}

void FrmGrp::Timer3_Timer() {
    polling.WaitSeconds = static_cast<std::int16_t>(std::min<int>(polling.WaitSeconds + 1, kWaitSecondsCap));
    if (polling.WaitSeconds > polling.WaitLimit && polling.RefreshState == 0) {
        polling.WaitSeconds = 0;
        // Ticks that arrive while the pass lets events run land here too, nested; they only
        // count, since RefreshState is no longer 0.
        const PassExit exit = RefreshPass();
        if (exit != PassExit::Completed) return;  // closed: touch nothing; stopped: keep "停止"
    }
    p_.statusBar.SetPanel(1, "待機中:" + SignPlace(polling.WaitSeconds) + "秒");
}

void FrmGrp::Timer1_Timer() {
    polling.LoadSeconds = static_cast<std::int16_t>(std::min<int>(polling.LoadSeconds + 1, kLoadSecondsCap));
    if (polling.RefreshState == 1) p_.statusBar.SetPanel(1, "読込み中:" + SignPlace(polling.LoadSeconds) + "秒");
}

void FrmGrp::mnu_rss_start_Click() {
    p_.window.SetMenuEnabled(Menu::RssStart, false);
    p_.window.SetMenuEnabled(Menu::RssStop, true);
    p_.window.SetMenuEnabled(Menu::File, false);  // its import, export and "OFFLINE" with it
    // Above any WaitLimit: the first pass begins at the next wait tick.
    polling.WaitSeconds = kWaitSecondsCap;
    p_.timer3.SetEnabled(true);
}

void FrmGrp::mnu_rss_stop_Click() {
    if (polling.RefreshState == 1) polling.RefreshState = 2;  // the pass stops after its current brand
    p_.timer3.SetEnabled(false);
    p_.window.SetMenuEnabled(Menu::RssStart, true);
    p_.window.SetMenuEnabled(Menu::RssStop, false);
    p_.window.SetMenuEnabled(Menu::File, true);
}

void FrmGrp::mnu_off_line_Click() {
    if (polling.OfflineMode == 1) {
        p_.statusBar.SetPanel(3, "ON LINE");
        polling.OfflineMode = 0;
    } else {
        p_.statusBar.SetPanel(3, "OFF LINE");
        polling.OfflineMode = 1;
    }
}

// The pass reads the selection when it completes; a change waits for that.
void FrmGrp::Combo2_Click() {}

}  // namespace norvale
