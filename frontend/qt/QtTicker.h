// The load ticker and the wait ticker on Qt.
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

#include "platform/Ticker.h"

namespace norvale {

// A QTimer is not activated again while its own timeout slot runs, and a refresh pass runs
// for many seconds inside a wait tick. So each timeout only posts the tick, and the handler
// runs from the event queue, outside the timer's activation: later ticks of the same
// ticker still arrive while the pass lets events run.
class QtTicker : public QObject, public Ticker {
    Q_OBJECT
public:
    QtTicker(int intervalMs, std::function<void()> onTick, QObject* parent = nullptr);

    void SetEnabled(bool on) override;
    bool Enabled() const override;
    void SetInterval(int ms) { timer_.setInterval(ms); }

private:
    QTimer timer_;
    std::function<void()> onTick_;
};

}  // namespace norvale
