// The brand master and watch list files of the window: start-up loads, import and export.
#include <optional>
#include <utility>

#include "app/MainWindowLogic.h"
#include "watchlist/WatchListFile.h"

namespace norvale {

void MainWindowLogic::LoadBrandMaster() {
    // A master that cannot be read is an empty one: no code resolves, the list stays empty.
    master_.LoadCp932File(p_.files, p_.files.InProgramFolder(kBrandMasterFileName));
}

bool MainWindowLogic::LoadWatchList(const std::string& path) {
    const WatchListLoad load = LoadWatchListFile(p_.files, path, master_, table_);
    if (load.status != WatchListStatus::Malformed) return true;
    ReportFileError(p_.alert, path, load.errorLine);
    return false;
}

void MainWindowLogic::ImportWatchList() {
    const std::optional<std::string> path = p_.fileDialog.ShowOpen(kWatchListFilter);
    if (!path) return;
    // The list is replaced whole: a removal asked for before the import pointed into the old list
    // and must not remove whichever new brand now sits in that slot.
    (void)LoadWatchList(*path);
    p_.tableSurface.Clear();
    DrawTable();
}

void MainWindowLogic::ExportWatchList() {
    const std::optional<std::string> path = p_.fileDialog.ShowOpen(kWatchListFilter);
    if (!path) return;
    p_.statusBar.SetPanel(StatusPanel::Activity, "監視銘柄出力中");
    const bool written = SaveWatchListFile(p_.files, *path, table_);
    p_.statusBar.SetPanel(StatusPanel::Activity, written ? "監視銘柄出力終了" : "監視銘柄出力失敗");
}

}  // namespace norvale
