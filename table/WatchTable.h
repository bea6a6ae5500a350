// The table of watched brands: its entries, the order they are shown in, and a removal that waits.
#pragma once

#include <cstdint>
#include <memory_resource>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "table/WatchEntry.h"

namespace norvale {

// The prices a pass asks for, each stored with its text and, when the text has a value, its number.
enum class PriceItem : std::int8_t { Open, PrevClose, Last, Vwap, High, Low };
enum class QuoteSide : std::int8_t { Ask, Bid };

// The brand a slot held when a pass took it. A store through it is refused once the slot holds
// another brand or has left the live range, as a removal or an import after a stop request does.
class EntryHandle {
public:
    int Slot() const { return slot_; }
    const std::string& Topic() const { return topic_; }

private:
    friend class WatchTable;
    EntryHandle(int slot, std::string topic) : slot_(slot), topic_(std::move(topic)) {}
    int slot_;
    std::string topic_;
};

// The live entries are slots 0 to Count() - 1, without gaps, at most 1000. Rows 0 to Count() - 1
// show them in RowOrder(), always a permutation of those slots. A removal asked for while a pass
// runs waits, marked, for the pass's end: entries never move under a running pass.
class WatchTable {
public:
    // The entries' memory, 1000 of them, is taken at once from memory (the window gives it bulk memory).
    explicit WatchTable(std::pmr::memory_resource* memory = std::pmr::get_default_resource());

    int Count() const { return static_cast<int>(entries_.size()); }
    bool Full() const { return Count() >= kMaxEntries; }
    // slot must be below Count().
    const WatchEntry& Entry(int slot) const { return entries_[static_cast<std::size_t>(slot)]; }
    // The slot shown in display row r (0 the top row), r below Count().
    int SlotInRow(int row) const { return rowOrder_[static_cast<std::size_t>(row)]; }
    std::span<const std::int16_t> RowOrder() const { return rowOrder_; }

    // --- what the watch list and the brand entry do
    // No entries, no removal waiting: an import starts here.
    void Clear();
    // A blank entry for the brand as the last slot and the last row; false, changing nothing, when full.
    [[nodiscard]] bool Append(const WatchedBrand& brand);

    // --- what the ranking does
    // Shows the entries in this order; false, changing nothing, unless it is a permutation of the live slots.
    [[nodiscard]] bool SetRowOrder(std::span<const std::int16_t> order);

    // --- what a refresh pass does
    // The brand in a live slot; nullopt beyond the live range.
    std::optional<EntryHandle> Handle(int slot) const;
    // Each returns false, storing nothing, when the slot no longer holds the handle's brand.
    // A text is always stored; its number only when it has one (QuoteNumber), with the measures
    // that rest on it: the current price also moves the arrow and gives the open and close rates.
    [[nodiscard]] bool StorePrice(const EntryHandle& brand, PriceItem item, std::string text);
    // level 0 to 7.
    [[nodiscard]] bool StoreLevel(const EntryHandle& brand, QuoteSide side, int level, std::string text);
    // After a side's levels: those the brand's market has not (QuoteLevels) count 0, their texts
    // stay; the side's total, 0 if it overflows.
    [[nodiscard]] bool TotalLevels(const EntryHandle& brand, QuoteSide side);
    // Every pass, after both totals, whether or not a quantity arrived.
    [[nodiscard]] bool RecomputeQuoteRatio(const EntryHandle& brand);

    // --- removing a brand
    // Removes a live slot now, closing the gap in the slots and in the rows, which keep their
    // relative order; false, changing nothing, for a slot outside the live range or while a
    // removal is marked.
    [[nodiscard]] bool Remove(int slot);
    // Marks a live slot for removal at the end of the running pass; false as for Remove.
    [[nodiscard]] bool MarkForRemoval(int slot);
    bool RemovalMarked() const { return marked_.has_value(); }
    bool MarkedForRemoval(int slot) const { return marked_ == slot; }
    // At a pass's end: removes the marked slot; false when none was marked.
    bool CarryOutRemoval();

private:
    WatchEntry* Holding(const EntryHandle& brand);

    std::pmr::vector<WatchEntry> entries_;
    std::vector<std::int16_t> rowOrder_;  // as long as entries_
    std::optional<int> marked_;           // a live slot
};

}  // namespace norvale
