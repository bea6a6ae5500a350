// frmGrp, the main window's logic: its state and every handler of its events.
// Plain C++; the window system is reached only through Platform.
#pragma once

#include <cstdint>
#include <string>

#include "app/PollingState.h"
#include "platform/Platform.h"
#include "platform/WindowEvents.h"
#include "quotes/DdeCtrl.h"
#include "quotes/WatchTable.h"
#include "ranking/DrawTable.h"
#include "watchlist/BrandMaster.h"

namespace norvale {

// How a refresh pass ended, for the wait ticker that ran it.
enum class PassExit { Completed, Stopped, Closed };

class FrmGrp : public WindowEvents {
public:
    explicit FrmGrp(Platform& platform);

    // --- start-up and shutdown (FrmGrp.cpp)
    // The start-up sequence; false when another instance runs and this one must end at once.
    [[nodiscard]] bool Form_Load();
    void Form_QueryUnload(bool& cancel) override;
    void Form_Unload() override;
    void Form_Resize() override;
    bool Closed() const { return closed_; }

    // --- ranking (FrmGrp.cpp)
    void Combo1_Click() override;

    // --- scheduler and commands (Scheduler.cpp)
    void Combo2_Click() override;
    void Timer1_Timer() override;
    void Timer3_Timer() override;
    void mnu_rss_start_Click() override;
    void mnu_rss_stop_Click() override;
    void mnu_off_line_Click() override;

    // --- refresh pass (quotes/RefreshPass.cpp)
    PassExit RefreshPass();
    std::string RequestItem(const std::string& topic, const std::string& item);

    // --- watch list files (FileCommands.cpp)
    void LoadBrandMaster();
    bool LoadWatchList(const std::string& path);
    void mnu_get_meigara_1_Click() override;
    void mnu_put_meigara_1_Click() override;

    // --- row selection and brand entry (BrandEntry.cpp)
    void Picture1_Click() override;
    void Picture1_KeyUp(std::int16_t keyCode, std::int16_t shift) override;

    // --- drawing and removal (FrmGrp.cpp)
    void DrawTable();
    void RemoveEntry();

    // The state of the running program, open to the tests.
    WatchTable table;
    PollingState polling;
    TableView view;
    BrandMaster master;
    DdeCtrl dde;
    std::int16_t SortKey = 0;
    std::string CodeEntry;

private:
    Platform& p_;
    bool closed_ = false;
};

inline constexpr const char* kCaption = "Norvale - (ver1.02)";
inline constexpr const char* kWatchListFileName = "監視銘柄.txt";
inline constexpr const char* kBrandMasterFileName = "mei_code.txt";

}  // namespace norvale
