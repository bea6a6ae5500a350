// The real window offscreen: its controls after start-up, a list choice, a restore, two processes,
// and polling in the real event loop: both tickers keep ticking while a pass runs inside a wait tick.
#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenuBar>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>
#include <tuple>

#include "frontend/qt/QtSurface.h"
#include "tests/qt/QtHarness.h"

namespace norvale {
namespace {

TEST(QtMainWindow, ShowsTheDesignedControlsTakesAListChoiceAndRedrawsWhenRestored) {
    QtHarness h;
    h.Watch({"1301", "1332"}, {"7203"});
    h.Start();
    QtMainWindow& w = h.window;
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Norvale - (ver1.02)"));
    QStringList menuTitles;
    for (QAction* a : w.menuBar()->actions()) menuTitles << a->text();
    EXPECT_EQ(menuTitles, (QStringList{"ﾌｧｲﾙ", "RSS開始", "RSS停止"}));
    EXPECT_TRUE(w.MenuAction(MenuItem::StartPolling)->isEnabled());
    EXPECT_FALSE(w.MenuAction(MenuItem::Offline)->isEnabled());  // "OFFLINE" is shown greyed
    for (const auto& [name, text] : {std::pair{"codeLabel", "ｺｰﾄﾞ"}, {"brandCountPanel", "銘柄数: 2/ 1000"}})
        EXPECT_EQ(w.findChild<QLabel*>(QString::fromLatin1(name))->text(), QString::fromUtf8(text)) << name;
    auto* sortKeys = w.findChild<QComboBox*>(QStringLiteral("sortKeyList"));
    EXPECT_EQ(std::pair(sortKeys->count(), w.findChild<QComboBox*>(QStringLiteral("intervalList"))->count()),
              std::pair(13, 10));
    // Designed places, 15 twips to the pixel, in the client area as designed.
    WAIT_UNTIL(w.centralWidget()->size() == QSize(972, 572));
    for (const auto& [name, place] :
         {std::pair{"codeBox", QRect(40, 0, 65, 20)}, {"statusBar", QRect(0, 555, 972, 17)}})
        EXPECT_EQ(w.findChild<QWidget*>(QString::fromLatin1(name))->geometry(), place) << name;
    EXPECT_EQ(w.TableSurface().pos(), QPoint(0, 24));

    // A sort key chosen in its list takes effect at once and draws the table.
    const int drawn = h.statusBar.drawings;
    sortKeys->showPopup();
    sortKeys->view()->setCurrentIndex(sortKeys->model()->index(3, 0));
    QTest::keyClick(sortKeys->view(), Qt::Key_Return);
    WAIT_UNTIL(h.logic->CurrentSortKey() == SortKey::FromListIndex(3) && h.statusBar.drawings > drawn);

    // Minimised and restored, the table is drawn again (its headings' band).
    QtSurface& table = w.TableSurface();
    w.showMinimized();
    WAIT_UNTIL(w.isMinimized());
    table.Clear();
    w.showNormal();
    WAIT_UNTIL(table.Image().pixel(table.Device(30), table.Device(5)) == qRgb(200, 255, 200));
}

// Two real processes: the second start ends at once with status 0.
TEST(SingleInstance, SecondStartEndsSilently) {
    QTemporaryDir runtime;
    ASSERT_TRUE(runtime.isValid());
    QFile::setPermissions(runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", runtime.path());
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent");
    QProcess first, second;
    for (QProcess* p : {&first, &second}) {
        p->setProcessEnvironment(env);
        p->setProgram(QStringLiteral(NORVALE_BINARY_DIR "/frontend/qt/norvale"));
    }
    first.start();
    WAIT_UNTIL_MS(QFile::exists(runtime.filePath("norvale.lock")), 10000);
    second.start();
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(std::tuple(second.exitStatus(), second.exitCode(), first.state()),
              std::tuple(QProcess::NormalExit, 0, QProcess::Running));
    first.kill();
    first.waitForFinished(5000);
}

TEST(Polling, WaitAndLoadTicksArriveWhileAPassRuns) {
    QtHarness h(20);
    h.Watch({"1000", "1001", "1002", "1003", "1004", "1005", "1006", "1007"});
    h.Start();
    // Every request blocks for 4 ms, like a quote server that takes its time: 8 x 16 requests, about
    // half a second, some 25 ticks.
    int requests = 0, firstWait = -1, lastWait = -1, firstLoad = -1, lastLoad = -1;
    h.ddeml.server = [&](const std::string&, const std::string&) -> FakeDdeml::Reply {
        std::this_thread::sleep_for(std::chrono::milliseconds(4));
        const PollingState& s = h.logic->Polling();
        if (s.Phase() == PollingPhase::Running) {
            if (requests++ == 0) std::tie(firstWait, firstLoad) = std::pair(s.WaitSeconds(), s.LoadSeconds());
            std::tie(lastWait, lastLoad) = std::pair(s.WaitSeconds(), s.LoadSeconds());
        }
        return {"1"};
    };
    h.Choose(MenuItem::StartPolling);
    WAIT_UNTIL_MS(h.statusBar.completed == 1, 10000);
    EXPECT_GE(lastLoad - firstLoad, 5);
    EXPECT_GE(lastWait - firstWait, 5);
    // And polling goes on: the next pass begins by itself.
    WAIT_UNTIL_MS(requests > 8 * 16, 10000);
}

}  // namespace
}  // namespace norvale
