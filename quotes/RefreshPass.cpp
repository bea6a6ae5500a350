// The refresh pass: every watched brand's quotes from the quote server into the watch table.
#include <array>
#include <cmath>
#include <optional>
#include <string>
#include <utility>

#include "app/FrmGrp.h"
#include "app/Scheduler.h"
#include "quotes/QuoteNumber.h"
#include "ranking/NumberFormat.h"
#include "ranking/Ranking.h"

namespace norvale {

namespace {

constexpr std::int32_t kRequestTimeoutMs = 500;
constexpr int kCommonLevels = 5;  // levels 6 to 8 are asked only of "oj" brands

// The item names as the quote server knows them; the level digits are full-width.
const std::array<std::string, kQuoteLevels> kAskItems = {
    "最良売気配数量１", "最良売気配数量２", "最良売気配数量３", "最良売気配数量４",
    "最良売気配数量５", "最良売気配数量６", "最良売気配数量７", "最良売気配数量８"};
const std::array<std::string, kQuoteLevels> kBidItems = {
    "最良買気配数量１", "最良買気配数量２", "最良買気配数量３", "最良買気配数量４",
    "最良買気配数量５", "最良買気配数量６", "最良買気配数量７", "最良買気配数量８"};

// One pass over the table. Window events run before every brand and every request, and they
// may change the table under the pass: an append lies beyond the n each loop fixed, a removal
// waits for the completed exit while RefreshState is 1. After a stop request (RefreshState 2)
// a removal or an import happens at once, so the pass checks before every store that its
// brand still holds the slot and drops the rest of that brand otherwise, rather than write
// one brand's quotes into another or into a slot that has left the live range.
class PassRun {
public:
    PassRun(FrmGrp& frm, Platform& p) : f_(frm), p_(p) {}

    PassExit Run() {
        f_.polling.RefreshState = 1;
        f_.polling.LoadSeconds = 0;
        p_.timer1.SetEnabled(true);
        f_.dde.RetryFailedConnect();

        const int firstCount = f_.table.EntryCount;
        for (int j = 0; j < firstCount; ++j) {
            p_.events.RunPending();
            if (const auto topic = LiveTopic(j)) FillOnceItems(j, *topic);
            if (f_.Closed()) return PassExit::Closed;
            if (f_.polling.RefreshState == 2) return StopExit();
        }
        const int secondCount = f_.table.EntryCount;
        for (int j = 0; j < secondCount; ++j) {
            p_.events.RunPending();
            if (const auto topic = LiveTopic(j)) EveryPassItems(j, *topic);
            if (f_.Closed()) return PassExit::Closed;
            if (f_.polling.RefreshState == 2) return StopExit();
        }
        CompletedExit();
        return PassExit::Completed;
    }

private:
    std::optional<std::string> LiveTopic(int j) const {
        if (j >= f_.table.EntryCount) return std::nullopt;
        return f_.table.entries[static_cast<std::size_t>(j)].topic;
    }

    // The entry j, or null when another brand has taken its slot while events ran.
    WatchEntry* Still(int j, const std::string& topic) {
        if (j >= f_.table.EntryCount) return nullptr;
        WatchEntry& e = f_.table.entries[static_cast<std::size_t>(j)];
        return e.topic == topic ? &e : nullptr;
    }

    // Requests one item; the text, or nullopt when the brand left its slot meanwhile. Texts are
    // moved into their fields: a copy would keep the largest buffer a field ever needed.
    std::optional<std::string> Ask(int j, const std::string& topic, const std::string& item) {
        std::string text = f_.RequestItem(topic, item);
        if (Still(j, topic) == nullptr) return std::nullopt;
        return text;
    }

    void FillOnceItems(int j, const std::string& topic) {
        // A text that does not read as a number counts as none, so it is asked for again.
        if (!QuoteNumber(Entry(j).openText)) {
            auto text = Ask(j, topic, "始値");
            if (!text) return;
            WatchEntry& e = Entry(j);
            e.openText = std::move(*text);
            if (const auto v = QuoteNumber(e.openText)) e.open = *v;
        }
        if (!QuoteNumber(Entry(j).prevCloseText)) {
            auto text = Ask(j, topic, "前日終値");
            if (!text) return;
            WatchEntry& e = Entry(j);
            e.prevCloseText = std::move(*text);
            if (const auto v = QuoteNumber(e.prevCloseText)) e.prevClose = *v;
        }
    }

