// Every fake at once, wired into a Platform, for tests that drive MainWindowLogic headless.
#pragma once

#include "platform/Platform.h"
#include "tests/fakes/FakeAlert.h"
#include "tests/fakes/FakeDdeml.h"
#include "tests/fakes/FakeEventPump.h"
#include "tests/fakes/FakeFileDialog.h"
#include "tests/fakes/FakeFileSystem.h"
#include "tests/fakes/FakeInstanceGuard.h"
#include "tests/fakes/FakeStatusBar.h"
#include "tests/fakes/FakeSurface.h"
#include "tests/fakes/FakeTicker.h"
#include "tests/fakes/FakeWindow.h"

namespace norvale {

struct FakePlatform {
    FakeWindow window;
    FakeStatusBar statusBar;
    FakeSurface tableSurface;
    FakeTicker loadTicker;
    FakeTicker waitTicker;
    FakeEventPump events;
    FakeFileDialog fileDialog;
    FakeAlert alert;
    FakeFileSystem files;
    FakeInstanceGuard instance;
    FakeDdeml ddeml;
    Platform platform{window, statusBar, tableSurface, loadTicker, waitTicker, events,
                      fileDialog, alert, files, instance, ddeml};
};

}  // namespace norvale
