#include "watchlist/BrandEntry.h"

#include "app/FrmGrp.h"
#include "watchlist/BrandIdentity.h"

namespace norvale {

std::optional<int> DigitOfKey(std::int16_t keyCode) {
    if (keyCode >= kKeyDigit0 && keyCode <= kKeyDigit0 + 9) return keyCode - kKeyDigit0;
    if (keyCode >= kKeyNumpad0 && keyCode <= kKeyNumpad0 + 9) return keyCode - kKeyNumpad0;
    return std::nullopt;
}

AppendResult AppendBrand(WatchTable& table, const BrandMaster& master, const std::string& codeDigits) {
    if (table.EntryCount >= kMaxEntries) return AppendResult::ListFull;
    if (codeDigits.empty() || codeDigits.size() > kMaxCodeDigits) return AppendResult::UnknownCode;
    int value = 0;
    for (char c : codeDigits) {
        if (c < '0' || c > '9') return AppendResult::UnknownCode;
        value = value * 10 + (c - '0');
    }
    const auto code = static_cast<std::int16_t>(value);  // at most 9999

    const std::int16_t b = table.EntryCount;
    // A fresh entry replaces the slot, blank as it should already be, so the new brand never
    // inherits quotes (the fill-once open and previous close above all).
    WatchEntry entry;
    if (!FillEntryForCode(entry, code, master)) return AppendResult::UnknownCode;
    table.entries[b] = std::move(entry);
    table.RowOrder[b] = b;
    table.EntryCount = static_cast<std::int16_t>(b + 1);
    return AppendResult::Added;
}

void FrmGrp::Picture1_Click() {
    view.ClickY = p_.window.PointerYOnPicture1();
    DrawTable();  // over the old image: the selection follows from the redraw
}

void FrmGrp::Picture1_KeyUp(std::int16_t keyCode, std::int16_t /*shift*/) {
    // A removal waits for the end of the running pass; until then the table must not change.
    if (table.DeletePending != 0) return;

    if (keyCode == kKeyEnter) {
        if (!CodeEntry.empty()) {
            const AppendResult result = AppendBrand(table, master, CodeEntry);
            if (result == AppendResult::Added) {
                p_.picture1.Clear();
                DrawTable();
            } else if (result == AppendResult::ListFull) {
                p_.statusBar.SetPanel(1, kListFullText);
            }
        }
        CodeEntry.clear();
    } else if (keyCode == kKeyEscape) {
        CodeEntry.clear();
    } else if (keyCode == kKeyDelete || keyCode == kKeyBackspace) {
        if (view.SelectedEntry != -1) {
            table.DeleteTarget = view.SelectedEntry;
            if (polling.RefreshState == 1) {
                // Entries must not move under the running pass: mark the row, remove at its end.
                table.DeletePending = 1;
                p_.picture1.Clear();
                DrawTable();
            } else {
                RemoveEntry();
            }
        }
    } else if (const std::optional<int> digit = DigitOfKey(keyCode)) {
        if (CodeEntry.size() < kMaxCodeDigits) CodeEntry.push_back(static_cast<char>('0' + *digit));
    }
    p_.window.SetText1(CodeEntry);
}

}  // namespace norvale
