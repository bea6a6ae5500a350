// Centring a window over its owner or the screen, then keeping it on the screen.
#pragma once

#include <optional>

#include "platform/Window.h"

namespace norvale {

struct PlacedWindow {
    TwipRect frame;
    WindowState state = WindowState::Normal;
};

// Returns the window's new outer frame; sizes are kept, only left and top move. Divisions
// are exact, so a result may keep a fraction of a twip.
TwipRect PlaceWindow(const PlacedWindow& window, const std::optional<PlacedWindow>& owner,
                     double screenWidth, double screenHeight);

}  // namespace norvale
