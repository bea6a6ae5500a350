#include "platform/qt/QtKeys.h"

#include <Qt>

namespace norvale {

std::int16_t VirtualKeyCode(int qtKey, bool keypad) {
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) {
        return static_cast<std::int16_t>((keypad ? 96 : 48) + (qtKey - Qt::Key_0));
    }
    switch (qtKey) {
        case Qt::Key_Return:
        case Qt::Key_Enter: return 13;
        case Qt::Key_Escape: return 27;
        case Qt::Key_Delete: return 46;
        case Qt::Key_Backspace: return 8;
        // Shift with a main-row digit arrives as the shifted symbol on a US layout.
        case Qt::Key_ParenRight: return 48;
        case Qt::Key_Exclam: return 49;
        case Qt::Key_At: return 50;
        case Qt::Key_NumberSign: return 51;
        case Qt::Key_Dollar: return 52;
        case Qt::Key_Percent: return 53;
        case Qt::Key_AsciiCircum: return 54;
        case Qt::Key_Ampersand: return 55;
        case Qt::Key_Asterisk: return 56;
        case Qt::Key_ParenLeft: return 57;
        default: return 0;
    }
}

}  // namespace norvale
