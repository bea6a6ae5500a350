// The real Qt window wired to the window logic, with fakes only where a test must decide (dialogs,
// instance check, and, unless the test brings its own, the files and the quote server).
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

}  // namespace norvale
