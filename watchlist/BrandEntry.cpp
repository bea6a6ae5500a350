// Brand entry on the table: digits and letters, Enter, Esc and the removal keys.
#include "watchlist/BrandEntry.h"

#include "platform/KeyCodes.h"
#include "watchlist/BrandIdentity.h"
#include "watchlist/NumericText.h"

namespace norvale {

std::optional<char> CharOfKey(std::int16_t keyCode) {
    const auto in = [keyCode](std::int16_t first, int count) { return keyCode >= first && keyCode < first + count; };
    if (in(key::kDigit0, 10)) return static_cast<char>('0' + keyCode - key::kDigit0);
    if (in(key::kNumpad0, 10)) return static_cast<char>('0' + keyCode - key::kNumpad0);
    if (in(key::kLetterA, 26)) return static_cast<char>('A' + keyCode - key::kLetterA);
    return std::nullopt;
}

AppendResult AppendBrand(WatchTable& table, const BrandMaster& master, const std::string& typedCode) {
    if (table.Full()) return AppendResult::ListFull;
    if (typedCode.size() > kMaxCodeChars) return AppendResult::UnknownCode;
    const std::optional<BrandCode> code = ReadBrandCode(typedCode, CodeForm::Typed);
    if (!code) return AppendResult::UnknownCode;
    const std::optional<WatchedBrand> brand = BrandForCode(*code, master);
    if (!brand || !table.Append(*brand)) return AppendResult::UnknownCode;
    return AppendResult::Added;
}

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
