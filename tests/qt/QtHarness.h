// The real Qt window wired to the window logic, with fakes only where a test must decide (dialogs,
// instance check, and, unless the test brings its own, the files and the quote server); or, for the
// fault test, on the real files and the D-Bus DDEML, timing each request and the window's events.
#pragma once

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>

#include "app/MainWindowLogic.h"
#include "frontend/qt/QtMainWindow.h"
#include "frontend/qt/QtSurface.h"
#include "frontend/qt/QtTicker.h"
#include "frontend/qt/QtWindowServices.h"
#include "platform/TextCodec.h"
#include "platform/dbus/DbusDdeml.h"
#include "platform/qt/QtFileSystem.h"
#include "tests/common/TableBuilder.h"
#include "tests/fakes/FakeAlert.h"
#include "tests/fakes/FakeDdeml.h"
#include "tests/fakes/FakeFileDialog.h"
#include "tests/fakes/FakeFileSystem.h"
#include "tests/fakes/FakeInstanceGuard.h"
#include "tests/fakes/TimedDdeml.h"

// Waiting in the real event loop inside GoogleTest. QTest's QTRY_* macros only return from the test
// function on failure, which GoogleTest would count as a pass.
#define WAIT_UNTIL_MS(condition, ms) \
    ASSERT_TRUE(QTest::qWaitFor([&]() -> bool { return static_cast<bool>(condition); }, (ms))) \
        << "still false after " << (ms) << " ms: " #condition

#define WAIT_UNTIL(condition) WAIT_UNTIL_MS(condition, 5000)

namespace norvale {

// The window's status bar, counting the ends of passes and the drawings of the table (each writes
// the brand count).
class CountingStatusBar : public StatusBar {
public:
    explicit CountingStatusBar(QtMainWindow& real) : real_(real) {}
    void SetPanel(StatusPanel panel, const std::string& text) override {
        completed += panel == StatusPanel::LoadTime && text.rfind("読込み時間:", 0) == 0 ? 1 : 0;
        drawings += panel == StatusPanel::BrandCount ? 1 : 0;
        real_.SetPanel(panel, text);
    }
    int completed = 0;
    int drawings = 0;

private:
    QtMainWindow& real_;
};

struct QtWindowHarness {
    QtWindowHarness(FileSystem& files, Ddeml& ddeml, int tickMs)
        : loadTicker(tickMs, [this] { logic->LoadTick(); }), waitTicker(tickMs, [this] { logic->WaitTick(); }),
          platform{window, statusBar, window.TableSurface(), loadTicker, waitTicker, events,
                   fileDialog, alert, files, instance, ddeml} {}

    QtMainWindow window;
    CountingStatusBar statusBar{window};
    QtEventPump events;
    FakeFileDialog fileDialog;
    FakeAlert alert;
    FakeInstanceGuard instance;
    std::unique_ptr<MainWindowLogic> logic;
    QtTicker loadTicker;
    QtTicker waitTicker;
    Platform platform;

    // Builds the window logic, runs the start-up and shows the window.
    void Start() {
        logic = std::make_unique<MainWindowLogic>(platform);
        window.SetEvents(logic.get());
        ASSERT_TRUE(logic->StartUp());
        window.show();
    }
    void Choose(MenuItem item) { window.MenuAction(item)->trigger(); }
};

struct FakeServices {
    FakeFileSystem files;
    FakeDdeml ddeml;
};

// The files and the quote server in process.
struct QtHarness : FakeServices, QtWindowHarness {
    explicit QtHarness(int tickMs = 1000) : QtWindowHarness(files, ddeml, tickMs) {}
    // The brands the start-up will watch (test::FilesOf).
    void Watch(const std::vector<std::string>& watched, const std::vector<std::string>& known = {}) {
        const test::TestFiles f = test::FilesOf(watched, known);
        files.files[files.InProgramFolder(kBrandMasterFileName)] = Utf8ToCp932(f.master);
        files.files[files.InProgramFolder(kWatchListFileName)] = f.watchList;
    }
};

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

// A timer of the window's own: the longest time the window went without handling its events.
struct LivenessProbe {
    explicit LivenessProbe(QObject* context) {
        QObject::connect(&timer, &QTimer::timeout, context, [this] { maxGapMs = std::max(maxGapMs, clock.restart()); });
    }
    void Arm() {
        clock.start();
        timer.start(10);
    }
    QTimer timer;
    QElapsedTimer clock;
    qint64 maxGapMs = 0;
};

// The real files in a folder of the test's own and the D-Bus DDEML, its requests timed.
struct BusServices {
    explicit BusServices(const QString& folder) : files(folder) {}
    FolderFiles files;
    DbusDdeml dbus;
    TimedDdeml ddeml{dbus};
};

struct FaultHarness : BusServices, QtWindowHarness {
    // Fast tickers: the polling cycle itself is the same at any tick length.
    explicit FaultHarness(const QString& folder) : BusServices(folder), QtWindowHarness(files, ddeml, 20) {}
    LivenessProbe probe{&window};
    void Start() {
        QtWindowHarness::Start();
        probe.Arm();
    }
};

}  // namespace norvale
