// The wait and load tickers, the polling commands and the cycle they make, in fake seconds.
#include <gtest/gtest.h>

#include "app/Scheduler.h"
#include "tests/core/PollingFixture.h"

namespace norvale {
namespace {

// One brand whose pass takes `passSeconds`; counts the passes that begin.
struct Cycle : Polling {
    int passes = 0;
    explicit Cycle(int passSeconds, int interval) {
        Add("7203", "t");
        secondsFor["高値"] = passSeconds;
        fp.window.SelectListItem(DropDown::Interval, interval);
        onRequest = [this](int, const std::string&, const std::string& item) { passes += item == "現在値" ? 1 : 0; };
    }
    // Idles until a pass begins; the seconds that took, or -1 after `limit` seconds.
    int SecondsToNextPass(int limit) {
        const int before = passes;
        for (int s = 1; s <= limit; ++s) {
            Idle(1);
            if (passes > before) return s;
        }
        return -1;
    }
};

TEST(Scheduler, SixtySecondsWithATwentySecondPass) {
    Cycle c(20, 6);
    c.frm.StartPolling();
    EXPECT_EQ(c.frm.polling.WaitSeconds, 10000);
    EXPECT_EQ(c.SecondsToNextPass(1), 1);  // the first wait tick
    // Wait ticks went on during the pass: WaitSeconds counts from its start.
    EXPECT_EQ(c.frm.polling.LoadSeconds, 20);
    EXPECT_EQ(c.frm.polling.WaitSeconds, 20);
    EXPECT_EQ(c.frm.polling.WaitLimit, 40);
    EXPECT_EQ(c.Panel(StatusPanel::LoadTime), "読込み時間: 20秒");
    EXPECT_EQ(c.Panel(StatusPanel::Activity), "待機中: 20秒");
    // The next pass begins at the tick that brings WaitSeconds to 41.
    EXPECT_EQ(c.SecondsToNextPass(100), 21);
}

TEST(Scheduler, AutomaticWithShortPassesCountsUpToFiveAndGoesOn) {
    Cycle c(2, 0);
    c.frm.StartPolling();
    c.Idle(1);
    ASSERT_EQ(c.passes, 1);
    std::vector<std::string> panel1;
    for (const auto& [panel, text] : c.fp.statusBar.writes)
        if (panel == 1) panel1.push_back(text);
    // Load ticks show the count while the pass runs; the wait ticks inside it write theirs too.
    EXPECT_NE(std::find(panel1.begin(), panel1.end(), "読込み中: 1秒"), panel1.end());
    EXPECT_NE(std::find(panel1.begin(), panel1.end(), "読込み中: 2秒"), panel1.end());
    EXPECT_EQ(c.Panel(StatusPanel::Activity), "待機中: 2秒");
    EXPECT_EQ(c.frm.polling.WaitLimit, 5);
    for (const char* shown : {"待機中: 3秒", "待機中: 4秒", "待機中: 5秒"}) {
        c.Idle(1);
        EXPECT_EQ(c.Panel(StatusPanel::Activity), shown);
        EXPECT_EQ(c.passes, 1);
    }
    c.Idle(1);
    EXPECT_EQ(c.passes, 2);
}

TEST(Scheduler, APassLongerThanTheIntervalLeavesNoWait) {
    Cycle c(12, 1);
    c.frm.StartPolling();
    c.Idle(1);
    EXPECT_EQ(c.frm.polling.WaitLimit, 0);
    EXPECT_EQ(c.SecondsToNextPass(5), 1);
}

TEST(Scheduler, IntervalChangeAppliesFromTheEndOfTheNextPass) {
    Cycle c(2, 9);
    c.frm.StartPolling();
    c.Idle(1);
    EXPECT_EQ(c.frm.polling.WaitLimit, 178);
    c.fp.window.SelectListItem(DropDown::Interval, 1);
    c.frm.IntervalChosen();
    EXPECT_EQ(c.frm.polling.WaitLimit, 178);
    EXPECT_EQ(c.SecondsToNextPass(400), 177);  // 2 + 177 > 178
    EXPECT_EQ(c.frm.polling.WaitLimit, 8);
    EXPECT_EQ(c.SecondsToNextPass(400), 7);
}

TEST(Scheduler, MenusAndStateFollowStartStopAndTheEndOfAStoppedPass) {
    Polling p;
    p.Add("1111", "t");
    p.Add("2222", "t");
    for (int j = 0; j < 2; ++j) p.Entry(j).openText = p.Entry(j).prevCloseText = "1";
    auto menus = [&] {
        return std::vector<bool>{p.Enabled(MenuItem::StartPolling), p.Enabled(MenuItem::StopPolling), p.Enabled(MenuItem::File)};
    };
    EXPECT_EQ(menus(), (std::vector<bool>{true, false, true}));
    p.frm.StartPolling();
    EXPECT_EQ(menus(), (std::vector<bool>{false, true, false}));
    EXPECT_TRUE(p.fp.waitTicker.enabled);
    EXPECT_EQ(p.frm.polling.RefreshState, 0);

    // During 1111's current price: stop, and start again, before the brand boundary.
    int refreshStateSeen = -1;
    std::vector<bool> menusWhileStopping;
    p.afterRequest[1] = [&] {
        ASSERT_EQ(p.frm.polling.RefreshState, 1);
        p.frm.StopPolling();
        refreshStateSeen = p.frm.polling.RefreshState;
        menusWhileStopping = menus();
        EXPECT_FALSE(p.fp.waitTicker.enabled);
        p.frm.StartPolling();
    };
    p.Idle(1);
    EXPECT_EQ(refreshStateSeen, 2);
    EXPECT_EQ(menusWhileStopping, (std::vector<bool>{true, false, true}));
    // The old pass still stopped after 1111, and the tick that ran it wrote nothing more.
    EXPECT_EQ(p.RequestsFor("1111.t"), 14);
    EXPECT_EQ(p.RequestsFor("2222.t"), 0);
    EXPECT_EQ(p.Panel(StatusPanel::Activity), "停止");
    EXPECT_EQ(p.frm.polling.RefreshState, 0);
    EXPECT_FALSE(p.fp.loadTicker.enabled);
    EXPECT_TRUE(p.fp.waitTicker.enabled);
    EXPECT_EQ(menus(), (std::vector<bool>{false, true, false}));
    // A new pass begins at the next wait tick.
    p.ForgetRequests();
    p.Idle(1);
    EXPECT_EQ(p.RequestsFor("2222.t"), 14);

    // "RSS停止" while waiting: ticker off, menus back, panel 1 and RefreshState untouched.
    p.Idle(2);
    const std::string waiting = p.Panel(StatusPanel::Activity);
    EXPECT_EQ(waiting, "待機中: 2秒");
    p.frm.StopPolling();
    EXPECT_EQ(menus(), (std::vector<bool>{true, false, true}));
    EXPECT_FALSE(p.fp.waitTicker.enabled);
    EXPECT_EQ(p.frm.polling.RefreshState, 0);
    EXPECT_EQ(p.Panel(StatusPanel::Activity), waiting);
    p.ForgetRequests();
    p.Idle(30);
    EXPECT_TRUE(p.Requests().empty());
}

TEST(Scheduler, ACloseRequestDuringAPassClosesAtTheBrandBoundaryAndNothingIsTouchedAfter) {
    // Under way: request 1 is in the first loop, request 6 in the second.
    for (const int at : {1, 6}) {
        SCOPED_TRACE(at);
        Polling p;
        p.Add("1111", "t");
        p.Add("2222", "t");
        p.Entry(1).openText = "1";
        p.Entry(1).prevCloseText = "1";
        p.frm.SortKey = 2;
        p.frm.StartPolling();
        std::size_t writesAtClose = 0;
        std::size_t opsAtClose = 0;
        p.afterRequest[at] = [&] {
            p.fp.window.Close();
            EXPECT_FALSE(p.fp.window.destroyed);
            EXPECT_EQ(p.Panel(StatusPanel::Activity), "停止処理中");
            p.fp.window.Close();  // a second request changes nothing more
            EXPECT_EQ(p.frm.polling.QuitPending, 1);
            EXPECT_EQ(p.frm.polling.RefreshState, 2);
            opsAtClose = p.fp.tableSurface.ops.size();
        };
        p.fp.ddeml.log.clear();
        p.Idle(1);
        EXPECT_TRUE(p.fp.window.destroyed);
        EXPECT_TRUE(p.frm.Closed());
        // The brand under way was finished; nothing after it was asked, ranked or drawn.
        EXPECT_EQ(p.RequestsFor("1111.t"), at == 1 ? 2 : 16);
        EXPECT_EQ(p.RequestsFor("2222.t"), 0);
        EXPECT_EQ(p.fp.tableSurface.ops.size(), opsAtClose);
        EXPECT_EQ(p.fp.statusBar.writes.back(), (std::pair<int, std::string>(1, "停止")));
        writesAtClose = p.fp.statusBar.writes.size();
        EXPECT_EQ(p.fp.ddeml.log.back(), "Uninitialize");
        EXPECT_FALSE(p.fp.loadTicker.enabled);
        EXPECT_FALSE(p.fp.waitTicker.enabled);
        EXPECT_EQ(p.fp.window.closeRequests, 3);
        p.Idle(3);  // the tickers are off: nothing more happens
        EXPECT_EQ(p.fp.statusBar.writes.size(), writesAtClose);
    }
}

TEST(Scheduler, CountersStayWithinTheirLimits) {
    Polling p;
    // "RSS開始" after an earlier run: the first pass begins at the first tick whatever the limit.
    p.frm.polling.WaitLimit = 178;
    p.frm.StartPolling();
    p.frm.polling.RefreshState = 1;  // as if a pass ran: ticks only count
    p.Idle(3);
    EXPECT_EQ(p.frm.polling.WaitSeconds, 10000);
    EXPECT_EQ(p.Panel(StatusPanel::Activity), "待機中: 10000秒");
    p.frm.polling.RefreshState = 0;
    p.Idle(1);
    EXPECT_EQ(p.Panel(StatusPanel::LoadTime), "読込み時間: 0秒");  // the pass ran

    p.frm.polling.LoadSeconds = 32766;
    p.frm.polling.RefreshState = 1;
    p.frm.LoadTick();
    p.frm.LoadTick();
    EXPECT_EQ(p.frm.polling.LoadSeconds, 32767);  // held, not wrapped to negative
    EXPECT_EQ(p.Panel(StatusPanel::Activity), "読込み中: 32767秒");
    p.frm.polling.RefreshState = 2;  // counted, not shown, once stopping
    p.frm.polling.LoadSeconds = 4;
    p.frm.LoadTick();
    EXPECT_EQ(p.frm.polling.LoadSeconds, 5);
    EXPECT_EQ(p.Panel(StatusPanel::Activity), "読込み中: 32767秒");
    EXPECT_EQ(WaitLimitAfterPass(-1, 3, 17), 17);  // nothing selected keeps the limit
    EXPECT_EQ(WaitLimitAfterPass(9, 32767, 17), 0);
}

TEST(Scheduler, OfflineToggles) {
    Polling p;
    p.frm.ToggleOffline();
    EXPECT_EQ(p.Panel(StatusPanel::LoadTime), "OFF LINE");
    EXPECT_EQ(p.frm.polling.OfflineMode, 1);
    p.frm.ToggleOffline();
    EXPECT_EQ(p.Panel(StatusPanel::LoadTime), "ON LINE");
    EXPECT_EQ(p.frm.polling.OfflineMode, 0);
}

}  // namespace
}  // namespace norvale
