// What the trader and the clock do to the main window, as the core handles it. A window
// implementation calls these on its own thread, also while a refresh pass lets events run.
#pragma once

#include <cstdint>

namespace norvale {

enum class CloseAnswer { Grant, Refuse };

class WindowEvents {
public:
    virtual ~WindowEvents() = default;

    // Any request to close the window (close box, system menu, log-off, the pass itself).
    virtual CloseAnswer CloseRequested() = 0;
    // The window is being closed for good, after a granted request.
    virtual void Closing() = 0;
    // Shown, resized, minimised or restored.
    virtual void Resized() = 0;

    virtual void SortKeyChosen() = 0;
    virtual void IntervalChosen() = 0;

    virtual void LoadTick() = 0;
    virtual void WaitTick() = 0;

    virtual void ImportWatchList() = 0;
    virtual void ExportWatchList() = 0;
    virtual void ToggleOffline() = 0;
    virtual void StartPolling() = 0;
    virtual void StopPolling() = 0;

    virtual void TableClicked() = 0;
    // keyCode is a virtual key code of platform/KeyCodes.h; any other code is ignored.
    virtual void KeyReleasedOnTable(std::int16_t keyCode) = 0;
};

}  // namespace norvale
