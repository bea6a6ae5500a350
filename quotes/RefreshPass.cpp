// The refresh pass. Window events run before every brand and every request, and they may
// change the table under the pass: an append lies beyond the n each loop fixed, a removal
// waits for the completed exit while the pass runs. After a stop request a removal or an
// import happens at once, so the pass checks before every store that its brand still holds
// the slot and drops the rest of that brand otherwise, rather than write one brand's quotes
// into another or into a slot that has left the live range.
#include "quotes/RefreshPass.h"

#include <cmath>
#include <optional>
#include <utility>

#include "quotes/Measures.h"
#include "quotes/QuoteItems.h"
#include "quotes/QuoteNumber.h"

namespace norvale {

PassExit RefreshPass::Run() {
    polling_.BeginPass();
    loadTicker_.SetEnabled(true);
    dde_.RetryFailures();

    const int firstCount = table_.EntryCount;
    for (int j = 0; j < firstCount; ++j) {
        events_.RunPending();
        if (const auto topic = LiveTopic(j)) FillOnceItems(j, *topic);
        if (polling_.WindowClosed()) return PassExit::Closed;
        if (polling_.Phase() == PollingPhase::Stopping) return StopExit();
    }
    const int secondCount = table_.EntryCount;
    for (int j = 0; j < secondCount; ++j) {
        events_.RunPending();
        if (const auto topic = LiveTopic(j)) EveryPassItems(j, *topic);
        if (polling_.WindowClosed()) return PassExit::Closed;
        if (polling_.Phase() == PollingPhase::Stopping) return StopExit();
    }
    return PassExit::Completed;
}

std::string RefreshPass::RequestItem(const std::string& topic, std::string_view item) {
    events_.RunPending();
    // Offline mode is read here, at every request, so a toggle applies in the middle of a pass.
    // A close asked for waits for no further request, so against a server that never answers it
    // waits at most the one request under way.
    if (polling_.Offline() || polling_.QuitPending() || polling_.WindowClosed()) return {};
    DdeReply reply = dde_.Request(topic, item, kRequestTimeoutMs);
    if (!reply) {
        // Left there until the next tick of either ticker writes the panel.
        statusBar_.SetPanel(StatusPanel::Activity, "Error !");
        return {};
    }
    return std::move(*reply.text);
}

PassExit RefreshPass::StopExit() {
    statusBar_.SetPanel(StatusPanel::Activity, "停止");
    loadTicker_.SetEnabled(false);
    polling_.EndPass();
    if (polling_.QuitPending()) {
        window_.Close();  // through CloseRequested and Closing; nothing is touched after
        return polling_.WindowClosed() ? PassExit::Closed : PassExit::Stopped;
    }
    return PassExit::Stopped;
}

std::optional<std::string> RefreshPass::LiveTopic(int j) const {
    if (j >= table_.EntryCount) return std::nullopt;
    return table_.entries[static_cast<std::size_t>(j)].topic;
}

// Requests one item; the text, or nullopt when the brand left its slot meanwhile or a close was
// asked for (the rest of the brand is then dropped, not stored empty). Texts are moved into their
// fields: a copy would keep the largest buffer a field ever needed.
std::optional<std::string> RefreshPass::Ask(int j, const std::string& topic, std::string_view item) {
    std::string text = RequestItem(topic, item);
    if (polling_.QuitPending() || j >= table_.EntryCount || Entry(j).topic != topic) return std::nullopt;
    return text;
}

void RefreshPass::FillOnceItems(int j, const std::string& topic) {
    // A text that does not read as a number counts as none, so it is asked for again.
    if (!QuoteNumber(Entry(j).openText)) {
        auto text = Ask(j, topic, quote::kOpen);
        if (!text) return;
        WatchEntry& e = Entry(j);
        e.openText = std::move(*text);
        if (const auto v = QuoteNumber(e.openText)) e.open = *v;
    }
    if (!QuoteNumber(Entry(j).prevCloseText)) {
        auto text = Ask(j, topic, quote::kPrevClose);
        if (!text) return;
        WatchEntry& e = Entry(j);
        e.prevCloseText = std::move(*text);
        if (const auto v = QuoteNumber(e.prevCloseText)) e.prevClose = *v;
    }
}

void RefreshPass::EveryPassItems(int j, const std::string& topic) {
    auto text = Ask(j, topic, quote::kLast);
    if (!text) return;
    {
        WatchEntry& e = Entry(j);
        e.lastText = std::move(*text);
        if (const auto v = QuoteNumber(e.lastText)) {
            e.prevLast = e.last;
            e.last = *v;
            // The first price (from 0) and an unchanged one keep the arrow as it was.
            if (e.prevLast != 0) {
                if (e.last > e.prevLast) e.move = PriceMove::Rose;
                if (e.last < e.prevLast) e.move = PriceMove::Fell;
            }
            RecomputeOpenAndPrevCloseDev(e);
        }
    }
    if (!Price(j, topic, quote::kVwap, &WatchEntry::vwapText, &WatchEntry::vwap, RecomputeVwapDev)) return;
    if (!Price(j, topic, quote::kHigh, &WatchEntry::highText, &WatchEntry::high, RecomputeHighDev)) return;
    if (!Price(j, topic, quote::kLow, &WatchEntry::lowText, &WatchEntry::low, RecomputeLowDev)) return;
    if (!Levels(j, topic, quote::kAsk, &WatchEntry::askQtyText, &WatchEntry::askQty, &WatchEntry::askQtyTotal))
        return;
    if (!Levels(j, topic, quote::kBid, &WatchEntry::bidQtyText, &WatchEntry::bidQty, &WatchEntry::bidQtyTotal))
        return;
    RecomputeQuoteRatio(Entry(j));  // every pass, whether or not a quantity arrived
}

bool RefreshPass::Price(int j, const std::string& topic, std::string_view item, std::string WatchEntry::*textField,
                        double WatchEntry::*numberField, void (*recompute)(WatchEntry&)) {
    auto text = Ask(j, topic, item);
    if (!text) return false;
    WatchEntry& e = Entry(j);
    e.*textField = std::move(*text);
    if (const auto v = QuoteNumber(e.*textField)) {
        e.*numberField = *v;
        recompute(e);
    }
    return true;
}

bool RefreshPass::Levels(int j, const std::string& topic, const std::array<std::string_view, kQuoteLevels>& items,
                         std::array<std::string, kQuoteLevels> WatchEntry::*texts,
                         std::array<double, kQuoteLevels> WatchEntry::*quantities, double WatchEntry::*total) {
    const bool deep = Entry(j).marketSuffix == quote::kDeepMarketSuffix;
    const int levels = deep ? kQuoteLevels : quote::kCommonLevels;
    for (int k = 0; k < levels; ++k) {
        auto text = Ask(j, topic, items[static_cast<std::size_t>(k)]);
        if (!text) return false;
        WatchEntry& e = Entry(j);
        const auto level = static_cast<std::size_t>(k);
        (e.*texts)[level] = std::move(*text);
        if (const auto v = QuoteNumber((e.*texts)[level])) (e.*quantities)[level] = *v;
    }
    WatchEntry& e = Entry(j);
    // Other markets have no levels 6 to 8: they count 0, their texts stay as they are.
    if (!deep) {
        for (std::size_t k = quote::kCommonLevels; k < kQuoteLevels; ++k) (e.*quantities)[k] = 0;
    }
    double sum = 0;
    for (const double q : e.*quantities) sum += q;
    // Quantities near the largest double add up to infinity: such a total counts 0, as a
    // measure that came out infinite does.
    e.*total = std::isfinite(sum) ? sum : 0;
    return true;
}

}  // namespace norvale
