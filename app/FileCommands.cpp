// The brand master and watch list files of frmGrp: start-up loads, import and export.
#include <optional>
#include <utility>

#include "app/FrmGrp.h"
#include "watchlist/WatchListFile.h"

namespace norvale {

void FrmGrp::LoadBrandMaster() {
    // A master that cannot be read is an empty one: no code resolves, the list stays empty.
    std::optional<std::string> bytes = p_.files.ReadAll(p_.files.InProgramFolder(kBrandMasterFileName));
    master.LoadCp932(bytes ? std::move(*bytes) : std::string());
}

bool FrmGrp::LoadWatchList(const std::string& path) {
    const WatchListLoad load = LoadWatchListFile(p_.files, path, master, table);
    if (load.status != WatchListStatus::Malformed) return true;
    ReportFileError(p_.messageBox, path, load.errorLine);
    return false;
}

void FrmGrp::mnu_get_meigara_1_Click() {
    const std::optional<std::string> path = p_.fileDialog.ShowOpen(kWatchListFilter);
    if (!path) return;
    table.ResetRowOrder();
    table.BlankAll();
    // A removal asked for before the import pointed into the old list; it must not remove
    // whichever new brand now sits in that slot.
    table.DeletePending = 0;
    (void)LoadWatchList(*path);
    p_.picture1.Clear();
    DrawTable();
}

void FrmGrp::mnu_put_meigara_1_Click() {
    const std::optional<std::string> path = p_.fileDialog.ShowOpen(kWatchListFilter);
    if (!path) return;
    p_.statusBar.SetPanel(1, "監視銘柄出力中");
    const bool written = SaveWatchListFile(p_.files, *path, table);
    p_.statusBar.SetPanel(1, written ? "監視銘柄出力終了" : "監視銘柄出力失敗");
}

}  // namespace norvale
