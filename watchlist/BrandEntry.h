// Brand entry on the table: the typed code, and what a released key does to the watch table.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "table/WatchTable.h"
#include "watchlist/BrandMaster.h"

namespace norvale {

inline constexpr std::size_t kMaxCodeChars = 4;
inline constexpr const char* kListFullText = "銘柄数上限";

// The character that a key types into the code: '0' to '9' for a main-row or keypad digit,
// 'A' to 'Z' for a letter key; nullopt for any other key.
std::optional<char> CharOfKey(std::int16_t keyCode);

enum class AppendResult { Added, ListFull, UnknownCode };

// Appends the brand with the typed code (1 to 4 decimal digits, or a code with letters) as the
// last slot and the last display row. Nothing changes unless the result is Added: the list is
// full, the text is no code, the master lacks the code, or the brand's market has no suffix.
[[nodiscard]] AppendResult AppendBrand(WatchTable& table, const BrandMaster& master, const std::string& typedCode);

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
