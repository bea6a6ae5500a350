// Every fake at once, wired into a Platform, for tests that drive MainWindowLogic headless.
#pragma once

#include "platform/Platform.h"
#include "platform/fake/FakeDdeml.h"
#include "platform/fake/FakeEventPump.h"
#include "platform/fake/FakeFileDialog.h"
#include "platform/fake/FakeFileSystem.h"
#include "platform/fake/FakeInstanceGuard.h"
#include "platform/fake/FakeAlert.h"
#include "platform/fake/FakeStatusBar.h"
#include "platform/fake/FakeSurface.h"
#include "platform/fake/FakeTicker.h"
#include "platform/fake/FakeWindow.h"

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
