// The real Qt window wired to frmGrp, with fakes only where a test must decide (files,
// dialogs, quote server, instance check).
#pragma once

#include <QFile>
#include <gtest/gtest.h>

#include <memory>

#include "app/FrmGrp.h"
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
        : timer1(tickMs, [this] { frm->Timer1_Timer(); }), timer3(tickMs, [this] { frm->Timer3_Timer(); }) {
        window.SetEvents(frm.get());
    }

    QtMainWindow window;
    QtEventPump events;
    FakeFileDialog fileDialog;
    FakeMessageBox messageBox;
    FakeFileSystem files;
    FakeInstanceGuard instance;
    FakeDdeml ddeml;
    std::unique_ptr<FrmGrp> frm;
    QtTicker timer1;
    QtTicker timer3;
    Platform platform{window, window, window.Picture1(), timer1, timer3, events,
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
        frm = std::make_unique<FrmGrp>(platform);
        window.SetEvents(frm.get());
        ASSERT_TRUE(frm->Form_Load());
        window.show();
    }
};

}  // namespace norvale
