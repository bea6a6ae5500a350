// Qt key events to the platform's virtual key codes that the table's key handler expects.
#pragma once

#include <cstdint>

namespace norvale {

// The virtual key code of a Qt key, or 0 for a key the table ignores.
std::int16_t VirtualKeyCode(int qtKey, bool keypad);

}  // namespace norvale
