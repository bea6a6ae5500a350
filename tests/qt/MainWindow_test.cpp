// The real window offscreen: its controls after start-up, a list choice, and two processes.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProcess>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "platform/qt/QtSurface.h"
#include "tests/qt/QtHarness.h"
#include "tests/qt/QtWait.h"

namespace norvale {
namespace {

QString Text(QWidget* root, const char* name) {
    auto* label = root->findChild<QLabel*>(QString::fromLatin1(name));
    return label != nullptr ? label->text() : QString();
}

TEST(QtMainWindow, ShowsTheDesignedControlsAfterStartUp) {
    QtHarness h;
    h.Start();
    QtMainWindow& w = h.window;
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Norvale - (ver1.02)"));

    QStringList menuTitles;
    for (QAction* a : w.menuBar()->actions()) menuTitles << a->text();
    EXPECT_EQ(menuTitles, (QStringList{"ﾌｧｲﾙ", "RSS開始", "RSS停止"}));
    EXPECT_TRUE(w.MenuAction(MenuItem::StartPolling)->isEnabled());
    EXPECT_FALSE(w.MenuAction(MenuItem::StopPolling)->isEnabled());
    EXPECT_TRUE(w.MenuAction(MenuItem::File)->isEnabled());
    EXPECT_FALSE(w.MenuAction(MenuItem::Offline)->isEnabled());  // shown greyed

    EXPECT_EQ(Text(&w, "codeLabel"), QStringLiteral("ｺｰﾄﾞ"));
    EXPECT_EQ(Text(&w, "sortKeyLabel"), QStringLiteral("並び替え"));
    EXPECT_EQ(Text(&w, "intervalLabel"), QStringLiteral("読込み間隔"));
    auto* sortKeys = w.findChild<QComboBox*>(QStringLiteral("sortKeyList"));
    auto* intervals = w.findChild<QComboBox*>(QStringLiteral("intervalList"));
    ASSERT_NE(sortKeys, nullptr);
    ASSERT_NE(intervals, nullptr);
    EXPECT_EQ(sortKeys->count(), 13);
    EXPECT_EQ(sortKeys->currentText(), QStringLiteral("並べ替え停止"));
    EXPECT_EQ(intervals->count(), 10);
    EXPECT_EQ(intervals->currentText(), QStringLiteral("自動"));
    // Designed places, 15 twips to the pixel.
    EXPECT_EQ(sortKeys->geometry(), QRect(176, 0, 209, 20));
    EXPECT_EQ(intervals->geometry(), QRect(464, 0, 81, 20));
    EXPECT_EQ(w.findChild<QLineEdit*>(QStringLiteral("codeBox"))->geometry(), QRect(40, 0, 65, 20));
    EXPECT_EQ(w.TableSurface().pos(), QPoint(0, 24));
    EXPECT_EQ(w.TableSurface().objectName(), QStringLiteral("tableSurface"));
    EXPECT_EQ(Text(&w, "activityPanel"), QStringLiteral("停止"));
    EXPECT_EQ(Text(&w, "sortKeyPanel"), QStringLiteral("並べ替え停止"));
    EXPECT_EQ(w.PanelText(StatusPanel::BrandCount), "銘柄数: 0/ 1000");

    // Client area as designed; the surface reaches 2 twips short of its bottom.
    WAIT_UNTIL(w.centralWidget()->size() == QSize(972, 572));
    EXPECT_DOUBLE_EQ(w.TableSurfaceHeight(), 572 * 15 - 2);
    EXPECT_DOUBLE_EQ(w.TableSurface().Height(), (572 * 15 - 2) / 15.0);
}

TEST(QtMainWindow, SortKeySelectionReachesTheHandler) {
    QtHarness h;
    h.Start();
    auto* sortKeys = h.window.findChild<QComboBox*>(QStringLiteral("sortKeyList"));
    sortKeys->setCurrentIndex(4);
    emit sortKeys->activated(4);
    WAIT_UNTIL(h.logic->CurrentSortKey().ListIndex() == 4);
    EXPECT_EQ(h.window.PanelText(StatusPanel::SortKey), "本日始値乖離率-降順");
}

// Two real processes: the second start ends at once with status 0; a killed first instance
// does not block the next start.
// Minimised, nothing is drawn; restored, the table is drawn again.
TEST(QtMainWindow, RestoringFromMinimisedRedrawsTheTable) {
    QtHarness h;
    h.Start();
    QtSurface& table = h.window.TableSurface();
    const auto inked = [&table] {
        const QImage& image = table.Image();
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qGray(image.pixel(x, y)) < 128) return true;
        return false;
    };
    WAIT_UNTIL(inked());
    h.window.showMinimized();
    WAIT_UNTIL(h.window.isMinimized());
    table.Clear();
    h.window.showNormal();
    WAIT_UNTIL(!h.window.isMinimized());
    WAIT_UNTIL(inked());
}

TEST(SingleInstance, SecondStartEndsSilentlyAndACrashLeavesNoBlock) {
    const QString exe = QStringLiteral(NORVALE_BINARY_DIR "/platform/qt/norvale");
    QTemporaryDir runtime;
    ASSERT_TRUE(runtime.isValid());
    QFile::setPermissions(runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("unix:path=/nonexistent"));

    auto start = [&](QProcess& p) {
        p.setProcessEnvironment(env);
        p.start(exe, {});
        return p.waitForStarted(5000);
    };
    QProcess first;
    ASSERT_TRUE(start(first));
    WAIT_UNTIL_MS(QFile::exists(runtime.path() + QStringLiteral("/norvale.lock")), 10000);

    QProcess second;
    ASSERT_TRUE(start(second));
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(first.state(), QProcess::Running);

    first.kill();  // a crash: the lock file stays behind
    ASSERT_TRUE(first.waitForFinished(5000));
    EXPECT_TRUE(QFile::exists(runtime.path() + QStringLiteral("/norvale.lock")));

    QProcess third;
    ASSERT_TRUE(start(third));
    EXPECT_FALSE(third.waitForFinished(1500));  // still running: it took over the stale lock
    EXPECT_EQ(third.state(), QProcess::Running);
    third.kill();
    third.waitForFinished(5000);
}

}  // namespace
}  // namespace norvale
