// The refresh pass: every watched brand's quotes from the quote server into the watch table.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "platform/EventPump.h"
#include "platform/StatusBar.h"
#include "platform/Ticker.h"
#include "platform/Window.h"
#include "quotes/DdeCtrl.h"
#include "quotes/PollingState.h"
#include "table/WatchTable.h"

namespace norvale {

// How a refresh pass ended, for the wait ticker that ran it.
enum class PassExit {
    Completed,  // every brand asked; the caller sorts, sets the next wait, removes and draws
    Stopped,    // stopped at a brand boundary after a stop request; "停止" is shown
    Closed,     // the window was closed during the pass; nothing may be touched any more
};

inline constexpr std::int32_t kRequestTimeoutMs = 500;

class RefreshPass {
public:
    // The pass works on what it is handed; window is only used to close it after a stop
    // that a refused close asked for.
    RefreshPass(WatchTable& table, PollingState& polling, DdeCtrl& dde, EventPump& events,
                StatusBar& statusBar, Ticker& loadTicker, Window& window)
        : table_(table), polling_(polling), dde_(dde), events_(events), statusBar_(statusBar),
          loadTicker_(loadTicker), window_(window) {}

    // One pass over the table, in slot order: the open and previous close of brands that lack
    // them, then every brand's prices and quantities. Window events run before every brand and
    // every request. On Completed the load ticker is still on and the phase still Running.
    PassExit Run();

    // One item of one brand as text; empty when offline, once a close was asked for, or on a
    // failed request (which writes "Error !" to the activity panel).
    std::string RequestItem(const std::string& topic, std::string_view item);

private:
    PassExit StopExit();
    void FillOnceItems(const EntryHandle& brand);
    void EveryPassItems(const EntryHandle& brand);
    // Each false when the rest of the brand is dropped: it left its slot, or a close was asked for.
    bool Price(const EntryHandle& brand, PriceItem price, std::string_view item);
    bool Levels(const EntryHandle& brand, QuoteSide side, const std::array<std::string_view, kQuoteLevels>& items);

    WatchTable& table_;
    PollingState& polling_;
    DdeCtrl& dde_;
    EventPump& events_;
    StatusBar& statusBar_;
    Ticker& loadTicker_;
    Window& window_;
};

}  // namespace norvale
