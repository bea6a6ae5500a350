// The real Qt window wired to the window logic, with fakes only where a test must decide (files,
// dialogs, quote server, instance check).
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "app/MainWindowLogic.h"
#include "platform/TextCodec.h"
#include "platform/fake/FakeDdeml.h"
#include "platform/fake/FakeFileDialog.h"
#include "platform/fake/FakeFileSystem.h"
#include "platform/fake/FakeInstanceGuard.h"
#include "platform/fake/FakeAlert.h"
#include "platform/qt/QtMainWindow.h"
#include "platform/qt/QtPlatformServices.h"
#include "platform/qt/QtSurface.h"
#include "platform/qt/QtTicker.h"
#include "tests/common/TableBuilder.h"

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
