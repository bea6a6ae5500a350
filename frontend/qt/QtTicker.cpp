#include "frontend/qt/QtTicker.h"

#include <QMetaObject>

namespace norvale {

QtTicker::QtTicker(int intervalMs, std::function<void()> onTick, QObject* parent)
    : QObject(parent), onTick_(std::move(onTick)) {
    timer_.setInterval(intervalMs);
    timer_.setTimerType(Qt::CoarseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] {
        QMetaObject::invokeMethod(this, [this] {
            // A tick already posted when the ticker was switched off is dropped.
            if (timer_.isActive() && onTick_) onTick_();
        }, Qt::QueuedConnection);
    });
}

void QtTicker::SetEnabled(bool on) {
    if (on == timer_.isActive()) return;  // switching on again does not restart the second
    if (on) {
        timer_.start();
    } else {
        timer_.stop();
    }
}

bool QtTicker::Enabled() const { return timer_.isActive(); }

}  // namespace norvale
