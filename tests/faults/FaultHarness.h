// The real window logic in the real Qt window and event loop, talking to the stand-in quote server over
// the real D-Bus DDEML, with taps that watch what a misbehaving server could break: how long each
// request blocks, whether the window keeps handling events, and the files of the program folder.
#pragma once

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <string>
#include <utility>

#include "platform/dbus/DbusDdeml.h"
#include "platform/qt/QtFileSystem.h"
#include "tests/fakes/TimedDdeml.h"
#include "tests/qt/QtHarness.h"

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

// A timer of the window's own: while armed, the longest time the window went without handling its
// events. Disarmed while the test itself holds the thread (starting a server, say).
struct LivenessProbe {
    explicit LivenessProbe(QObject* context) {
        timer.setInterval(10);
        QObject::connect(&timer, &QTimer::timeout, context, [this] {
            ++ticks;
            if (clock.isValid()) maxGapMs = std::max(maxGapMs, clock.restart());
        });
    }
    void Arm(bool on = true) {
        on ? clock.start() : clock.invalidate();
        on ? timer.start() : timer.stop();
    }
    QTimer timer;
    QElapsedTimer clock;
    int ticks = 0;
    qint64 maxGapMs = 0;
};

struct BusServices {
    explicit BusServices(const QString& folder) : files(folder) {}
    FolderFiles files;
    DbusDdeml dbus;
    TimedDdeml ddeml{dbus};
};

struct FaultHarness : BusServices, QtWindowHarness {
    // Fast tickers: the polling cycle itself is the same at any tick length.
    explicit FaultHarness(const QString& folder, int tickMs = 20)
        : BusServices(folder), QtWindowHarness(files, ddeml, tickMs) {}

    LivenessProbe probe{&window};

    void Start() {
        QtWindowHarness::Start();
        probe.Arm();
    }
    // Stops polling and closes the window, as the user would at the end of the day.
    void Finish() {
        if (logic == nullptr || logic->Closed()) return;
        Choose(MenuItem::StopPolling);
        window.close();
        static_cast<void>(QTest::qWaitFor([this] { return logic->Closed(); }, 10000));
    }
};

}  // namespace norvale
