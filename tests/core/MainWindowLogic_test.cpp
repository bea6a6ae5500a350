// The window logic headless: start-up, resize, close, the tickers and the polling commands,
// in fake seconds.
#include "app/MainWindowLogic.h"

#include <gtest/gtest.h>

#include <array>

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
    EXPECT_EQ(std::tuple(w.caption, w.Enabled(MenuItem::Offline), w.SelectedIndex(DropDown::SortKey),
                         w.SelectedIndex(DropDown::Interval), s.fp.waitTicker.Enabled(), w.frame.left,
                         s.Panel(StatusPanel::Activity), s.Panel(StatusPanel::BrandCount)),
              std::tuple("Norvale - (ver1.02)", false, 0, 0, false, (w.screenWidth - w.frame.width) / 2, "停止",
                         "銘柄数: 0/ 1000"));

    FakePlatform other;
    other.instance.anotherRunning = true;
    MainWindowLogic second(other.platform);
    EXPECT_FALSE(second.StartUp());
    EXPECT_TRUE(other.window.caption.empty() && other.ddeml.log.empty());

    // A malformed watch list is reported, and start-up still goes on to its end.
    FakePlatform malformed;
    malformed.files.files[malformed.files.InProgramFolder(kWatchListFileName)] = "7203\r\n,x\r\n";
    MainWindowLogic third(malformed.platform);
    EXPECT_TRUE(third.StartUp());
    EXPECT_EQ(std::tuple(malformed.alert.shown.size(), malformed.window.listItems[DropDown::Interval].size()),
              std::tuple(1u, 10u));
}

TEST(Resized, LaysOutTheSurfaceAndKeepsTheHeightWithoutAClientHeight) {
    Polling s;
    auto& w = s.fp.window;
    for (const auto& [width, height] : {std::pair{20000., 10000.}, {15000., 0.}}) {
        w.clientWidth = width, w.clientHeight = height;
        s.logic.Resized();
    }
    EXPECT_EQ(std::tuple(w.tableSurfaceWidth, w.tableSurfaceHeight), std::tuple(14998., 9998.));
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
        EXPECT_EQ(std::tuple(p.fp.window.destroyed, p.Panel(StatusPanel::Activity), p.State().Phase()),
                  std::tuple(false, "停止処理中", PollingPhase::Stopping));
        opsAtClose = p.fp.tableSurface.ops.size();
    };
    p.fp.ddeml.log.clear();
    p.Idle(1);
    // Nothing after the request under way was asked, ranked or drawn.
    EXPECT_LE(p.fp.ddeml.clockMs - askedAt, 200 + 500);
    EXPECT_EQ(std::tuple(p.fp.window.destroyed, p.logic.Closed(), p.Requests().size(), p.fp.tableSurface.ops.size(),
                         p.fp.statusBar.writes.back(), p.fp.ddeml.log.back(), p.fp.loadTicker.enabled,
                         p.fp.waitTicker.enabled),
              std::tuple(true, true, 6u, opsAtClose, Write(StatusPanel::Activity, "停止"), "Uninitialize", false, false));
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
        for (int s = 1, before = passes; s <= limit; ++s) {
            Idle(1);
            if (passes > before) return s;
        }
        return -1;
    }
};

// The next pass begins once the seconds since the last one began pass the interval's less the
// pass's: "60秒", "自動" (5), "10秒" with a longer pass.
TEST(WaitTick, TheNextPassBeginsOnceTheSecondsSinceTheLastBeganPassTheLimit) {
    for (const auto [passSeconds, interval, secondsToNext] : {std::array{20, 6, 21}, {2, 0, 4}, {12, 1, 1}}) {
        SCOPED_TRACE(testing::Message() << passSeconds << " s, interval " << interval);
        Cycle cycle(passSeconds, interval);
        ASSERT_EQ(cycle.SecondsToNextPass(1), 1);
        const std::string s = std::to_string(passSeconds);
        EXPECT_EQ(std::tuple(cycle.Panel(StatusPanel::LoadTime), cycle.Panel(StatusPanel::Activity)),
                  std::tuple("読込み時間: " + s + "秒", "待機中: " + s + "秒"));
        EXPECT_EQ(cycle.SecondsToNextPass(400), secondsToNext);
    }
}

