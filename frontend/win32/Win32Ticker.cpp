#include "frontend/win32/Win32Ticker.h"

#include <utility>

namespace norvale::win32 {

namespace {

constexpr wchar_t kTickerClass[] = L"NorvaleTicker";
constexpr UINT_PTR kTimerId = 1;

void RegisterTickerClass(HINSTANCE instance) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcW;  // replaced per window once it knows its ticker
    wc.hInstance = instance;
    wc.lpszClassName = kTickerClass;
    RegisterClassExW(&wc);  // fails harmlessly when already registered
}

}  // namespace

Win32Ticker::Win32Ticker(HINSTANCE instance, unsigned intervalMs, std::function<void()> onTick)
    : intervalMs_(intervalMs), onTick_(std::move(onTick)) {
    RegisterTickerClass(instance);
    window_.reset(CreateWindowExW(0, kTickerClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr));
    if (!window_) return;
    SetWindowLongPtrW(window_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(window_.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32Ticker::Procedure));
}

Win32Ticker::~Win32Ticker() {
    if (window_) {
        KillTimer(window_.get(), kTimerId);
        SetWindowLongPtrW(window_.get(), GWLP_USERDATA, 0);
    }
}

void Win32Ticker::SetEnabled(bool on) {
    if (on == enabled_ || !window_) return;  // switching on again does not restart the second
    enabled_ = on && SetTimer(window_.get(), kTimerId, intervalMs_, nullptr) != 0;
    if (!on) KillTimer(window_.get(), kTimerId);
}

LRESULT CALLBACK Win32Ticker::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Win32Ticker*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_TIMER && wParam == kTimerId && self != nullptr) {
        self->OnTimer();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void Win32Ticker::OnTimer() {
    // A tick read after the ticker was switched off is dropped.
    if (enabled_ && onTick_) onTick_();
}

}  // namespace norvale::win32
