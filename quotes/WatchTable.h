// The table of watched brands, its display order and the removal request.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "quotes/BrandCode.h"

namespace norvale {

inline constexpr int kMaxEntries = 1000;
inline constexpr int kQuoteLevels = 8;

// The direction of the last change of the current price, for the arrow in front of it.
enum class PriceMove : std::int8_t { None, Rose, Fell };

// One watched brand. Texts are held as UTF-8. A text that is empty or a single blank has
// no value; its number then keeps what it last held (0 for a new entry).
struct WatchEntry {
    BrandCode code;
    std::string topic;
    double quoteRatio = 0;
    std::string codeText;
    std::string marketSuffix;
    std::string brandName;
    std::string lastText;
    double last = 0;
    double prevLast = 0;
    PriceMove move = PriceMove::None;  // None until a second price differs from the first
    std::string prevCloseText;
    double prevClose = 0;
    double prevCloseDev = 0;
    std::string vwapText;
    double vwap = 0;
    double vwapDev = 0;
    std::string openText;
    double open = 0;
    double openDev = 0;
    std::string highText;
    double high = 0;
    double highDev = 0;
    std::string lowText;
    double low = 0;
    double lowDev = 0;
    std::array<std::string, kQuoteLevels> askQtyText;  // levels 1 to 8 at 0 to 7
    std::array<double, kQuoteLevels> askQty{};
    double askQtyTotal = 0;
    std::array<std::string, kQuoteLevels> bidQtyText;
    std::array<double, kQuoteLevels> bidQty{};
    double bidQtyTotal = 0;
};

// Where a removal asked for by the trader stands.
enum class PendingRemoval : std::int8_t {
    None,       // nothing asked for
    AfterPass,  // waits for the end of the running pass; the row is shown black meanwhile
    Removing,   // under way
};

struct WatchTable {
    std::array<WatchEntry, kMaxEntries> entries;
    // RowOrder[r] is the slot shown in display row r; a permutation over 0..EntryCount-1.
    std::array<std::int16_t, kMaxEntries> RowOrder{};
    std::int16_t EntryCount = 0;
    std::int16_t DeleteTarget = 0;
    PendingRemoval removal = PendingRemoval::None;

    WatchTable() { ResetRowOrder(); }

    void ResetRowOrder();
    void BlankAll();
    // Appends a filled entry as the last slot and the last display row; false when full.
    bool Append(WatchEntry entry);
    // Removes slot DeleteTarget and closes the gap in the slots and in RowOrder, keeping the
    // relative order of the remaining rows. Redrawing and clearing the removal are left to
    // the caller (RemoveEntry of the window logic).
    void RemoveTargetSlot();
};

}  // namespace norvale
