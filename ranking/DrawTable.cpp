#include "ranking/DrawTable.h"

#include "ranking/NumberFormat.h"

namespace norvale {

void DrawTable(Surface& surface, StatusBar& statusBar, const WatchTable& table, TableView& view) {
    if (view.DrawBusy == 1) return;
    view.DrawBusy = 1;
    surface.SetPersistent(true);
    view.SelectedEntry = -1;
    statusBar.SetPanel(4, "銘柄数:" + SignPlace(table.EntryCount) + "/" + SignPlace(kMaxEntries));
    view.DrawBusy = 0;
}

}  // namespace norvale
