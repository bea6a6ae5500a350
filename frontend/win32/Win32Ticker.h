// The load and wait tickers on Windows: SetTimer on a message-only window of their own.
#pragma once

#include <functional>

#include "frontend/win32/GdiHandles.h"
#include "platform/Ticker.h"

namespace norvale::win32 {

// WM_TIMER is made afresh from the timer each time the queue is read, also by the PeekMessage
// loop of a pass that runs inside this ticker's own tick: later ticks of the same ticker still
// arrive while an earlier one is being handled.
class Win32Ticker final : public Ticker {
public:
    // No ticker can tick if its window cannot be made; SetEnabled then does nothing.
    Win32Ticker(HINSTANCE instance, unsigned intervalMs, std::function<void()> onTick);
    Win32Ticker(const Win32Ticker&) = delete;
    Win32Ticker& operator=(const Win32Ticker&) = delete;
    ~Win32Ticker() override;

    void SetEnabled(bool on) override;
    bool Enabled() const override { return enabled_; }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void OnTimer();

    gdi::UniqueWindow window_;
    unsigned intervalMs_;
    std::function<void()> onTick_;
    bool enabled_ = false;
};

}  // namespace norvale::win32
