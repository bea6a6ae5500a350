// The main window's logic: it owns the program's state and wires the units to the window's
// events. Plain C++; the window system is reached only through Platform.
#pragma once

#include <cstdint>
#include <string>

#include "NorvaleVersion.h"
#include "platform/BulkMemory.h"
#include "platform/Platform.h"
#include "platform/WindowEvents.h"
#include "quotes/DdeCtrl.h"
#include "quotes/PollingState.h"
#include "quotes/RefreshPass.h"
#include "ranking/DrawTable.h"
#include "ranking/SortKey.h"
#include "table/RowSelection.h"
#include "table/WatchTable.h"
#include "watchlist/BrandEntry.h"
#include "watchlist/BrandMaster.h"

namespace norvale {

// The caption carries the project's version, set in CMakeLists.txt.
inline constexpr const char* kCaption = "Norvale - (ver" NORVALE_VERSION ")";
inline constexpr const char* kWatchListFileName = "監視銘柄.txt";
inline constexpr const char* kBrandMasterFileName = "mei_code.txt";

class MainWindowLogic : public WindowEvents {
public:
    explicit MainWindowLogic(Platform& platform);

    // --- start-up and shutdown (MainWindowLogic.cpp)
    // The start-up sequence; false when another instance runs and this one must end at once.
    [[nodiscard]] bool StartUp();
    // Centres the window's outer frame on the screen and keeps it there (a step of start-up);
    // the front end runs it again once the window manager has framed the window, as the
    // frame's size is only known then.
    void PlaceOnScreen();
    CloseAnswer CloseRequested() override;
    void Closing() override;
    void Resized() override;
    bool Closed() const { return polling_.WindowClosed(); }

    // --- ranking and drawing (MainWindowLogic.cpp)
    void SortKeyChosen() override;
    // Settles the selection on the rows this drawing shows, then draws. A drawing asked for while
    // one runs returns at once.
    void DrawTable();

    // --- scheduler and commands (Scheduler.cpp)
    void IntervalChosen() override;
    void LoadTick() override;
    void WaitTick() override;
    void StartPolling() override;
    void StopPolling() override;
    void ToggleOffline() override;
    // One refresh pass to its end, as the wait ticker runs it: the pass, and on Completed the
    // sort, the next wait, the load time, a pending removal and the drawing.
    PassExit RunPass();

    // --- watch list files (FileCommands.cpp)
    void ImportWatchList() override;
    void ExportWatchList() override;

    // --- row selection and brand entry (MainWindowLogic.cpp)
    void TableClicked() override;
    void KeyReleasedOnTable(std::int16_t keyCode) override;

    // Read access for the front end and the tests; changes go through the events above.
    const WatchTable& Table() const { return table_; }
    const PollingState& Polling() const { return polling_; }
    const RowSelection& Selection() const { return selection_; }
    const BrandMaster& Master() const { return master_; }
    SortKey CurrentSortKey() const { return sortKey_; }
    const std::string& TypedCode() const { return entry_.TypedCode(); }

private:
    void LoadBrandMaster();
    bool LoadWatchList(const std::string& path);
    void FinishPass();

    Platform& p_;
    WatchTable table_{&BulkMemory()};
    PollingState polling_;
    RowSelection selection_;
    bool drawing_ = false;
    BrandMaster master_;
    DdeCtrl dde_;
    RefreshPass pass_;
    BrandEntry entry_;
    SortKey sortKey_;
};

}  // namespace norvale
