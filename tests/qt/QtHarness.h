// The real Qt window wired to the window logic, with fakes where a test must decide (dialogs, instance
// check, files) and the quote server in process unless the test brings a DDEML of its own.
#pragma once

#include <QTest>
#include <gtest/gtest.h>

#include "app/MainWindowLogic.h"
#include "frontend/qt/QtMainWindow.h"
#include "frontend/qt/QtSurface.h"
#include "frontend/qt/QtTicker.h"
#include "frontend/qt/QtWindowServices.h"
#include "platform/TextCodec.h"
#include "tests/common/TableBuilder.h"
#include "tests/fakes/FakePlatform.h"

// Waiting in the real event loop inside GoogleTest. QTest's QTRY_* macros only return from the test
// function on failure, which GoogleTest would count as a pass.
#define WAIT_UNTIL_MS(condition, ms) \
    ASSERT_TRUE(QTest::qWaitFor([&]() -> bool { return static_cast<bool>(condition); }, (ms))) \
        << "still false after " << (ms) << " ms: " #condition
#define WAIT_UNTIL(condition) WAIT_UNTIL_MS(condition, 5000)

namespace norvale {

struct QtHarness {
    explicit QtHarness(int tickMs = 1000, Ddeml* server = nullptr)
        : loadTicker(tickMs, [this] { logic->LoadTick(); }), waitTicker(tickMs, [this] { logic->WaitTick(); }),
          platform{window,     window, window.TableSurface(), loadTicker, waitTicker, events,
                   fileDialog, alert,  files,                 instance,   server != nullptr ? *server : ddeml} {}

    QtMainWindow window;
    QtEventPump events;
    FakeFileDialog fileDialog;
    FakeAlert alert;
    FakeFileSystem files;
    FakeInstanceGuard instance;
    FakeDdeml ddeml;
    std::unique_ptr<MainWindowLogic> logic;
    QtTicker loadTicker;
    QtTicker waitTicker;
    Platform platform;

    // The brands the start-up will watch (test::FilesOf).
    void Watch(const std::vector<std::string>& watched, const std::vector<std::string>& known = {}) {
        const test::TestFiles f = test::FilesOf(watched, known);
        files.files[files.InProgramFolder(kBrandMasterFileName)] = Utf8ToCp932(f.master);
        files.files[files.InProgramFolder(kWatchListFileName)] = f.watchList;
    }
    // Builds the window logic, runs the start-up and shows the window.
    void Start() {
        logic = std::make_unique<MainWindowLogic>(platform);
        window.SetEvents(logic.get());
        ASSERT_TRUE(logic->StartUp());
        window.show();
    }
    void Choose(MenuItem item) { window.MenuAction(item)->trigger(); }
};

}  // namespace norvale
