// The real window offscreen: its controls after start-up, a list choice, a restore, two processes,
// and polling in the real event loop: both tickers keep ticking while a pass runs inside a wait
// tick, and a close reaches the running pass.
#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProcess>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>
#include <tuple>

#include "frontend/qt/QtSurface.h"
#include "platform/KeyCodes.h"
#include "platform/TextCodec.h"
#include "tests/qt/QtHarness.h"
#include "tests/qt/QtWait.h"

namespace norvale {
namespace {

// The designed controls after start-up; a list choice; a restore from minimised.
TEST(QtMainWindow, ShowsTheDesignedControlsTakesAListChoiceAndRedrawsWhenRestored) {
    QtHarness h;
    h.Watch({"1301", "1332"}, {"7203"});
    h.Start();
    QtMainWindow& w = h.window;
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Norvale - (ver1.02)"));
    QStringList menuTitles;
    for (QAction* a : w.menuBar()->actions()) menuTitles << a->text();
    EXPECT_EQ(menuTitles, (QStringList{"ﾌｧｲﾙ", "RSS開始", "RSS停止"}));
    std::vector<bool> enabled;  // "OFFLINE" is shown greyed
    for (MenuItem m : {MenuItem::StartPolling, MenuItem::StopPolling, MenuItem::File, MenuItem::Offline}) {
        enabled.push_back(w.MenuAction(m)->isEnabled());
    }
    EXPECT_EQ(enabled, (std::vector<bool>{true, false, true, false}));

    for (const auto& [name, text] : {std::pair{"codeLabel", "ｺｰﾄﾞ"},
                                     {"sortKeyLabel", "並び替え"},
                                     {"intervalLabel", "読込み間隔"},
                                     {"activityPanel", "停止"},
                                     {"sortKeyPanel", "並べ替え停止"}}) {
        const auto* label = w.findChild<QLabel*>(QString::fromLatin1(name));
        EXPECT_EQ(label != nullptr ? label->text() : QString(), QString::fromUtf8(text)) << name;
    }
    EXPECT_EQ(w.PanelText(StatusPanel::BrandCount), "銘柄数: 2/ 1000");
    // Designed places, 15 twips to the pixel; the lists filled, the first item chosen.
    for (const auto& [name, count, first, place] :
         {std::tuple{"sortKeyList", 13, "並べ替え停止", QRect(176, 0, 209, 20)},
          {"intervalList", 10, "自動", QRect(464, 0, 81, 20)}}) {
        const auto* list = w.findChild<QComboBox*>(QString::fromLatin1(name));
        ASSERT_NE(list, nullptr) << name;
        EXPECT_EQ(list->count(), count);
        EXPECT_EQ(list->currentText(), QString::fromUtf8(first));
        EXPECT_EQ(list->geometry(), place);
    }
    EXPECT_EQ(w.findChild<QLineEdit*>(QStringLiteral("codeBox"))->geometry(), QRect(40, 0, 65, 20));
    EXPECT_EQ(w.TableSurface().pos(), QPoint(0, 24));

    // Client area as designed; the surface reaches 2 twips short of its bottom, the status bar is
    // its lowest 255 twips.
    WAIT_UNTIL(w.centralWidget()->size() == QSize(972, 572));
    EXPECT_EQ(w.findChild<QStatusBar*>(QStringLiteral("statusBar"))->geometry(), QRect(0, 555, 972, 17));
    EXPECT_DOUBLE_EQ(w.TableSurfaceHeight(), 572 * 15 - 2);
    EXPECT_DOUBLE_EQ(w.TableSurface().Height(), (572 * 15 - 2) / 15.0);

    // A sort key chosen in its list sorts at once, and so does the same key chosen again.
    auto* sortKeys = w.findChild<QComboBox*>(QStringLiteral("sortKeyList"));
    const auto choose = [sortKeys](int index) {
        sortKeys->showPopup();
        sortKeys->view()->setCurrentIndex(sortKeys->model()->index(index, 0));
        QTest::keyClick(sortKeys->view(), Qt::Key_Return);
    };
    // Rates against the open of +9 % and +5 %; by the size ascending, the second comes first.
    h.ddeml.server = [](const std::string& topic, const std::string& item) -> FakeDdeml::Reply {
        return {item == Utf8ToCp932("現在値") ? (topic == "1301.t" ? "109" : "105") : "100"};
    };
    ASSERT_EQ(h.logic->RunPass(), PassExit::Completed);
    const WatchTable& t = h.logic->Table();
    choose(3);
    WAIT_UNTIL(h.logic->CurrentSortKey() == SortKey::FromListIndex(3));
    EXPECT_EQ(w.PanelText(StatusPanel::SortKey), "本日始値乖離率-昇順");
    EXPECT_EQ(t.SlotInRow(0), 1);
    // A brand without quotes yet, appended as the last row, comes first once the key is chosen again.
    for (const int k : {key::kDigit0 + 7, key::kDigit0 + 2, key::kDigit0 + 0, key::kDigit0 + 3, key::kEnter + 0})
        h.logic->KeyReleasedOnTable(static_cast<std::int16_t>(k));
    ASSERT_EQ(t.SlotInRow(2), 2);
    choose(3);
    WAIT_UNTIL(t.SlotInRow(0) == 2);

    // Minimised, nothing is drawn; restored, the table is drawn again.
    QtSurface& table = w.TableSurface();
    const auto inked = [&table] {  // the headings
        for (int x = 0; x < table.Image().width(); ++x)
            for (int y = 0; y < 12; ++y)
                if (qGray(table.Image().pixel(x, y)) < 128) return true;
        return false;
    };
    WAIT_UNTIL(inked());
    w.showMinimized();
    WAIT_UNTIL(w.isMinimized());
    table.Clear();
    w.showNormal();
    WAIT_UNTIL(!w.isMinimized());
    WAIT_UNTIL(inked());
}

// Two real processes: the second start ends at once with status 0; a killed first instance
// does not block the next start.
TEST(SingleInstance, SecondStartEndsSilentlyAndACrashLeavesNoBlock) {
    QTemporaryDir runtime;
    ASSERT_TRUE(runtime.isValid());
    QFile::setPermissions(runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("unix:path=/nonexistent"));
    QProcess first, second, third;
    for (QProcess* p : {&first, &second, &third}) {
        p->setProcessEnvironment(env);
        p->setProgram(QStringLiteral(NORVALE_BINARY_DIR "/frontend/qt/norvale"));
    }
    const QString lock = runtime.path() + QStringLiteral("/norvale.lock");
    first.start();
    WAIT_UNTIL_MS(QFile::exists(lock), 10000);

    second.start();
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(std::pair(second.exitStatus(), second.exitCode()), std::pair(QProcess::NormalExit, 0));
    EXPECT_EQ(first.state(), QProcess::Running);

    first.kill();  // a crash: the lock file stays behind
    ASSERT_TRUE(first.waitForFinished(5000));
    EXPECT_TRUE(QFile::exists(lock));
    third.start();
    EXPECT_FALSE(third.waitForFinished(1500));  // still running: it took over the stale lock
    EXPECT_EQ(third.state(), QProcess::Running);
    third.kill();
    third.waitForFinished(5000);
}

constexpr int kTickMs = 20;

// The real window with 8 or 20 brands watched, and a server that answers every request.
struct PollingWindow : QtHarness {
    explicit PollingWindow(int brands) : QtHarness(kTickMs) {
        std::vector<std::string> codes;
        for (int j = 0; j < brands; ++j) codes.push_back(std::to_string(1000 + j));
        Watch(codes);
        Start();
    }
    void StartPolling() { window.findChild<QAction*>(QStringLiteral("startPolling"))->trigger(); }
};

TEST(Polling, WaitAndLoadTicksArriveWhileAPassRuns) {
    PollingWindow h(8);  // 8 x 16 requests of 4 ms: about half a second, some 25 ticks
    int requests = 0, firstWait = -1, lastWait = -1, firstLoad = -1, lastLoad = -1;
    // Every request blocks for a few milliseconds, like a quote server that takes its time.
    h.ddeml.server = [&](const std::string&, const std::string&) -> FakeDdeml::Reply {
        std::this_thread::sleep_for(std::chrono::milliseconds(4));
        const PollingState& s = h.logic->Polling();
        if (s.Phase() == PollingPhase::Running) {
            if (requests++ == 0) std::tie(firstWait, firstLoad) = std::pair(s.WaitSeconds(), s.LoadSeconds());
            std::tie(lastWait, lastLoad) = std::pair(s.WaitSeconds(), s.LoadSeconds());
        }
        return {Utf8ToCp932("1,234")};
    };
    h.StartPolling();
    WAIT_UNTIL_MS(h.window.PanelText(StatusPanel::LoadTime).rfind("読込み時間:", 0) == 0, 10000);

    EXPECT_EQ(requests, 8 * 16);
    // Both counters moved between the first and the last request of the pass.
    EXPECT_GE(lastLoad - firstLoad, 5);
    EXPECT_GE(lastWait - firstWait, 5);
    EXPECT_EQ(h.logic->Table().Entry(0).last, 1234);
    EXPECT_EQ(h.logic->Polling().WaitLimit(), 5);
    // And polling goes on: the next pass begins by itself, until RSS停止 between passes.
    const int firstPass = requests;
    WAIT_UNTIL_MS(requests > firstPass, 10000);
    h.window.MenuAction(MenuItem::StopPolling)->trigger();
    EXPECT_TRUE(h.window.MenuAction(MenuItem::StartPolling)->isEnabled());
    EXPECT_FALSE(h.window.MenuAction(MenuItem::StopPolling)->isEnabled());
}

// The close box while a pass over twenty brands runs (posted from inside a request, as a click
// during it would be) is refused, and the pass ends before its next request, closing the window.
TEST(Polling, ACloseArrivingDuringAPassEndsItBeforeItsNextRequest) {
    PollingWindow h(20);
    int served = 0;
    std::string panelAfterClose;
    // Request 10 is brand 4's close, its last of the first loop: the close is handled with the
    // events before brand 5, which gets no request.
    h.ddeml.server = [&](const std::string&, const std::string&) -> FakeDdeml::Reply {
        if (++served != 10) return {"1"};
        QMetaObject::invokeMethod(
            &h.window,
            [&] {
                EXPECT_FALSE(h.window.close());  // refused while the pass runs
                panelAfterClose = h.window.PanelText(StatusPanel::Activity);
            },
            Qt::QueuedConnection);
        return {"1"};
    };
    h.StartPolling();
    WAIT_UNTIL_MS(h.logic->Closed(), 10000);
    EXPECT_EQ(served, 10);
    EXPECT_EQ(panelAfterClose, "停止処理中");
    EXPECT_FALSE(h.window.isVisible());
}

}  // namespace
}  // namespace norvale
