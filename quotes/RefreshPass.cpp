// The refresh pass. Window events run before every brand and every request, and they may
// change the table under the pass: an append lies beyond the n each loop fixed, a removal
// waits for the completed exit while the pass runs. After a stop request a removal or an
// import happens at once, so the pass stores through a handle of its brand, which the table
// refuses once the slot holds another brand or has left the live range; the rest of that brand
// is then dropped rather than written into another.
#include "quotes/RefreshPass.h"

#include <utility>

#include "quotes/QuoteItems.h"
#include "table/Market.h"
#include "table/QuoteNumber.h"

namespace norvale {

PassExit RefreshPass::Run() {
    polling_.BeginPass();
    loadTicker_.SetEnabled(true);
    dde_.RetryFailures();

    const int firstCount = table_.Count();
    for (int j = 0; j < firstCount; ++j) {
        events_.RunPending();
        if (const auto brand = table_.Handle(j)) FillOnceItems(*brand);
        if (polling_.WindowClosed()) return PassExit::Closed;
        if (polling_.Phase() == PollingPhase::Stopping) return StopExit();
    }
    const int secondCount = table_.Count();
    for (int j = 0; j < secondCount; ++j) {
        events_.RunPending();
        if (const auto brand = table_.Handle(j)) EveryPassItems(*brand);
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

// A text that does not read as a number counts as none, so it is asked for again.
void RefreshPass::FillOnceItems(const EntryHandle& brand) {
    if (!QuoteNumber(table_.Entry(brand.Slot()).openText) && !Price(brand, PriceItem::Open, quote::kOpen)) return;
    if (!QuoteNumber(table_.Entry(brand.Slot()).prevCloseText)) (void)Price(brand, PriceItem::PrevClose, quote::kPrevClose);
}

void RefreshPass::EveryPassItems(const EntryHandle& brand) {
    if (!Price(brand, PriceItem::Last, quote::kLast) || !Price(brand, PriceItem::Vwap, quote::kVwap) ||
        !Price(brand, PriceItem::High, quote::kHigh) || !Price(brand, PriceItem::Low, quote::kLow) ||
        !Levels(brand, QuoteSide::Ask, quote::kAsk) || !Levels(brand, QuoteSide::Bid, quote::kBid)) {
        return;
    }
    (void)table_.RecomputeQuoteRatio(brand);  // every pass, whether or not a quantity arrived
}

bool RefreshPass::Price(const EntryHandle& brand, PriceItem price, std::string_view item) {
    std::string text = RequestItem(brand.Topic(), item);
    return !polling_.QuitPending() && table_.StorePrice(brand, price, std::move(text));
}

bool RefreshPass::Levels(const EntryHandle& brand, QuoteSide side,
                         const std::array<std::string_view, kQuoteLevels>& items) {
    const int levels = QuoteLevels(table_.Entry(brand.Slot()).marketSuffix);
    for (int k = 0; k < levels; ++k) {
        std::string text = RequestItem(brand.Topic(), items[static_cast<std::size_t>(k)]);
        if (polling_.QuitPending() || !table_.StoreLevel(brand, side, k, std::move(text))) return false;
    }
    return table_.TotalLevels(brand, side);
}

}  // namespace norvale
