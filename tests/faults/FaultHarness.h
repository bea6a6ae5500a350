// The real window logic in the real Qt window and event loop, talking to the stand-in quote server over
// the real D-Bus DDEML, with taps that watch what a misbehaving server could break: how long each
// request blocks, whether the window keeps handling events and drawing the table, and the watch
// list file in the program folder.
#pragma once

#include <QAction>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/MainWindowLogic.h"
#include "frontend/qt/QtMainWindow.h"
#include "frontend/qt/QtSurface.h"
#include "frontend/qt/QtTicker.h"
#include "frontend/qt/QtWindowServices.h"
#include "platform/TextCodec.h"
#include "platform/dbus/DbusDdeml.h"
#include "platform/qt/QtFileSystem.h"
#include "tests/fakes/FakeAlert.h"
#include "tests/fakes/FakeFileDialog.h"
#include "tests/fakes/FakeInstanceGuard.h"
#include "tests/fakes/TimedDdeml.h"

namespace norvale {

// The real files, with the program folder moved to a folder of the test's own.
class FolderFiles : public QtFileSystem {
public:
    explicit FolderFiles(QString folder) : folder_(std::move(folder)) {}
    std::string InProgramFolder(const std::string& name) const override {
        return (folder_ + QLatin1Char('/') + QString::fromStdString(name)).toStdString();
    }

private:
    QString folder_;
};

// The status bar, counting the ends of passes and the drawings of the table (each writes the
// brand count).
class PassCountingStatusBar : public StatusBar {
public:
    explicit PassCountingStatusBar(QtMainWindow& real) : real_(real) {}
    void SetPanel(StatusPanel panel, const std::string& text) override {
        if (panel == StatusPanel::LoadTime && text.rfind("読込み時間:", 0) == 0) ++completed;
        if (panel == StatusPanel::BrandCount) ++drawings;
        real_.SetPanel(panel, text);
    }
    int completed = 0;
    int drawings = 0;

private:
    QtMainWindow& real_;
};

// A timer of the window's own: while armed, the longest time the window went without handling
// its events.
class LivenessProbe {
public:
    explicit LivenessProbe(QObject* context) {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, context, [this] {
            ++ticks;
            if (clock_.isValid()) maxGapMs = std::max(maxGapMs, clock_.restart());
        });
    }
    void Arm() {
        clock_.start();
        timer_.start();
    }
    // For a stretch in which the test itself holds the thread (starting a server, say).
    void Pause() {
        timer_.stop();
        clock_.invalidate();
    }

    int ticks = 0;
    qint64 maxGapMs = 0;

private:
    QTimer timer_;
    QElapsedTimer clock_;
};

struct FaultHarness {
    // Fast tickers: the polling cycle itself is the same at any tick length.
    static constexpr int kTickMs = 20;

    explicit FaultHarness(const QString& folder, int tickMs = kTickMs)
        : files(folder), loadTicker(tickMs, [this] { logic->LoadTick(); }),
          waitTicker(tickMs, [this] { logic->WaitTick(); }) {}

    FolderFiles files;
    QtMainWindow window;
    PassCountingStatusBar statusBar{window};
    QtEventPump events;
    FakeFileDialog fileDialog;
    FakeAlert alert;
    FakeInstanceGuard instance;
    DbusDdeml dbus;
    TimedDdeml ddeml{dbus};
    std::unique_ptr<MainWindowLogic> logic;
    QtTicker loadTicker;
    QtTicker waitTicker;
    Platform platform{window, statusBar, window.TableSurface(), loadTicker, waitTicker, events,
                      fileDialog, alert, files, instance, ddeml};
    LivenessProbe probe{&window};

    // Start-up from the files in the program folder, then the window is shown.
    void Start() {
        logic = std::make_unique<MainWindowLogic>(platform);
        window.SetEvents(logic.get());
        ASSERT_TRUE(logic->StartUp());
        window.show();
        probe.Arm();
    }
    QAction* Action(const char* name) { return window.findChild<QAction*>(QString::fromLatin1(name)); }
    void StartPolling() { Action("startPolling")->trigger(); }
    // The user picks a sort key in the list.
    void PickSortKey(int index) {
        QComboBox* combo = window.findChild<QComboBox*>(QStringLiteral("sortKeyList"));
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    // Stops polling and closes the window, as the user would at the end of the day.
    void Finish() {
        if (logic == nullptr || logic->Closed()) return;
        Action("stopPolling")->trigger();
        window.close();
        for (int i = 0; i < 500 && !logic->Closed(); ++i) QTest::qWait(20);
    }
};

}  // namespace norvale
