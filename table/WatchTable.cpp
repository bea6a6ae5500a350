// The watch table's operations, each keeping the live range and the row order whole.
#include "table/WatchTable.h"

#include <cmath>

#include "table/Market.h"
#include "table/Measures.h"
#include "table/QuoteNumber.h"

namespace norvale {

namespace {

struct PriceFields {
    std::string WatchEntry::*text;
    double WatchEntry::*number;
    void (*recompute)(WatchEntry&);  // the rate that rests on it, if any
};

// By PriceItem; the current price has more to it (StorePrice).
constexpr PriceFields kPrices[] = {
    {&WatchEntry::openText, &WatchEntry::open, nullptr},
    {&WatchEntry::prevCloseText, &WatchEntry::prevClose, nullptr},
    {&WatchEntry::lastText, &WatchEntry::last, RecomputeOpenAndPrevCloseDev},
    {&WatchEntry::vwapText, &WatchEntry::vwap, RecomputeVwapDev},
    {&WatchEntry::highText, &WatchEntry::high, RecomputeHighDev},
    {&WatchEntry::lowText, &WatchEntry::low, RecomputeLowDev},
};

struct SideFields {
    std::array<std::string, kQuoteLevels> WatchEntry::*texts;
    std::array<double, kQuoteLevels> WatchEntry::*quantities;
    double WatchEntry::*total;
};

constexpr SideFields kSides[] = {
    {&WatchEntry::askQtyText, &WatchEntry::askQty, &WatchEntry::askQtyTotal},
    {&WatchEntry::bidQtyText, &WatchEntry::bidQty, &WatchEntry::bidQtyTotal},
};

}  // namespace

WatchTable::WatchTable(std::pmr::memory_resource* memory) : entries_(memory) {
    // Never reallocated: an entry stays where it is while the table grows.
    entries_.reserve(kMaxEntries);
    rowOrder_.reserve(kMaxEntries);
}

void WatchTable::Clear() {
    entries_.clear();
    rowOrder_.clear();
    marked_.reset();
}

bool WatchTable::Append(const WatchedBrand& brand) {
    if (Full()) return false;
    WatchEntry& e = entries_.emplace_back();
    e.code = brand.code;
    e.codeText = brand.codeText;
    e.brandName = brand.brandName;
    e.marketSuffix = brand.marketSuffix;
    e.topic = TopicOf(brand.code, brand.marketSuffix);
    rowOrder_.push_back(static_cast<std::int16_t>(Count() - 1));
    return true;
}

bool WatchTable::SetRowOrder(std::span<const std::int16_t> order) {
    if (static_cast<int>(order.size()) != Count()) return false;
    std::vector<bool> seen(order.size());
    for (const std::int16_t slot : order) {
        if (slot < 0 || slot >= Count() || seen[static_cast<std::size_t>(slot)]) return false;
        seen[static_cast<std::size_t>(slot)] = true;
    }
    rowOrder_.assign(order.begin(), order.end());
    return true;
}

std::optional<EntryHandle> WatchTable::Handle(int slot) const {
    if (slot < 0 || slot >= Count()) return std::nullopt;
    return EntryHandle(slot, Entry(slot).topic);
}

WatchEntry* WatchTable::Holding(const EntryHandle& brand) {
    if (brand.slot_ >= Count()) return nullptr;
    WatchEntry& e = entries_[static_cast<std::size_t>(brand.slot_)];
    return e.topic == brand.topic_ ? &e : nullptr;
}

// Texts are moved into their fields: a copy would keep the largest buffer a field ever needed.
bool WatchTable::StorePrice(const EntryHandle& brand, PriceItem item, std::string text) {
    WatchEntry* e = Holding(brand);
    if (e == nullptr) return false;
    const PriceFields& f = kPrices[static_cast<std::size_t>(item)];
    e->*f.text = std::move(text);
    const std::optional<double> v = QuoteNumber(e->*f.text);
    if (!v) return true;
    if (item == PriceItem::Last) {
        e->prevLast = e->last;
        // The first price (from 0) and an unchanged one keep the arrow as it was.
        if (e->prevLast != 0 && *v > e->prevLast) e->move = PriceMove::Rose;
        if (e->prevLast != 0 && *v < e->prevLast) e->move = PriceMove::Fell;
    }
    e->*f.number = *v;
    if (f.recompute != nullptr) f.recompute(*e);
    return true;
}

bool WatchTable::StoreLevel(const EntryHandle& brand, QuoteSide side, int level, std::string text) {
    WatchEntry* e = Holding(brand);
    if (e == nullptr) return false;
    const SideFields& f = kSides[static_cast<std::size_t>(side)];
    const auto k = static_cast<std::size_t>(level);
    (e->*f.texts)[k] = std::move(text);
    if (const std::optional<double> v = QuoteNumber((e->*f.texts)[k])) (e->*f.quantities)[k] = *v;
    return true;
}

bool WatchTable::TotalLevels(const EntryHandle& brand, QuoteSide side) {
    WatchEntry* e = Holding(brand);
    if (e == nullptr) return false;
    const SideFields& f = kSides[static_cast<std::size_t>(side)];
    auto& quantities = e->*f.quantities;
    for (auto k = static_cast<std::size_t>(QuoteLevels(e->marketSuffix)); k < kQuoteLevels; ++k) quantities[k] = 0;
    double sum = 0;
    for (const double q : quantities) sum += q;
    // Quantities near the largest double add up to infinity: such a total counts 0, as a
    // measure that came out infinite does.
    e->*f.total = std::isfinite(sum) ? sum : 0;
    return true;
}

bool WatchTable::RecomputeQuoteRatio(const EntryHandle& brand) {
    WatchEntry* e = Holding(brand);
    if (e == nullptr) return false;
    norvale::RecomputeQuoteRatio(*e);
    return true;
}

bool WatchTable::Remove(int slot) {
    if (slot < 0 || slot >= Count() || marked_) return false;
    // The row that showed it goes; the rows below move up, and the slots above it move down by one.
    for (auto r = rowOrder_.begin(); r != rowOrder_.end(); ++r) {
        if (*r == slot) {
            rowOrder_.erase(r);
            break;
        }
    }
    for (std::int16_t& r : rowOrder_) {
        if (r > slot) --r;
    }
    entries_.erase(entries_.begin() + slot);
    return true;
}

bool WatchTable::MarkForRemoval(int slot) {
    if (slot < 0 || slot >= Count() || marked_) return false;
    marked_ = slot;
    return true;
}

bool WatchTable::CarryOutRemoval() {
    if (!marked_) return false;
    const int slot = *marked_;
    marked_.reset();
    return Remove(slot);
}

}  // namespace norvale