TEST(WaitTick, ShowsTheLoadingSecondsAndAnIntervalChangeAppliesFromTheNextPassEnd) {
    Cycle c(2, 0);
    c.Idle(1);
    Strings activity;
    for (const auto& [panel, text] : c.fp.statusBar.writes)
        if (panel == StatusPanel::Activity && text.rfind("読込み中", 0) == 0) activity.push_back(text);
    EXPECT_EQ(activity, (Strings{"読込み中: 1秒", "読込み中: 2秒"}));
    c.fp.window.Close();  // while waiting no pass runs: granted at once
    EXPECT_EQ(std::tuple(c.fp.window.destroyed, c.fp.waitTicker.Enabled()), std::tuple(true, false));

    Cycle change(2, 9);
    change.Idle(1);
    change.fp.window.SelectListItem(DropDown::Interval, 1);
    change.logic.IntervalChosen();
    EXPECT_EQ(change.SecondsToNextPass(400), 177);  // "180秒" still, for the pass already waiting
    EXPECT_EQ(change.SecondsToNextPass(400), 7);

    // A pass run without the wait ticker: its load seconds differ from the wait seconds, and it shows its own.
    Polling own({"7203"});
    own.secondsFor["高値"] = 3;
    ASSERT_EQ(own.logic.RunPass(), PassExit::Completed);
    EXPECT_EQ(std::tuple(own.State().WaitSeconds(), own.Panel(StatusPanel::LoadTime)), std::tuple(0, "読込み時間: 3秒"));
}

// The stop at the brand boundary leaves the pass's end undone: no sort, no load time, no drawing; a
// removal marked in the stopped pass waits for the next pass that completes.
TEST(StopPolling, StopsThePassAtTheBrandBoundaryAndLeavesItsEndUndone) {
    Polling p({"1111", "2222"});
    p.quotes["1111.t|始値"] = " ";     // never a value: every pass asks 1111's open first
    p.quotes["2222.t|現在値"] = "101";  // +1 %
    p.ChooseSortKey(2);
    // Stopped after 2222's first every-pass request: a sort would now show 2222 first, but none runs.
    p.afterRequest[4 + 14 + 1] = [&] { p.logic.StopPolling(); };
    ASSERT_EQ(p.logic.RunPass(), PassExit::Stopped);
    auto& w = p.fp.window;
    auto menus = [&] {
        return std::vector{w.Enabled(MenuItem::StartPolling), w.Enabled(MenuItem::StopPolling), w.Enabled(MenuItem::File),
                           p.fp.waitTicker.enabled};
    };
    const std::vector<bool> stopped = {true, false, true, false}, polling = {false, true, false, true};
    p.logic.StartPolling();
    EXPECT_EQ(menus(), polling);
    const std::string loadTime = p.Panel(StatusPanel::LoadTime);
    p.ForgetRequests();
    std::size_t opsAtStop = 0;
    p.afterRequest[p.served + 1] = [&] {  // during 1111's open
        p.Delete(0);
        p.logic.StopPolling();
        EXPECT_EQ(menus(), stopped);
        opsAtStop = p.fp.tableSurface.ops.size();
    };
    p.Idle(1);
    EXPECT_EQ(std::tuple(p.Requests(), p.Panel(StatusPanel::Activity), p.Panel(StatusPanel::LoadTime),
                         p.State().Phase(), p.fp.tableSurface.ops.size(), p.ShownCodes(), menus(),
                         p.Table().MarkedForRemoval(0)),
              std::tuple(Strings{"1111.t,始値"}, "停止", loadTime, PollingPhase::Idle, opsAtStop,
                         Strings{"1111", "2222"}, stopped, true));
    p.logic.StartPolling();
    p.ForgetRequests();
    p.Idle(1);  // the marked brand is still refreshed by the next pass, and goes at its end
    EXPECT_EQ(std::tuple(p.RequestsFor("1111.t"), p.ShownCodes(), p.Table().RemovalMarked()),
              std::tuple(15, Strings{"2222"}, false));
}

TEST(PollingState, CountersHoldAtTheirLimitsAndOfflineToggles) {
    PollingState s;
    s.WaitNoLonger();
    s.CountWaitSecond();
    for (int k = 0; k < 32768; ++k) s.CountLoadSecond();
    EXPECT_EQ(std::tuple(s.WaitSeconds(), s.LoadSeconds(), WaitLimitAfterPass(9, 32767, 17)), std::tuple(10000, 32767, 0));

    Polling p;
    for (const auto& [text, offline] : {std::pair{"OFF LINE", true}, {"ON LINE", false}}) {
        p.logic.ToggleOffline();
        EXPECT_EQ(std::tuple(p.Panel(StatusPanel::LoadTime), p.State().Offline()), std::tuple(text, offline));
    }
}

}  // namespace
}  // namespace norvale
