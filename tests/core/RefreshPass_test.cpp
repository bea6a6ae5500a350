// The refresh pass against a scripted quote server: what it asks, what it stores, how it ends.
#include <gtest/gtest.h>

#include <algorithm>

#include "quotes/QuoteItems.h"
#include "tests/core/PollingFixture.h"

namespace norvale {
namespace {

// Spelt out here, full-width digits and all, rather than taken from the code's own table.
std::vector<std::string> EveryPassItems(const std::string& topic, bool oj) {
    const char* const digits[] = {"１", "２", "３", "４", "５", "６", "７", "８"};
    std::vector<std::string> out;
    for (const char* item : {"現在値", "出来高加重平均", "高値", "安値"}) out.push_back(topic + "," + item);
    for (const char* side : {"最良売気配数量", "最良買気配数量"})
        for (int k = 0; k < (oj ? 8 : 5); ++k) out.push_back(topic + "," + side + digits[k]);
    return out;
}

// That the fill-once items are not asked again once they have a value is the next test's.
TEST(RefreshPass, AsksEachItemOnceInOrderWithEventsBeforeEveryBrandAndRequest) {
    Polling p({"7203", "9984.oj"});
    // The pump count at each request: one more within a brand, two more at a new brand.
    std::vector<int> pumpsAt;
    p.onRequest = [&](int, const std::string&, const std::string&) { pumpsAt.push_back(p.fp.events.calls); };

    EXPECT_EQ(p.logic.RunPass(), PassExit::Completed);
    std::vector<std::string> expected = {"7203.t,始値", "7203.t,前日終値", "9984.oj,始値", "9984.oj,前日終値"};
    std::ranges::copy(EveryPassItems("7203.t", false), std::back_inserter(expected));
    std::ranges::copy(EveryPassItems("9984.oj", true), std::back_inserter(expected));
    EXPECT_EQ(p.Requests(), expected);
    EXPECT_EQ(p.fp.ddeml.lastTimeout, 500u);
    const std::vector<std::size_t> brandStarts = {0, 2, 4, 4 + 14};
    ASSERT_EQ(pumpsAt.size(), expected.size());
    for (std::size_t k = 0; k < pumpsAt.size(); ++k) {
        const bool newBrand = std::find(brandStarts.begin(), brandStarts.end(), k) != brandStarts.end();
        EXPECT_EQ(pumpsAt[k], (k == 0 ? 0 : pumpsAt[k - 1]) + (newBrand ? 2 : 1)) << "request " << k;
    }
}

// Pass after pass on one brand: every text asked for is stored, a number only from a value (an
// empty or single-blank text, or one that is not a number, has none). The fill-once open and close
// are asked until they have a value. The arrow shows the last change of price. The open and close
// rates wait for a valid price and follow every new one; the VWAP, high and low rates are worked out
// again only when their own text arrives, from the price of that moment.
TEST(RefreshPass, StoresTextsAlwaysNumbersFromAValueAndEachRateWhenItsTextsArrive) {
    Polling p({"1301"});
    using enum PriceMove;
    struct Step {
        const char *open, *close, *last, *vwap, *high, *low;
        std::size_t asked;
        double openValue, prevClose, lastValue, prevLast;
        PriceMove move;
        double openDev, prevCloseDev, vwapDev, highDev, lowDev, highValue, lowValue;
    };
    const Step steps[] = {
        {" ", "", "現在値 1,000", "800", "1250", "500", 16, 0, 0, 1000, 0, None, 0, 0, 25, -20, 100, 1250, 500},
        {"---", "前日終値 500", " ", "", "", "", 16, 0, 500, 1000, 0, None, 0, 0, 25, -20, 100, 1250, 500},
        {"800", "", "1,000", "", "", "", 15, 800, 500, 1000, 1000, None, 25, 100, 25, -20, 100, 1250, 500},
        {"", "", "1,100", "", "", "", 14, 800, 500, 1100, 1000, Rose, 37.5, 120, 25, -20, 100, 1250, 500},
        {"", "", "1,100", "", "", "440", 14, 800, 500, 1100, 1100, Rose, 37.5, 120, 25, -20, 150, 1250, 440},
        {"", "", "990", "", "2200", "", 14, 800, 500, 990, 1100, Fell, 23.75, 98, 25, -55, 150, 2200, 440},
        {"", "", "---", "", "", "", 14, 800, 500, 990, 1100, Fell, 23.75, 98, 25, -55, 150, 2200, 440},
        {"", "", "1,100", "1000", "", "", 14, 800, 500, 1100, 990, Rose, 37.5, 120, 10, -55, 150, 2200, 440},
    };
    const WatchEntry& e = p.Entry(0);
    const std::string* stored[] = {&e.openText, &e.prevCloseText, &e.lastText, &e.vwapText, &e.highText, &e.lowText};
    int step = 0;
    for (const Step& s : steps) {
        SCOPED_TRACE(step++);
        const char* texts[] = {s.open, s.close, s.last, s.vwap, s.high, s.low};
        for (int k = 0; k < 6; ++k) p.quotes["1301.t|" + std::string(quote::kAll[k])] = texts[k];
        p.ForgetRequests();
        (void)p.logic.RunPass();
        const auto asked = p.Requests();
        for (int k = 0; k < 6; ++k) {  // every text asked for is stored
            const bool wasAsked = std::ranges::count(asked, "1301.t," + std::string(quote::kAll[k])) != 0;
            EXPECT_TRUE(!wasAsked || *stored[k] == texts[k]) << k << ": " << *stored[k];
        }
        EXPECT_EQ(std::tuple(asked.size(), e.move, std::vector{e.open, e.prevClose, e.last, e.prevLast, e.high, e.low}),
                  std::tuple(s.asked, s.move,
                             std::vector{s.openValue, s.prevClose, s.lastValue, s.prevLast, s.highValue, s.lowValue}));
        const double off[] = {e.openDev - s.openDev, e.prevCloseDev - s.prevCloseDev, e.vwapDev - s.vwapDev,
                              e.highDev - s.highDev, e.lowDev - s.lowDev};
        for (int k = 0; k < 5; ++k) EXPECT_NEAR(off[k], 0, 1e-9) << "rate " << k;
    }
}

TEST(RefreshPass, FailedRequestsShowErrorKeepValuesAndThePassStillCompletes) {
    Polling p({"7203", "6758"});
    p.quotes["7203.t|最良買気配数量１"] = "300";
    p.quotes["7203.t|最良売気配数量１"] = "100";
    p.quotes["7203.t|現在値"] = "1000";
    p.fallback = "0";
    // Only 6758's fill-once items fail; the many requests that succeed after them leave
    // "Error !" standing.
    p.onRequest = [&](int, const std::string& topic, const std::string& item) {
        p.failing = topic == "6758.t" && (item == "始値" || item == "前日終値");
    };
    (void)p.logic.RunPass();
    EXPECT_EQ(std::tuple(p.Entry(0).quoteRatio, p.Entry(1).openText, p.Panel(StatusPanel::Activity)),
              std::tuple(75., "", "Error !"));

    p.onRequest = nullptr;
    p.failing = true;
    p.fp.statusBar.writes.clear();
    EXPECT_EQ(p.logic.RunPass(), PassExit::Completed);
    const WatchEntry& e = p.Entry(0);
    EXPECT_EQ(std::tuple(p.fp.statusBar.writes.front(), e.lastText, e.last, e.askQtyText[0], e.askQty[0], e.quoteRatio,
                         p.Panel(StatusPanel::LoadTime)),
              std::tuple(std::pair<StatusPanel, std::string>(StatusPanel::Activity, "Error !"), "", 1000., "", 100., 75.,
                         "読込み時間: 0秒"));

    // A fill-once item that failed is asked for again by the next pass.
    p.failing = false;
    p.fallback = "100";
    p.ForgetRequests();
    (void)p.logic.RunPass();
    EXPECT_EQ(std::tuple(p.Requests().front(), p.Entry(1).open), std::tuple("6758.t,始値", 100.));
}

// With one watched brand the topic never changes between passes: a server that was down must
// still be reached again once it is back, by one connect per pass and no more.
TEST(RefreshPass, OneBrandReachesTheServerAgainAfterItComesBack) {
    Polling p({"7203"});
    p.quotes["7203.t|現在値"] = "1,500";
    auto connects = [&p] {
        return static_cast<int>(std::ranges::count_if(p.fp.ddeml.log, [](auto& l) { return l.starts_with("Connect("); }));
    };
    p.fp.ddeml.serverUp = false;
    for (int pass = 0; pass < 2; ++pass) (void)p.logic.RunPass();
    EXPECT_EQ(std::pair(connects(), p.Entry(0).last), std::pair(2, 0.));
    p.fp.ddeml.serverUp = true;
    (void)p.logic.RunPass();
    EXPECT_EQ(std::pair(connects(), p.Entry(0).last), std::pair(3, 1500.));
    (void)p.logic.RunPass();
    EXPECT_EQ(connects(), 3);  // a live conversation is kept
}

TEST(RefreshPass, OfflineAsksNothingAndChangesNoNumberFromTheNextRequestOn) {
    Polling p({"7203"});
    p.fallback = "123";
    (void)p.logic.RunPass();

    // Switched offline while the second request is under way.
    p.ForgetRequests();
    p.afterRequest[p.served + 2] = [&] { p.logic.ToggleOffline(); };
    p.fallback = "456";
    EXPECT_EQ(p.logic.RunPass(), PassExit::Completed);
    const WatchEntry& e = p.Entry(0);
    // The pass overwrites "OFF LINE" with its load time.
    EXPECT_EQ(std::tuple(p.Requests().size(), e.lastText, e.vwapText, e.highText, e.high, e.bidQtyText[4], e.bidQty[4],
                         p.Panel(StatusPanel::LoadTime), p.State().Offline()),
              std::tuple(2u, "456", "456", "", 123., "", 123., "読込み時間: 0秒", true));
}

// The stopped exit leaves the pass's end undone (StopPolling in MainWindowLogic_test); what the
// completed exit does is the wait-tick tests'; a removal marked during the pass is carried out at its
// end (BrandEntry_test); the ranking after the pass is shown by every test whose set-up ranks by a pass.
TEST(RefreshPass, BrandAppendedDuringAPassWaitsForTheLoopsThatFollow) {
    Polling p({"1111"}, {"2222", "3333"});
    // Appended while the first loop asks 1111's open: the second loop visits it, for its
    // every-pass items only.
    p.afterRequest[1] = [&] { p.Add("2222"); };
    (void)p.logic.RunPass();
    std::vector<std::string> got;
    std::ranges::copy_if(p.Requests(), std::back_inserter(got), [](auto& r) { return r.starts_with("2222.t"); });
    EXPECT_EQ(std::pair(got, p.Entry(1).openText), std::pair(EveryPassItems("2222.t", false), std::string()));
    p.ForgetRequests();
    (void)p.logic.RunPass();
    EXPECT_EQ(p.RequestsFor("2222.t"), 16);

    // Appended during the second loop: not visited by this pass at all.
    p.ForgetRequests();
    p.afterRequest[p.served + 1] = [&] { p.Add("3333"); };
    (void)p.logic.RunPass();
    EXPECT_EQ(p.RequestsFor("3333.t"), 0);
    EXPECT_EQ(p.Table().Count(), 3);
}

// After a stop request a removal is carried out at once, while the pass still works on its
// brand: the rest of that brand's quotes must not land on the brand that moved into the slot.
TEST(RefreshPass, BrandRemovedUnderAStoppingPassGetsNoOtherBrandsQuotes) {
    Polling p({"1111", "2222"});
    (void)p.logic.RunPass();  // every quote "100", and the fill-once items done
    p.ForgetRequests();
    p.quotes["1111.t|出来高加重平均"] = "777";
    p.quotes["1111.t|高値"] = "999";
    p.afterRequest[p.served + 2] = [&] {  // under way: 1111's VWAP
        p.logic.StopPolling();
        p.Delete(0);
    };
    EXPECT_EQ(p.logic.RunPass(), PassExit::Stopped);
    // The request already under way when the removal ran is answered and dropped.
    EXPECT_EQ(p.Requests(), (std::vector<std::string>{"1111.t,現在値", "1111.t,出来高加重平均", "1111.t,高値"}));
    ASSERT_EQ(p.Table().Count(), 1);
    const WatchEntry& moved = p.Entry(0);
    EXPECT_EQ(moved.codeText, "2222");
    EXPECT_EQ(moved.vwapText + moved.highText, "100100");
}

}  // namespace
}  // namespace norvale
