// The real Qt window wired to frmGrp, with fakes only where a test must decide (files,
// dialogs, quote server, instance check).
#pragma once

#include <QFile>
#include <gtest/gtest.h>

#include <memory>

#include "app/MainWindowLogic.h"
#include "platform/fake/FakeDdeml.h"
#include "platform/fake/FakeFileDialog.h"
#include "platform/fake/FakeFileSystem.h"
#include "platform/fake/FakeInstanceGuard.h"
#include "platform/fake/FakeMessageBox.h"
#include "platform/qt/QtMainWindow.h"
#include "platform/qt/QtPlatformServices.h"
#include "platform/qt/QtSurface.h"
#include "platform/qt/QtTicker.h"

namespace norvale {

struct QtHarness {
    explicit QtHarness(int tickMs = 1000)
        : loadTicker(tickMs, [this] { frm->LoadTick(); }), waitTicker(tickMs, [this] { frm->WaitTick(); }) {
        window.SetEvents(frm.get());
    }

    QtMainWindow window;
    QtEventPump events;
    FakeFileDialog fileDialog;
    FakeMessageBox messageBox;
    FakeFileSystem files;
    FakeInstanceGuard instance;
    FakeDdeml ddeml;
    std::unique_ptr<MainWindowLogic> frm;
    QtTicker loadTicker;
    QtTicker waitTicker;
    Platform platform{window, window, window.Picture1(), loadTicker, waitTicker, events,
                      fileDialog, messageBox, files, instance, ddeml};

    // Puts the sample brand master and watch list where start-up reads them.
    void UseSampleData() {
        for (const char* name : {kBrandMasterFileName, kWatchListFileName}) {
            QFile f(QStringLiteral(NORVALE_SOURCE_DIR "/data/") + QString::fromUtf8(name));
            ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << name;
            files.files[files.InProgramFolder(name)] = f.readAll().toStdString();
        }
    }

    // Builds frmGrp, runs the start-up and shows the window.
    void Start() {
        frm = std::make_unique<MainWindowLogic>(platform);
        window.SetEvents(frm.get());
        ASSERT_TRUE(frm->StartUp());
        window.show();
    }
};

}  // namespace norvale
