// Brand entry on the table: digits, Enter, Esc and the removal keys.
#include "watchlist/BrandEntry.h"

#include "platform/KeyCodes.h"
#include "watchlist/BrandIdentity.h"
#include "watchlist/NumericText.h"

namespace norvale {

std::optional<int> DigitOfKey(std::int16_t keyCode) {
    if (keyCode >= key::kDigit0 && keyCode <= key::kDigit0 + 9) return keyCode - key::kDigit0;
    if (keyCode >= key::kNumpad0 && keyCode <= key::kNumpad0 + 9) return keyCode - key::kNumpad0;
    return std::nullopt;
}

AppendResult AppendBrand(WatchTable& table, const BrandMaster& master, const std::string& codeDigits) {
    if (table.EntryCount >= kMaxEntries) return AppendResult::ListFull;
    if (codeDigits.size() > kMaxCodeDigits) return AppendResult::UnknownCode;
    const std::optional<std::int16_t> code = ReadBrandCode(codeDigits, CodeForm::Typed);
    if (!code) return AppendResult::UnknownCode;
    // A fresh entry replaces the slot, blank as it should already be, so the new brand never
    // inherits quotes (the fill-once open and previous close above all).
    WatchEntry entry;
    if (!FillEntryForCode(entry, *code, master)) return AppendResult::UnknownCode;
    (void)table.Append(std::move(entry));
    return AppendResult::Added;
}

KeyOutcome BrandEntry::KeyReleased(std::int16_t keyCode, WatchTable& table, const BrandMaster& master,
                                   std::int16_t selectedEntry, PollingPhase phase) {
    // A removal waits for the end of the running pass; until then the table must not change.
    if (table.removal != PendingRemoval::None) return KeyOutcome::Ignored;

    if (keyCode == key::kEnter) {
        KeyOutcome outcome = KeyOutcome::CodeChanged;
        if (!typed_.empty()) {
            const AppendResult result = AppendBrand(table, master, typed_);
            if (result == AppendResult::Added) outcome = KeyOutcome::Added;
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
        if (selectedEntry == -1) return KeyOutcome::CodeChanged;
        table.DeleteTarget = selectedEntry;
        if (phase != PollingPhase::Running) return KeyOutcome::RemoveNow;
        // Entries must not move under the running pass: mark the row, remove at its end.
        table.removal = PendingRemoval::AfterPass;
        return KeyOutcome::RemoveAfterPass;
    }
    if (const std::optional<int> digit = DigitOfKey(keyCode)) {
        if (typed_.size() < kMaxCodeDigits) typed_.push_back(static_cast<char>('0' + *digit));
    }
    return KeyOutcome::CodeChanged;
}

}  // namespace norvale
