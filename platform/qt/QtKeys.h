// Qt key events to the platform's virtual key codes that the table's key handler expects.
#pragma once

#include <QtGlobal>
#include <cstdint>

class QKeyEvent;
class QString;

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

// The virtual key code of a key (Enter 13, Esc 27, Delete 46, Backspace 8, digits 48-57,
// keypad digits 96-105), or 0 for a key the table ignores. A digit-row key counts as its
// digit whatever the layout and Shift, as far as the native codes tell.
std::int16_t VirtualKeyCode(const KeyFacts& key);
std::int16_t VirtualKeyCode(const QKeyEvent& event);

}  // namespace norvale
