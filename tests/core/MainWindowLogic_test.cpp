// Start-up, resize and close of the main window, driven headless through the fakes.
#include "app/MainWindowLogic.h"

#include <gtest/gtest.h>

#include "platform/fake/FakePlatform.h"

namespace norvale {
namespace {

struct Started {
    FakePlatform fp;
    MainWindowLogic frm{fp.platform};
    Started() {
        fp.window.events = &frm;
        EXPECT_TRUE(frm.StartUp());
    }
};

TEST(FormLoad, LeavesTheWindowStoppedWithBothListsFilled) {
    Started s;
    auto& w = s.fp.window;
    EXPECT_EQ(w.caption, "Norvale - (ver1.02)");
    EXPECT_TRUE(w.Enabled(MenuItem::StartPolling));
    EXPECT_FALSE(w.Enabled(MenuItem::StopPolling));
    EXPECT_TRUE(w.Enabled(MenuItem::File));
    EXPECT_FALSE(w.Enabled(MenuItem::Offline));
    ASSERT_EQ(w.comboItems[DropDown::SortKey].size(), 13u);
    EXPECT_EQ(w.comboItems[DropDown::SortKey][12], "気配比率-降順");
    EXPECT_EQ(w.SelectedIndex(DropDown::SortKey), 0);
    ASSERT_EQ(w.comboItems[DropDown::Interval].size(), 10u);
    EXPECT_EQ(w.comboItems[DropDown::Interval][0], "自動");
    EXPECT_EQ(w.comboItems[DropDown::Interval][9], "180秒");
    EXPECT_EQ(w.SelectedIndex(DropDown::Interval), 0);
    EXPECT_EQ(s.fp.statusBar.Panel(StatusPanel::Activity), "停止");
    EXPECT_EQ(s.fp.statusBar.Panel(StatusPanel::SortKey), "並べ替え停止");
    EXPECT_EQ(s.fp.statusBar.Panel(StatusPanel::BrandCount), "銘柄数: 0/ 1000");
    EXPECT_EQ(s.frm.SortKey, 0);
    EXPECT_FALSE(s.fp.loadTicker.Enabled());
    EXPECT_FALSE(s.fp.waitTicker.Enabled());
    EXPECT_EQ(s.frm.polling.RefreshState, 0);
    EXPECT_EQ(s.frm.polling.QuitPending, 0);
    EXPECT_EQ(s.frm.polling.OfflineMode, 0);
    // Centred on the screen.
    EXPECT_DOUBLE_EQ(w.frame.left, (w.screenWidth - w.frame.width) / 2);
    // The DDE layer was opened for the service "RSS".
    ASSERT_FALSE(s.fp.ddeml.log.empty());
    EXPECT_EQ(s.fp.ddeml.log.front(), "Initialize");
}

TEST(FormLoad, EndsAtOnceWhenAnotherInstanceRuns) {
    FakePlatform fp;
    fp.instance.anotherRunning = true;
    MainWindowLogic frm(fp.platform);
    EXPECT_FALSE(frm.StartUp());
    EXPECT_TRUE(fp.window.caption.empty());
    EXPECT_TRUE(fp.ddeml.log.empty());
    EXPECT_TRUE(fp.statusBar.writes.empty());
    EXPECT_TRUE(fp.tableSurface.ops.empty());
}

TEST(FormQueryUnload, GrantedWhileNoPassRuns) {
    Started s;
    s.fp.waitTicker.SetEnabled(true);
    s.fp.window.Close();
    EXPECT_TRUE(s.fp.window.destroyed);
    EXPECT_TRUE(s.frm.Closed());
    EXPECT_FALSE(s.fp.waitTicker.Enabled());
    ASSERT_FALSE(s.fp.ddeml.log.empty());
    EXPECT_EQ(s.fp.ddeml.log.back(), "Uninitialize");
}

TEST(FormQueryUnload, RefusedOnceDuringAPassAndTurnedIntoAStopRequest) {
    Started s;
    s.frm.polling.RefreshState = 1;
    s.fp.loadTicker.SetEnabled(true);
    s.fp.waitTicker.SetEnabled(true);
    s.fp.window.Close();
    EXPECT_FALSE(s.fp.window.destroyed);
    EXPECT_EQ(s.fp.statusBar.Panel(StatusPanel::Activity), "停止処理中");
    EXPECT_EQ(s.frm.polling.RefreshState, 2);
    EXPECT_EQ(s.frm.polling.QuitPending, 1);
    EXPECT_FALSE(s.fp.loadTicker.Enabled());
    EXPECT_FALSE(s.fp.waitTicker.Enabled());

    // A second request during the same pass changes nothing more.
    const auto writes = s.fp.statusBar.writes.size();
    s.fp.window.Close();
    EXPECT_FALSE(s.fp.window.destroyed);
    EXPECT_EQ(s.frm.polling.RefreshState, 2);
    EXPECT_EQ(s.frm.polling.QuitPending, 1);
    EXPECT_EQ(s.fp.statusBar.writes.size(), writes + 1);
    EXPECT_EQ(s.fp.statusBar.Panel(StatusPanel::Activity), "停止処理中");

    // Once the pass has stopped, the request is granted.
    s.frm.polling.RefreshState = 0;
    s.fp.window.Close();
    EXPECT_TRUE(s.fp.window.destroyed);
}

TEST(FormResize, LaysOutTheSurfaceAndRedraws) {
    Started s;
    auto& w = s.fp.window;
    const auto draws = s.fp.statusBar.writes.size();
    w.clientWidth = 20000;
    w.clientHeight = 10000;
    s.frm.Resized();
    EXPECT_DOUBLE_EQ(w.picture1Width, 19998);
    EXPECT_DOUBLE_EQ(w.picture1Height, 9998);
    EXPECT_EQ(s.fp.statusBar.writes.size(), draws + 1);  // panel 4 of the drawing

    // No client height: the surface keeps its height and the table is still drawn.
    w.clientHeight = 0;
    w.clientWidth = 15000;
    s.frm.Resized();
    EXPECT_DOUBLE_EQ(w.picture1Height, 9998);
    EXPECT_DOUBLE_EQ(w.picture1Width, 14998);
    EXPECT_EQ(s.fp.statusBar.writes.size(), draws + 2);

    // Minimised: nothing at all.
    w.state = WindowState::Minimized;
    w.clientWidth = 100;
    s.frm.Resized();
    EXPECT_DOUBLE_EQ(w.picture1Width, 14998);
    EXPECT_EQ(s.fp.statusBar.writes.size(), draws + 2);
}

}  // namespace
}  // namespace norvale
