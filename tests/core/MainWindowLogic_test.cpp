// The window logic headless: start-up, resize, close, the tickers and the polling commands,
// in fake seconds.
#include "app/MainWindowLogic.h"

#include <gtest/gtest.h>

#include "app/Intervals.h"
#include "tests/core/PollingFixture.h"

namespace norvale {
namespace {

using Strings = std::vector<std::string>;
using Write = std::pair<StatusPanel, std::string>;

TEST(StartUp, LeavesTheWindowStoppedWithBothListsFilled) {
    Polling s;
    auto& w = s.fp.window;
    EXPECT_EQ(w.listItems[DropDown::SortKey],
              (Strings{"並べ替え停止", "前日終値乖離率-昇順", "前日終値乖離率-降順", "本日始値乖離率-昇順",
                       "本日始値乖離率-降順", "VWAP乖離率-昇順", "VWAP乖離率-降順", "本日高値乖離率-昇順",
                       "本日高値乖離率-降順", "本日安値乖離率-昇順", "本日安値乖離率-降順", "気配比率-昇順",
                       "気配比率-降順"}));
    EXPECT_EQ(w.listItems[DropDown::Interval],
              (Strings{"自動", "10秒", "20秒", "30秒", "40秒", "50秒", "60秒", "90秒", "120秒", "180秒"}));
    // "OFFLINE" off (the other menus: StopPolling below), both lists at their first item, both
    // tickers off, centred on the screen, the DDE layer opened for the service "RSS".
    EXPECT_EQ(std::tuple(w.caption, w.Enabled(MenuItem::Offline), w.SelectedIndex(DropDown::SortKey),
                         w.SelectedIndex(DropDown::Interval), s.fp.loadTicker.Enabled(), s.fp.waitTicker.Enabled(),
                         w.frame.left, s.fp.ddeml.log),
              std::tuple("Norvale - (ver1.02)", false, 0, 0, false, false, (w.screenWidth - w.frame.width) / 2,
                         Strings{"Initialize", "CreateStringHandle(RSS)"}));
    EXPECT_EQ(std::tuple(s.Panel(StatusPanel::Activity), s.Panel(StatusPanel::SortKey), s.Panel(StatusPanel::BrandCount)),
              std::tuple("停止", "並べ替え停止", "銘柄数: 0/ 1000"));

    FakePlatform other;
    other.instance.anotherRunning = true;
    MainWindowLogic second(other.platform);
    EXPECT_FALSE(second.StartUp());
    EXPECT_TRUE(other.window.caption.empty() && other.ddeml.log.empty() && other.statusBar.writes.empty() &&
                other.tableSurface.ops.empty());

    // A malformed watch list is reported, and start-up still goes on to its end.
    FakePlatform malformed;
    malformed.files.files[malformed.files.InProgramFolder(kWatchListFileName)] = "7203\r\n,x\r\n";
    MainWindowLogic third(malformed.platform);
    EXPECT_TRUE(third.StartUp());
    EXPECT_EQ(std::tuple(malformed.alert.shown.size(), malformed.window.listItems[DropDown::SortKey].size(),
                         malformed.window.listItems[DropDown::Interval].size(),
                         malformed.statusBar.Panel(StatusPanel::Activity)),
              std::tuple(1u, 13u, 10u, "停止"));
}

TEST(Resized, LaysOutTheSurfaceAndRedraws) {
    Polling s;
    auto& w = s.fp.window;
    const auto draws = s.fp.statusBar.writes.size();
    struct Step {
        double clientWidth, clientHeight;
        WindowState state;
        double width, height;
        std::size_t draws;
    };
    // No client height keeps the height; minimised does nothing at all.
    for (const Step& step : {Step{20000, 10000, WindowState::Normal, 19998, 9998, 1},
                             Step{15000, 0, WindowState::Normal, 14998, 9998, 2},
                             Step{100, 100, WindowState::Minimized, 14998, 9998, 2}}) {
        w.clientWidth = step.clientWidth;
        w.clientHeight = step.clientHeight;
        w.state = step.state;
        s.logic.Resized();
        // The brand count is written by each drawing.
        EXPECT_EQ(std::tuple(w.tableSurfaceWidth, w.tableSurfaceHeight, s.fp.statusBar.writes.size()),
                  std::tuple(step.width, step.height, draws + step.draws));
    }
}

// A close during a pass is refused once, turned into a stop, and carried out by the pass before
// its next request, so against a server that accepts and never answers it waits for the request
// under way only; nothing is touched after. Request 6 is 1111's second in the second loop.
TEST(CloseRequested, DuringAPassClosesAfterTheRequestUnderWayAndNothingIsTouchedAfter) {
    Polling p({"1111", "2222"});
    p.ChooseSortKey(2);
    p.logic.StartPolling();
    p.fp.ddeml.connectMs = 200;
    p.answerMs = 1'000'000;
    std::int64_t askedAt = -1;
    p.onRequest = [&](int n, const std::string&, const std::string&) {
        if (n == 6) askedAt = p.fp.ddeml.clockMs - p.fp.ddeml.connectMs;
    };
    std::size_t opsAtClose = 0;
    p.afterRequest[6] = [&] {
        p.fp.window.Close();
        EXPECT_EQ(std::tuple(p.fp.window.destroyed, p.Panel(StatusPanel::Activity), p.fp.loadTicker.enabled,
                             p.fp.waitTicker.enabled),
                  std::tuple(false, "停止処理中", false, false));
        const auto writes = p.fp.statusBar.writes.size();
        p.fp.window.Close();  // a second request changes nothing more
        EXPECT_EQ(std::tuple(p.fp.statusBar.writes.size(), p.State().QuitPending(), p.State().Phase()),
                  std::tuple(writes + 1, true, PollingPhase::Stopping));
        opsAtClose = p.fp.tableSurface.ops.size();
    };
    p.fp.ddeml.log.clear();
    p.Idle(1);
    // Nothing after the request under way was asked, ranked or drawn.
    EXPECT_LE(p.fp.ddeml.clockMs - askedAt, 200 + 500);
    EXPECT_EQ(std::tuple(p.fp.window.destroyed, p.logic.Closed(), p.Requests().size(), p.Requests().back(),
                         p.fp.tableSurface.ops.size(), p.fp.statusBar.writes.back(), p.fp.ddeml.log.back(),
                         p.fp.loadTicker.enabled, p.fp.waitTicker.enabled, p.fp.window.closeRequests),
              std::tuple(true, true, 6u, "1111.t,出来高加重平均", opsAtClose, Write(StatusPanel::Activity, "停止"),
                         "Uninitialize", false, false, 3));
    const std::size_t writesAtClose = p.fp.statusBar.writes.size();
    p.Idle(3);  // the tickers are off: nothing more happens
    EXPECT_EQ(p.fp.statusBar.writes.size(), writesAtClose);
}

// One brand whose pass takes `passSeconds`; counts the passes that begin.
struct Cycle : Polling {
    int passes = 0;
    explicit Cycle(int passSeconds, int interval) : Polling({"7203"}) {
        secondsFor["高値"] = passSeconds;
        fp.window.SelectListItem(DropDown::Interval, interval);
        onRequest = [this](int, const std::string&, const std::string& item) { passes += item == "現在値" ? 1 : 0; };
        logic.StartPolling();
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

TEST(WaitTick, TheNextPassBeginsOnceTheSecondsSinceTheLastBeganPassTheLimit) {
    struct Case {
        int passSeconds, interval, waitLimit, secondsToNext;
    };
    // The interval's seconds less the pass's: "60秒", "自動" (5), "10秒" with a longer pass, "180秒".
    for (const Case& c : {Case{20, 6, 40, 21}, Case{2, 0, 5, 4}, Case{12, 1, 0, 1}, Case{2, 9, 178, 177}}) {
        SCOPED_TRACE(testing::Message() << c.passSeconds << " s, interval " << c.interval);
        Cycle cycle(c.passSeconds, c.interval);
        EXPECT_EQ(cycle.State().WaitSeconds(), 10000);
        cycle.fp.tableSurface.ops.clear();
        // The first wait tick begins a pass; wait ticks went on during it: WaitSeconds counts from its start.
        // The completed pass stopped the load ticker and drew the table.
        const int first = cycle.SecondsToNextPass(1);
        const std::string s = std::to_string(c.passSeconds);
        EXPECT_EQ(std::tuple(first, cycle.State().LoadSeconds(), cycle.State().WaitSeconds(), cycle.State().WaitLimit(),
                             cycle.Panel(StatusPanel::LoadTime), cycle.Panel(StatusPanel::Activity),
                             cycle.fp.loadTicker.enabled, cycle.fp.tableSurface.ops.empty()),
                  std::tuple(1, c.passSeconds, c.passSeconds, c.waitLimit, "読込み時間: " + s + "秒", "待機中: " + s + "秒",
                             false, false));
        EXPECT_EQ(cycle.SecondsToNextPass(400), c.secondsToNext);
    }
}

TEST(WaitTick, ShowsTheLoadingAndWaitingSecondsAndAnIntervalChangeAppliesFromTheNextPassEnd) {
    Cycle c(2, 0);
    c.Idle(1);
    Strings activity;
    for (const auto& [panel, text] : c.fp.statusBar.writes)
        if (panel == StatusPanel::Activity && text.rfind("読込み中", 0) == 0) activity.push_back(text);
    // Load ticks show the count while the pass runs; the wait ticks inside it write theirs too.
    EXPECT_EQ(activity, (Strings{"読込み中: 1秒", "読込み中: 2秒"}));
    for (const char* shown : {"待機中: 3秒", "待機中: 4秒", "待機中: 5秒"}) {
        c.Idle(1);
        EXPECT_EQ(c.Panel(StatusPanel::Activity), shown);
    }
    c.fp.window.Close();  // while waiting no pass runs: granted at once
    EXPECT_EQ(std::tuple(c.fp.window.destroyed, c.logic.Closed(), c.fp.waitTicker.Enabled(), c.fp.ddeml.log.back()),
              std::tuple(true, true, false, "Uninitialize"));

    Cycle change(2, 9);
    change.Idle(1);
    change.fp.window.SelectListItem(DropDown::Interval, 1);
    change.logic.IntervalChosen();
    EXPECT_EQ(change.State().WaitLimit(), 178);
    EXPECT_EQ(change.SecondsToNextPass(400), 177);  // 2 + 177 > 178
    EXPECT_EQ(change.State().WaitLimit(), 8);
    EXPECT_EQ(change.SecondsToNextPass(400), 7);

    // With the wait ticker off, the load time shown is the pass's own, not the wait count.
    Polling off({"7203"});
    off.secondsFor["高値"] = 3;
    ASSERT_EQ(off.logic.RunPass(), PassExit::Completed);
    EXPECT_EQ(std::tuple(off.State().WaitSeconds(), off.Panel(StatusPanel::LoadTime)), std::tuple(0, "読込み時間: 3秒"));
}

// The stop at the brand boundary: what the stopped pass leaves, the menus, a restart and a
// removal that waits across the stopped pass.
TEST(StopPolling, StopsThePassAtTheBrandBoundaryAndLeavesItsEndUndone) {
    Polling p({"1111", "2222"});
    p.quotes["1111.t|始値"] = " ";     // never a value: every pass asks 1111's open first
    p.quotes["2222.t|現在値"] = "101";  // +1 %
    p.ChooseSortKey(2);
    // Stopped after 2222's first every-pass request, at the end of its brand: a sort by key 2
    // would now show 2222 first, but none has run.
    p.afterRequest[4 + 14 + 1] = [&] { p.logic.StopPolling(); };
    ASSERT_EQ(p.logic.RunPass(), PassExit::Stopped);
    ASSERT_NEAR(p.Entry(1).prevCloseDev, 1, 1e-9);
    ASSERT_EQ(p.ShownCodes(), (Strings{"1111", "2222"}));
    p.ForgetRequests();
    // The menus "RSS開始", "RSS停止" and "ﾌｧｲﾙ", and the wait ticker.
    auto menus = [&] {
        auto& w = p.fp.window;
        return std::vector<bool>{w.Enabled(MenuItem::StartPolling), w.Enabled(MenuItem::StopPolling),
                                 w.Enabled(MenuItem::File), p.fp.waitTicker.enabled};
    };
    const std::vector<bool> stopped = {true, false, true, false}, polling = {false, true, false, true};
    EXPECT_EQ(menus(), stopped);
    p.logic.StartPolling();
    EXPECT_EQ(menus(), polling);
    p.fp.statusBar.SetPanel(StatusPanel::LoadTime, "読込み時間: 9秒");
    p.secondsFor["始値"] = 3;  // its ticks reach the tickers after the stop

    // During 1111's open: mark 1111 for removal, stop, and start again, before the boundary.
    std::vector<bool> menusWhileStopping;
    std::size_t opsAtStop = 0;
    p.afterRequest[p.served + 1] = [&] {
        ASSERT_EQ(p.State().Phase(), PollingPhase::Running);
        p.Delete(0);
        p.logic.StopPolling();
        EXPECT_EQ(p.State().Phase(), PollingPhase::Stopping);
        menusWhileStopping = menus();
        p.logic.StartPolling();
        opsAtStop = p.fp.tableSurface.ops.size();
    };
    p.Idle(1);
    EXPECT_EQ(menusWhileStopping, stopped);
    EXPECT_EQ(p.Requests(), (Strings{"1111.t,始値"}));
    // A load tick shows its count only while the pass runs (WaitTick above), not once it is
    // stopping; it counts on.
    for (const auto& [panel, text] : p.fp.statusBar.writes) EXPECT_NE(text.rfind("読込み中", 0), 0u) << text;
    // The tick that ran it wrote nothing more: no sort, no wait, no load time, no drawing. The removal
    // waits across the stopped pass, for the next one that completes.
    EXPECT_EQ(std::tuple(p.Panel(StatusPanel::Activity), p.Panel(StatusPanel::LoadTime), p.State().WaitLimit(),
                         p.State().LoadSeconds(), p.State().Phase(), p.fp.tableSurface.ops.size(),
                         p.Table().SlotInRow(0), p.fp.loadTicker.enabled, menus(), p.Table().Count(),
                         p.Table().MarkedForRemoval(0)),
              std::tuple("停止", "読込み時間: 9秒", 0, 3, PollingPhase::Idle, opsAtStop, 0, false, polling, 2, true));
    p.secondsFor.clear();
    p.ForgetRequests();
    p.Idle(1);  // a new pass begins at the next wait tick; the marked brand is still refreshed
    EXPECT_EQ(std::tuple(p.RequestsFor("1111.t"), p.RequestsFor("2222.t"), p.ShownCodes(), p.Table().RemovalMarked()),
              std::tuple(15, 14, Strings{"2222"}, false));

    // "RSS停止" while waiting: ticker off, menus back, the activity panel and phase untouched.
    p.Idle(2);
    EXPECT_EQ(p.Panel(StatusPanel::Activity), "待機中: 2秒");
    p.logic.StopPolling();
    EXPECT_EQ(std::tuple(menus(), p.State().Phase(), p.Panel(StatusPanel::Activity)),
              std::tuple(stopped, PollingPhase::Idle, "待機中: 2秒"));  // and with the ticker off, no pass begins
}

TEST(PollingState, CountersStayWithinTheirLimitsAndOfflineToggles) {
    PollingState s;
    s.WaitNoLonger();
    s.CountWaitSecond();
    for (int k = 0; k < 32768; ++k) s.CountLoadSecond();
    EXPECT_EQ(std::tuple(s.WaitSeconds(), s.LoadSeconds()), std::tuple(10000, 32767));  // held, not wrapped

    // Each interval waits its own seconds less the pass's; "自動" waits 5. Nothing selected keeps the limit.
    const int waits[] = {5, 10 - 3, 20 - 3, 30 - 3, 40 - 3, 50 - 3, 60 - 3, 90 - 3, 120 - 3, 180 - 3};
    for (int index = 0; index < 10; ++index) EXPECT_EQ(WaitLimitAfterPass(index, 3, 17), waits[index]) << index;
    EXPECT_EQ(std::tuple(WaitLimitAfterPass(-1, 3, 17), WaitLimitAfterPass(10, 3, 17), WaitLimitAfterPass(9, 32767, 17)),
              std::tuple(17, 17, 0));

    Polling p;
    p.logic.ToggleOffline();
    EXPECT_EQ(std::tuple(p.Panel(StatusPanel::LoadTime), p.State().Offline()), std::tuple("OFF LINE", true));
    p.logic.ToggleOffline();
    EXPECT_EQ(std::tuple(p.Panel(StatusPanel::LoadTime), p.State().Offline()), std::tuple("ON LINE", false));
}

}  // namespace
}  // namespace norvale
