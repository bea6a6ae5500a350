// Qt key events to the virtual key codes of platform/KeyCodes.h.
#include "frontend/qt/QtKeys.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QString>
#include <QWidget>
#include <utility>

#include "platform/KeyCodes.h"

namespace norvale {

namespace {

// XKB keycodes (evdev + 8) of the digit row: 1 to 9 are 10 to 18, 0 is 19; the same on
// every layout, so Shift or an AZERTY row of symbols does not hide the digit.
constexpr quint32 kXkbDigit1 = 10;
constexpr quint32 kXkbDigit0 = 19;

// The repeat's press leaves the server with its release; this only covers the reading lag.
constexpr int kX11ReleaseWaitMs = 40;

std::int16_t Digit(int d) { return static_cast<std::int16_t>(key::kDigit0 + d); }

bool IsTableKey(quint32 vk) {
    const auto k = static_cast<std::int16_t>(vk);
    return vk <= 0x7FFF && (k == key::kBackspace || k == key::kEnter || k == key::kEscape || k == key::kDelete ||
                            (k >= key::kDigit0 && k <= Digit(9)) || (k >= key::kNumpad0 && k <= key::kNumpad0 + 9) ||
                            (k >= key::kLetterA && k <= key::kLetterA + 25));
}

// Shift with a main-row digit on a US layout, for when no native code tells the key.
std::int16_t UsShiftedDigit(int qtKey) {
    switch (qtKey) {
        case Qt::Key_ParenRight: return Digit(0);
        case Qt::Key_Exclam: return Digit(1);
        case Qt::Key_At: return Digit(2);
        case Qt::Key_NumberSign: return Digit(3);
        case Qt::Key_Dollar: return Digit(4);
        case Qt::Key_Percent: return Digit(5);
        case Qt::Key_AsciiCircum: return Digit(6);
        case Qt::Key_Ampersand: return Digit(7);
        case Qt::Key_Asterisk: return Digit(8);
        case Qt::Key_ParenLeft: return Digit(9);
        default: return 0;
    }
}

}  // namespace

NativeKeys NativeKeysOf(const QString& platformName) {
    if (platformName == QLatin1String("xcb") || platformName.startsWith(QLatin1String("wayland"))) {
        return NativeKeys::XkbKeycode;
    }
    if (platformName == QLatin1String("windows")) return NativeKeys::WindowsVk;
    return NativeKeys::None;
}

KeyFacts FactsOf(const QKeyEvent& event) {
    KeyFacts f;
    f.qtKey = event.key();
    f.keypad = event.modifiers().testFlag(Qt::KeypadModifier);
    f.native = NativeKeysOf(QGuiApplication::platformName());
    f.scanCode = event.nativeScanCode();
    f.virtualKey = event.nativeVirtualKey();
    return f;
}

std::int16_t VirtualKeyCode(const KeyFacts& key) {
    bool nativeKnown = false;
    if (key.native == NativeKeys::WindowsVk && key.virtualKey != 0) {
        return IsTableKey(key.virtualKey) ? static_cast<std::int16_t>(key.virtualKey) : 0;
    }
    if (key.native == NativeKeys::XkbKeycode && key.scanCode != 0) {
        nativeKnown = true;
        if (key.scanCode >= kXkbDigit1 && key.scanCode < kXkbDigit0) {
            return Digit(1 + static_cast<int>(key.scanCode - kXkbDigit1));
        }
        if (key.scanCode == kXkbDigit0) return key::kDigit0;
    }
    if (key.qtKey >= Qt::Key_0 && key.qtKey <= Qt::Key_9) {
        return static_cast<std::int16_t>((key.keypad ? key::kNumpad0 : key::kDigit0) + (key.qtKey - Qt::Key_0));
    }
    // A letter as the layout gives it, with or without Shift: a code is typed as it is read.
    if (key.qtKey >= Qt::Key_A && key.qtKey <= Qt::Key_Z) {
        return static_cast<std::int16_t>(key::kLetterA + (key.qtKey - Qt::Key_A));
    }
    switch (key.qtKey) {
        case Qt::Key_Return:
        case Qt::Key_Enter: return key::kEnter;
        case Qt::Key_Escape: return key::kEscape;
        case Qt::Key_Delete: return key::kDelete;
        case Qt::Key_Backspace: return key::kBackspace;
        default: break;
    }
    // The keypad's own symbols (*, +, …) are never digits.
    if (nativeKnown || key.keypad) return 0;
    return UsShiftedDigit(key.qtKey);
}

std::int16_t VirtualKeyCode(const QKeyEvent& event) { return VirtualKeyCode(FactsOf(event)); }

ReleaseGuard::ReleaseGuard(QWidget* widget, int waitMs) : QObject(widget), waitMs_(waitMs) {
    setObjectName(QStringLiteral("ReleaseGuard"));
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &ReleaseGuard::Flush);
    // Every input event of the application passes here first, so a held-back release runs
    // before a click or key that came after it, wherever that goes.
    QCoreApplication::instance()->installEventFilter(this);
}

ReleaseGuard& ReleaseGuard::Of(QWidget* widget) {
    if (auto* guard = widget->findChild<ReleaseGuard*>(QString(), Qt::FindDirectChildrenOnly)) return *guard;
    const bool x11 = QGuiApplication::platformName() == QLatin1String("xcb");
    return *new ReleaseGuard(widget, x11 ? kX11ReleaseWaitMs : 0);
}

void ReleaseGuard::Release(const QKeyEvent& event, std::function<void()> action) {
    Flush();
    // Events made up in process (tests, input methods) carry no keycode and no repeat pairs.
    if (waitMs_ <= 0 || event.nativeScanCode() == 0) {
        action();
        return;
    }
    pending_ = std::move(action);
    scanCode_ = event.nativeScanCode();
    timestamp_ = event.timestamp();
    timer_.start(waitMs_);
}

void ReleaseGuard::Flush() {
    timer_.stop();
    if (!pending_) return;
    auto action = std::exchange(pending_, nullptr);
    action();
}

bool ReleaseGuard::eventFilter(QObject* watched, QEvent* event) {
    if (!pending_) return QObject::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::KeyPress: {
            const auto* press = static_cast<const QKeyEvent*>(event);
            if (press->nativeScanCode() == scanCode_ && press->timestamp() == timestamp_) {
                // The held-back release was a repeat after all: the key is still down.
                timer_.stop();
                pending_ = nullptr;
                break;
            }
            Flush();
            break;
        }
        case QEvent::KeyRelease:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::TouchBegin:
        case QEvent::TabletPress:
        case QEvent::ContextMenu:
            Flush();
            break;
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace norvale
