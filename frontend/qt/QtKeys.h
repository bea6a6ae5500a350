// Qt key events to the platform's virtual key codes that the table's key handler expects.
#pragma once

#include <QObject>
#include <QTimer>
#include <QtGlobal>
#include <cstdint>
#include <functional>

class QKeyEvent;
class QString;
class QWidget;

namespace norvale {

// What the native codes of a key event mean on the running windowing system.
enum class NativeKeys {
    None,        // nothing usable (offscreen, synthesized events, other systems)
    XkbKeycode,  // X11 and Wayland: the scan code is the XKB keycode of the physical key
    WindowsVk,   // Windows: the native virtual key is the VK code itself
};

// The parts of a key event that decide its code, apart from the event so they can be tested.
struct KeyFacts {
    int qtKey = 0;
    bool keypad = false;
    NativeKeys native = NativeKeys::None;
    quint32 scanCode = 0;
    quint32 virtualKey = 0;
};

// How the native codes of the named Qt platform plugin are to be read.
NativeKeys NativeKeysOf(const QString& platformName);

// The facts of an event, read for the running Qt platform.
KeyFacts FactsOf(const QKeyEvent& event);

// The virtual key code of a key (one of platform/KeyCodes.h), or 0 for a key the table ignores. A digit-row key
// counts as its digit whatever the layout and Shift, as far as the native codes tell; a letter key as the letter
// the layout gives.
std::int16_t VirtualKeyCode(const KeyFacts& key);
std::int16_t VirtualKeyCode(const QKeyEvent& event);

// A held key on X11 comes as release and press pairs with the same server time, and Qt marks
// them auto-repeat only when it already holds the press while it handles the release; under
// load (a redraw after every Delete) it misses some, and a held Delete would remove several
// brands. So on X11 a release acts only after a short wait in which no press of the same key
// with the same time arrived; any other input event (a click, another key) first lets a held
// release act, so events are handled in the order they happened. Elsewhere the platform marks
// every repeat and a release acts at once.
class ReleaseGuard : public QObject {
    Q_OBJECT
public:
    // Guards the key releases of widget, watching every input event of the application;
    // waitMs 0 makes every release act at once.
    ReleaseGuard(QWidget* widget, int waitMs);

    // The guard of a widget, made on first use with the wait the running platform needs.
    static ReleaseGuard& Of(QWidget* widget);

    // Runs action for a release that Qt did not mark auto-repeat, now or after the wait; a
    // release still held back runs first, so the order of keys is kept.
    void Release(const QKeyEvent& event, std::function<void()> action);
    bool Holding() const { return static_cast<bool>(pending_); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Flush();

    int waitMs_;
    QTimer timer_;
    std::function<void()> pending_;
    quint32 scanCode_ = 0;
    quint64 timestamp_ = 0;
};

}  // namespace norvale
