#include "app/FrmGrp.h"

#include <vector>

#include "app/PlaceWindow.h"
#include "ranking/Ranking.h"

namespace norvale {

namespace {

const std::vector<std::string> kIntervalItems = {"自動", "10秒", "20秒", "30秒",  "40秒",
                                                 "50秒", "60秒", "90秒", "120秒", "180秒"};

}  // namespace

FrmGrp::FrmGrp(Platform& platform) : dde(platform.ddeml), p_(platform) {}

bool FrmGrp::Form_Load() {
    if (p_.instance.AnotherInstanceRunning()) return false;

    p_.window.SetCaption(kCaption);

    const TwipRect placed = PlaceWindow({p_.window.Frame(), p_.window.State()}, std::nullopt,
                                        p_.window.ScreenWidth(), p_.window.ScreenHeight());
    p_.window.MoveTo(placed.left, placed.top);

    dde.DdeResetState();
    dde.BuildDdeErrorTable();
    (void)dde.DdeOpen("RSS");  // start-up goes on without a quote server

    LoadBrandMaster();
    (void)LoadWatchList(p_.files.InProgramFolder(kWatchListFileName));

    table.ResetRowOrder();

    p_.window.SetMenuEnabled(Menu::RssStart, true);
    p_.window.SetMenuEnabled(Menu::RssStop, false);
    p_.window.SetMenuEnabled(Menu::File, true);
    // The window definition ships "OFFLINE" switched off and nothing switches it on.
    p_.window.SetMenuEnabled(Menu::OffLine, false);

    p_.window.SetComboItems(Combo::SortKey, {kSortKeyTexts.begin(), kSortKeyTexts.end()});
    p_.window.SelectComboItem(Combo::SortKey, 0);
    Combo1_Click();

    p_.window.SetComboItems(Combo::Interval, kIntervalItems);
    p_.window.SelectComboItem(Combo::Interval, 0);

    DrawTable();
    p_.statusBar.SetPanel(1, "停止");
    return true;
}

void FrmGrp::Form_QueryUnload(bool& cancel) {
    p_.timer1.SetEnabled(false);
    p_.timer3.SetEnabled(false);
    if (polling.RefreshState != 0) {
        // The running pass closes the window itself once it reaches a brand boundary.
        p_.statusBar.SetPanel(1, "停止処理中");
        cancel = true;
        polling.RefreshState = 2;
        polling.QuitPending = 1;
        return;
    }
    cancel = false;
}

void FrmGrp::Form_Unload() {
    p_.timer1.SetEnabled(false);
    p_.timer3.SetEnabled(false);
    dde.DdeClose();
    closed_ = true;
}

void FrmGrp::Form_Resize() {
    if (p_.window.State() == WindowState::Minimized) return;
    const double clientHeight = p_.window.ClientHeight();
    const double clientWidth = p_.window.ClientWidth();
    double width = p_.window.Picture1Width();
    double height = p_.window.Picture1Height();
    // The surface reaches 2 twips short of the client area's bottom, under the status bar.
    if (clientHeight != 0) height = clientHeight - 2;
    if (clientWidth != 0) width = clientWidth - 2;
    p_.window.SetPicture1Size(width, height);
    DrawTable();
}

void FrmGrp::Combo1_Click() {
    const int index = p_.window.ComboIndex(Combo::SortKey);
    SortKey = static_cast<std::int16_t>(index);
    p_.statusBar.SetPanel(2, p_.window.ComboText(Combo::SortKey));
    if (SortKey != 0) {
        SortRows(table, SortKey);
        DrawTable();
    }
}

void FrmGrp::DrawTable() { norvale::DrawTable(p_.picture1, p_.statusBar, table, view); }

void FrmGrp::RemoveEntry() {
    table.RemoveTargetSlot();
    p_.picture1.Clear();
    DrawTable();
    table.DeletePending = 0;
}

}  // namespace norvale
