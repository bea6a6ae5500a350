// Brand entry on the table: the typed code, and what a released key does to the watch table.
#pragma once

#include <cstdint>
#include <string>

#include "table/WatchTable.h"
#include "watchlist/BrandMaster.h"

namespace norvale {

inline constexpr const char* kListFullText = "銘柄数上限";

// What the window has to do after a key.
enum class KeyOutcome {
    Ignored,       // a removal is marked: the key did nothing, the code box stays
    CodeChanged,   // only the typed code may have changed: show it
    TableChanged,  // a brand was appended, removed or marked for removal: clear, redraw, show the code
    ListFull,      // the list holds 1000 brands: say so, show the (empty) code
};

// Owns the code being typed on the table.
class BrandEntry {
public:
    // The characters typed so far, as the code box shows them.
    const std::string& TypedCode() const { return typed_; }

    // A key released on the table (a code of platform/KeyCodes.h): digits and letters are typed, Enter
    // appends the typed brand, Esc forgets it, Delete and Backspace remove the selected entry
    // (-1 none), at once or, while a pass runs, marked for its end. Nothing happens while a
    // removal is marked, since the table must not change until it is done.
    KeyOutcome KeyReleased(std::int16_t keyCode, WatchTable& table, const BrandMaster& master,
                           std::int16_t selectedEntry, bool passRunning);

private:
    std::string typed_;
};

}  // namespace norvale
