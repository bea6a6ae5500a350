#include "app/PlaceWindow.h"

namespace norvale {

TwipRect PlaceWindow(const PlacedWindow& window, const std::optional<PlacedWindow>& owner,
                     double screenWidth, double screenHeight) {
    TwipRect f = window.frame;
    const bool windowNormal = window.state == WindowState::Normal;
    if (owner) {
        if (windowNormal && owner->state == WindowState::Normal) {
            f.left = owner->frame.left + (owner->frame.width - f.width) / 2;
            f.top = owner->frame.top + (owner->frame.height - f.height) / 2;
        }
    } else if (windowNormal) {
        f.left = (screenWidth - f.width) / 2;
        f.top = (screenHeight - f.height) / 2;
    }
    // The right and bottom rules come last, so a window larger than the screen ends with
    // its right or bottom edge on the screen's edge and a negative left or top.
    if (f.left < 0) f.left = 0;
    if (f.top < 0) f.top = 0;
    if (f.left + f.width > screenWidth) f.left = screenWidth - f.width;
    if (f.top + f.height > screenHeight) f.top = screenHeight - f.height;
    return f;
}

}  // namespace norvale