    void EveryPassItems(int j, const std::string& topic) {
        auto text = Ask(j, topic, "現在値");
        if (!text) return;
        {
            WatchEntry& e = Entry(j);
            e.lastText = std::move(*text);
            if (const auto v = QuoteNumber(e.lastText)) {
                e.prevLast = e.last;
                e.last = *v;
                // The first price (from 0) and an unchanged one keep the arrow as it was.
                if (e.prevLast != 0) {
                    if (e.last > e.prevLast) e.tick = 1;
                    if (e.last < e.prevLast) e.tick = 2;
                }
                RecomputeOpenAndPrevCloseDev(e);
            }
        }
        if (!Price(j, topic, "出来高加重平均", &WatchEntry::vwapText, &WatchEntry::vwap, RecomputeVwapDev)) return;
        if (!Price(j, topic, "高値", &WatchEntry::highText, &WatchEntry::high, RecomputeHighDev)) return;
        if (!Price(j, topic, "安値", &WatchEntry::lowText, &WatchEntry::low, RecomputeLowDev)) return;
        if (!Levels(j, topic, kAskItems, &WatchEntry::askQtyText, &WatchEntry::askQty, &WatchEntry::askQtyTotal))
            return;
        if (!Levels(j, topic, kBidItems, &WatchEntry::bidQtyText, &WatchEntry::bidQty, &WatchEntry::bidQtyTotal))
            return;
        RecomputeQuoteRatio(Entry(j));  // every pass, whether or not a quantity arrived
    }

    bool Price(int j, const std::string& topic, const std::string& item, std::string WatchEntry::*textField,
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

    bool Levels(int j, const std::string& topic, const std::array<std::string, kQuoteLevels>& items,
                std::array<std::string, kQuoteLevels> WatchEntry::*texts,
                std::array<double, kQuoteLevels> WatchEntry::*quantities, double WatchEntry::*total) {
        const bool deep = Entry(j).marketSuffix == "oj";
        const int levels = deep ? kQuoteLevels : kCommonLevels;
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
            for (std::size_t k = kCommonLevels; k < kQuoteLevels; ++k) (e.*quantities)[k] = 0;
        }
        double sum = 0;
        for (const double q : e.*quantities) sum += q;
        // Quantities near the largest double add up to infinity: such a total counts 0, as a
        // measure that came out infinite does.
        e.*total = std::isfinite(sum) ? sum : 0;
        return true;
    }

    WatchEntry& Entry(int j) { return f_.table.entries[static_cast<std::size_t>(j)]; }

    void CompletedExit() {
        SortRows(f_.table, f_.SortKey);
        p_.timer1.SetEnabled(false);
        f_.polling.RefreshState = 0;
        p_.statusBar.SetPanel(3, "読込み時間:" + SignPlace(f_.polling.LoadSeconds) + "秒");
        f_.polling.WaitLimit =
            WaitLimitAfterPass(p_.window.ComboIndex(Combo::Interval), f_.polling.LoadSeconds, f_.polling.WaitLimit);
        if (f_.table.DeletePending == 1) {
            f_.table.DeletePending = 2;
            f_.RemoveEntry();
        }
        f_.DrawTable();
    }

    PassExit StopExit() {
        p_.statusBar.SetPanel(1, "停止");
        p_.timer1.SetEnabled(false);
        f_.polling.RefreshState = 0;
        if (f_.polling.QuitPending == 1) {
            p_.window.Close();  // through Form_QueryUnload and Form_Unload; nothing is touched after
            return f_.Closed() ? PassExit::Closed : PassExit::Stopped;
        }
        return PassExit::Stopped;
    }

    FrmGrp& f_;
    Platform& p_;
};

}  // namespace

PassExit FrmGrp::RefreshPass() { return PassRun(*this, p_).Run(); }

std::string FrmGrp::RequestItem(const std::string& topic, const std::string& item) {
    std::string result;
    p_.events.RunPending();
    // Offline mode is read here, at every request, so a toggle applies in the middle of a pass.
    if (polling.OfflineMode == 1 || closed_) return result;
    if (!dde.DdeRequest(topic, item, kRequestTimeoutMs, result)) {
        // Left there until the next tick of either ticker writes panel 1.
        p_.statusBar.SetPanel(1, "Error !");
        result.clear();
    }
    return result;
}

}  // namespace norvale
