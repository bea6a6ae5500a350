// The real Qt window wired to the window logic, with fakes only where a test must decide (files,
// dialogs, quote server, instance check).
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "app/MainWindowLogic.h"
#include "frontend/qt/QtMainWindow.h"
#include "frontend/qt/QtSurface.h"
#include "frontend/qt/QtTicker.h"
#include "frontend/qt/QtWindowServices.h"
#include "platform/TextCodec.h"
#include "tests/common/TableBuilder.h"
#include "tests/fakes/FakeAlert.h"
#include "tests/fakes/FakeDdeml.h"
#include "tests/fakes/FakeFileDialog.h"
#include "tests/fakes/FakeFileSystem.h"
#include "tests/fakes/FakeInstanceGuard.h"

namespace norvale {

struct QtHarness {
    explicit QtHarness(int tickMs = 1000)
        : loadTicker(tickMs, [this] { logic->LoadTick(); }), waitTicker(tickMs, [this] { logic->WaitTick(); }) {}

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
    Platform platform{window, window, window.TableSurface(), loadTicker, waitTicker, events,
                      fileDialog, alert, files, instance, ddeml};

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
};

}  // namespace norvale
