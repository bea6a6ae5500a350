// The main window's start-up, shutdown, resizing, sort key, drawing and table keys.
#include "app/MainWindowLogic.h"

#include <string>
#include <vector>

#include "app/Intervals.h"
#include "app/PlaceWindow.h"
#include "ranking/Ranking.h"

namespace norvale {

MainWindowLogic::MainWindowLogic(Platform& platform)
    : p_(platform),
      dde_(platform.ddeml),
      pass_(table_, polling_, dde_, platform.events, platform.statusBar, platform.loadTicker, platform.window) {}

bool MainWindowLogic::StartUp() {
    if (p_.instance.AnotherInstanceRunning()) return false;

    p_.window.SetCaption(kCaption);

    PlaceOnScreen();

    (void)dde_.Open("RSS");  // start-up goes on without a quote server

    LoadBrandMaster();
    (void)LoadWatchList(p_.files.InProgramFolder(kWatchListFileName));

    p_.window.SetMenuEnabled(MenuItem::StartPolling, true);
    p_.window.SetMenuEnabled(MenuItem::StopPolling, false);
    p_.window.SetMenuEnabled(MenuItem::File, true);
    // The window definition ships "OFFLINE" switched off and nothing switches it on.
    p_.window.SetMenuEnabled(MenuItem::Offline, false);

    p_.window.SetListItems(DropDown::SortKey, {kSortKeyTexts.begin(), kSortKeyTexts.end()});
    p_.window.SelectListItem(DropDown::SortKey, 0);
    SortKeyChosen();

    std::vector<std::string> intervals;
    for (const Interval& interval : kIntervals) intervals.emplace_back(interval.text);
    p_.window.SetListItems(DropDown::Interval, intervals);
    p_.window.SelectListItem(DropDown::Interval, 0);

    DrawTable();
    p_.statusBar.SetPanel(StatusPanel::Activity, "停止");
    return true;
}

void MainWindowLogic::PlaceOnScreen() {
    const TwipRect placed = PlaceWindow({p_.window.Frame(), p_.window.State()}, std::nullopt,
                                        p_.window.ScreenWidth(), p_.window.ScreenHeight());
    p_.window.MoveTo(placed.left, placed.top);
}

CloseAnswer MainWindowLogic::CloseRequested() {
    p_.loadTicker.SetEnabled(false);
    p_.waitTicker.SetEnabled(false);
    if (polling_.Phase() != PollingPhase::Idle) {
        // The running pass closes the window itself, making no further request.
        p_.statusBar.SetPanel(StatusPanel::Activity, "停止処理中");
        polling_.RequestStopAndQuit();
        return CloseAnswer::Refuse;
    }
    return CloseAnswer::Grant;
}

void MainWindowLogic::Closing() {
    p_.loadTicker.SetEnabled(false);
    p_.waitTicker.SetEnabled(false);
    dde_.Close();
    polling_.MarkWindowClosed();
}

void MainWindowLogic::Resized() {
    if (p_.window.State() == WindowState::Minimized) return;
    const double clientHeight = p_.window.ClientHeight();
    const double clientWidth = p_.window.ClientWidth();
    double width = p_.window.TableSurfaceWidth();
    double height = p_.window.TableSurfaceHeight();
    // The surface reaches 2 twips short of the client area's bottom, under the status bar.
    if (clientHeight != 0) height = clientHeight - 2;
    if (clientWidth != 0) width = clientWidth - 2;
    p_.window.SetTableSurfaceSize(width, height);
    DrawTable();
}

void MainWindowLogic::SortKeyChosen() {
    sortKey_ = SortKey::FromListIndex(p_.window.SelectedIndex(DropDown::SortKey));
    p_.statusBar.SetPanel(StatusPanel::SortKey, p_.window.SelectedText(DropDown::SortKey));
    if (sortKey_.measure != SortMeasure::None) {
        SortRows(table_, sortKey_);
        DrawTable();
    }
}

void MainWindowLogic::DrawTable() {
    if (drawing_) return;
    drawing_ = true;
    selection_.Settle(table_, RowsThatFit(p_.tableSurface.Height()));
    norvale::DrawTable(p_.tableSurface, p_.statusBar, table_, selection_);
    drawing_ = false;
}

void MainWindowLogic::TableClicked() {
    selection_.Clicked(p_.window.PointerYOnTable());
    DrawTable();  // over the old image: the selection follows from the redraw
}

void MainWindowLogic::KeyReleasedOnTable(std::int16_t keyCode) {
    const bool passRunning = polling_.Phase() == PollingPhase::Running;
    switch (entry_.KeyReleased(keyCode, table_, master_, selection_.Entry(), passRunning)) {
        case KeyOutcome::Ignored: return;
        case KeyOutcome::CodeChanged: break;
        case KeyOutcome::TableChanged:
            p_.tableSurface.Clear();
            DrawTable();
            break;
        case KeyOutcome::ListFull: p_.statusBar.SetPanel(StatusPanel::Activity, kListFullText); break;
    }
    p_.window.SetCodeBoxText(entry_.TypedCode());
}

}  // namespace norvale
