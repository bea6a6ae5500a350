// Brand entry on the table: digits and letters, Enter, Esc and the removal keys.
#include "watchlist/BrandEntry.h"

#include <optional>

#include "platform/KeyCodes.h"
#include "watchlist/BrandIdentity.h"
#include "watchlist/NumericText.h"

namespace norvale {

namespace {

constexpr std::size_t kMaxCodeChars = 4;

// The character that a key types into the code: '0' to '9' for a main-row or keypad digit,
// 'A' to 'Z' for a letter key; nullopt for any other key.
std::optional<char> CharOfKey(std::int16_t keyCode) {
    const auto in = [keyCode](std::int16_t first, int count) { return keyCode >= first && keyCode < first + count; };
    if (in(key::kDigit0, 10)) return static_cast<char>('0' + keyCode - key::kDigit0);
    if (in(key::kNumpad0, 10)) return static_cast<char>('0' + keyCode - key::kNumpad0);
    if (in(key::kLetterA, 26)) return static_cast<char>('A' + keyCode - key::kLetterA);
    return std::nullopt;
}

enum class AppendResult { Added, ListFull, UnknownCode };

// Appends the brand with the typed code (1 to 4 decimal digits, or a code with letters) as the
// last slot and the last display row. Nothing changes unless the result is Added: the list is
// full, the text is no code, the master lacks the code, or the brand's market has no suffix.
AppendResult AppendBrand(WatchTable& table, const BrandMaster& master, const std::string& typedCode) {
    if (table.Full()) return AppendResult::ListFull;
    if (typedCode.size() > kMaxCodeChars) return AppendResult::UnknownCode;
    const std::optional<BrandCode> code = ReadBrandCode(typedCode, CodeForm::Typed);
    if (!code) return AppendResult::UnknownCode;
    const std::optional<WatchedBrand> brand = BrandForCode(*code, master);
    if (!brand || !table.Append(*brand)) return AppendResult::UnknownCode;
    return AppendResult::Added;
}

}  // namespace

KeyOutcome BrandEntry::KeyReleased(std::int16_t keyCode, WatchTable& table, const BrandMaster& master,
                                   std::int16_t selectedEntry, bool passRunning) {
    // A removal waits for the end of the running pass; until then the table must not change.
    if (table.RemovalMarked()) return KeyOutcome::Ignored;

    if (keyCode == key::kEnter) {
        KeyOutcome outcome = KeyOutcome::CodeChanged;
        if (!typed_.empty()) {
            const AppendResult result = AppendBrand(table, master, typed_);
            if (result == AppendResult::Added) outcome = KeyOutcome::TableChanged;
            if (result == AppendResult::ListFull) outcome = KeyOutcome::ListFull;
        }
        typed_.clear();
        return outcome;
    }
    if (keyCode == key::kEscape) {
        typed_.clear();
        return KeyOutcome::CodeChanged;
    }
    if (keyCode == key::kDelete || keyCode == key::kBackspace) {
        // Entries must not move under the running pass: the row is marked, and goes at its end.
        const bool changed = passRunning ? table.MarkForRemoval(selectedEntry) : table.Remove(selectedEntry);
        return changed ? KeyOutcome::TableChanged : KeyOutcome::CodeChanged;
    }
    // Every letter is typed, as the trader sees it; a code that is not of the lettered form adds
    // nothing at Enter.
    if (const std::optional<char> typed = CharOfKey(keyCode)) {
        if (typed_.size() < kMaxCodeChars) typed_.push_back(*typed);
    }
    return KeyOutcome::CodeChanged;
}

}  // namespace norvale
