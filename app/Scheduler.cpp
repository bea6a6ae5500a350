// The wait and load tickers and the commands that start, stop and take polling offline.
#include <algorithm>

#include "app/Intervals.h"
#include "app/MainWindowLogic.h"
#include "ranking/NumberFormat.h"
#include "ranking/Ranking.h"

namespace norvale {

namespace {

constexpr int kAutoWaitLimit = 5;

}  // namespace

std::int16_t WaitLimitAfterPass(int intervalIndex, std::int16_t loadSeconds, std::int16_t current) {
    if (intervalIndex < 0 || intervalIndex >= static_cast<int>(kIntervals.size())) return current;
    const int limit = intervalIndex == 0 ? kAutoWaitLimit
                                         : kIntervals[static_cast<std::size_t>(intervalIndex)].seconds - loadSeconds;
    return static_cast<std::int16_t>(std::max(limit, 0));
}

void MainWindowLogic::WaitTick() {
    polling_.CountWaitSecond();
    if (polling_.WaitSeconds() > polling_.WaitLimit() && polling_.Phase() == PollingPhase::Idle) {
        polling_.RestartWait();
        // Ticks that arrive while the pass lets events run land here too, nested; they only
        // count, since the phase is no longer Idle.
        if (RunPass() != PassExit::Completed) return;  // closed: touch nothing; stopped: keep "停止"
    }
    p_.statusBar.SetPanel(StatusPanel::Activity, "待機中:" + SignPlace(polling_.WaitSeconds()) + "秒");
}

PassExit MainWindowLogic::RunPass() {
    const PassExit exit = pass_.Run();
    if (exit == PassExit::Completed) FinishPass();
    return exit;
}

// No events run between the pass's last request and this, so the pass and its end are one step.
void MainWindowLogic::FinishPass() {
    SortRows(table_, sortKey_);
    p_.loadTicker.SetEnabled(false);
    polling_.EndPass();
    p_.statusBar.SetPanel(StatusPanel::LoadTime, "読込み時間:" + SignPlace(polling_.LoadSeconds()) + "秒");
    polling_.SetWaitLimit(WaitLimitAfterPass(p_.window.SelectedIndex(DropDown::Interval), polling_.LoadSeconds(),
                                             polling_.WaitLimit()));
    if (table_.CarryOutRemoval()) {
        p_.tableSurface.Clear();
        DrawTable();
    }
    DrawTable();
}

void MainWindowLogic::LoadTick() {
    polling_.CountLoadSecond();
    if (polling_.Phase() == PollingPhase::Running) {
        p_.statusBar.SetPanel(StatusPanel::Activity, "読込み中:" + SignPlace(polling_.LoadSeconds()) + "秒");
    }
}

void MainWindowLogic::StartPolling() {
    p_.window.SetMenuEnabled(MenuItem::StartPolling, false);
    p_.window.SetMenuEnabled(MenuItem::StopPolling, true);
    p_.window.SetMenuEnabled(MenuItem::File, false);  // its import, export and "OFFLINE" with it
    polling_.WaitNoLonger();
    p_.waitTicker.SetEnabled(true);
}

void MainWindowLogic::StopPolling() {
    polling_.RequestStop();  // a running pass stops after its current brand
    p_.waitTicker.SetEnabled(false);
    p_.window.SetMenuEnabled(MenuItem::StartPolling, true);
    p_.window.SetMenuEnabled(MenuItem::StopPolling, false);
    p_.window.SetMenuEnabled(MenuItem::File, true);
}

void MainWindowLogic::ToggleOffline() {
    p_.statusBar.SetPanel(StatusPanel::LoadTime, polling_.Offline() ? "ON LINE" : "OFF LINE");
    polling_.ToggleOffline();
}

// The pass reads the selection when it completes; a change waits for that.
void MainWindowLogic::IntervalChosen() {}

}  // namespace norvale
