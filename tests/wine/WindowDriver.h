// Drives a window of this process as the trader would, under Wine: keys and clicks through
// SendInput, actions timed from inside a pass's own message loop, and the screen read back.
#pragma once

#include "platform/win32/Win32Handles.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "frontend/win32/GdiHandles.h"
#include "frontend/win32/Win32WindowServices.h"

namespace norvale::win32 {

// Runs the window's messages until done() holds or ms have passed; false on time-out.
inline bool PumpUntil(const std::function<bool()>& done, DWORD ms) {
    Win32EventPump pump;
    for (const ULONGLONG end = GetTickCount64() + ms;; MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT)) {
        pump.RunPending();
        if (done()) return true;
        if (GetTickCount64() >= end) return false;
    }
}
inline void PumpFor(DWORD ms) { PumpUntil([] { return false; }, ms); }

// Brings the window to the front and sends it the input, all at once: a menu or a box that the first
// keys open reads the rest in its own loop.
inline void Send(HWND window, std::vector<INPUT> input) {
    SetForegroundWindow(window);
    PumpFor(20);
    SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
    PumpFor(100);
}
// Presses and releases each virtual key in turn.
inline void PressKeys(HWND window, const std::vector<WORD>& keys) {
    std::vector<INPUT> input(keys.size() * 2, INPUT{INPUT_KEYBOARD, {}});
    for (std::size_t i = 0; i < input.size(); ++i)
        input[i].ki = {keys[i / 2], 0, i % 2 == 0 ? 0u : KEYEVENTF_KEYUP, 0, 0};
    Send(window, input);
}
// A left click at (x, y) physical pixels of the window's client area.
inline void ClickAt(HWND window, int x, int y) {
    POINT at{x, y};
    ClientToScreen(window, &at);
    const LONG w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    const LONG dx = LONG((at.x * 65536LL + w / 2) / w), dy = LONG((at.y * 65536LL + h / 2) / h);
    std::vector<INPUT> input;
    for (const DWORD step : {MOUSEEVENTF_MOVE, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}) {
        input.push_back({INPUT_MOUSE, {}});
        input.back().mi = {dx, dy, 0, step | MOUSEEVENTF_ABSOLUTE, 0, 0};
    }
    Send(window, input);
}

// Runs act once, from a timer and so inside whichever message loop runs then (a pass's), at the
// first tick at which ready() holds; if it does not within withinMs, act never runs. One at a time:
// a new one replaces the one pending.
inline void WhenReady(std::function<bool()> ready, std::function<void()> act, UINT everyMs, UINT withinMs = 10000) {
    static std::function<bool()> pendingReady;
    static std::function<void()> pendingAct;
    static int triesLeft = 0;
    static UINT_PTR timer = 0;
    KillTimer(nullptr, timer);
    pendingReady = std::move(ready);
    pendingAct = std::move(act);
    triesLeft = static_cast<int>(withinMs / everyMs);
    timer = SetTimer(nullptr, 0, everyMs, [](HWND, UINT, UINT_PTR, DWORD) {
        const bool now = pendingReady();
        if (!now && --triesLeft > 0) return;
        KillTimer(nullptr, std::exchange(timer, 0));
        if (now) std::exchange(pendingAct, nullptr)();  // which may ask for the next one
    });
}

// The screen within r (screen pixels, as far as the screen reaches: a copy beyond it comes back
// black) once the window has drawn itself anew, as top-down 0x00RRGGBB pixels.
struct ScreenImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x] & 0xFFFFFF; }
};
inline ScreenImage Capture(HWND window, RECT r) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    PumpFor(100);
    ScreenImage image{std::min<int>(r.right, GetSystemMetrics(SM_CXSCREEN)) - r.left,
                      std::min<int>(r.bottom, GetSystemMetrics(SM_CYSCREEN)) - r.top, {}};
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof bi.bmiHeader, image.width, -image.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    gdi::UniqueDc dc(CreateCompatibleDC(screen));
    gdi::UniqueBitmap bitmap(CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (bitmap) {
        gdi::Selection into(dc.get(), bitmap.get());
        BitBlt(dc.get(), 0, 0, image.width, image.height, screen, r.left, r.top, SRCCOPY);
        GdiFlush();
        const auto* first = static_cast<const std::uint32_t*>(bits);
        image.pixels.assign(first, first + image.width * image.height);
    }
    ReleaseDC(nullptr, screen);
    return image;
}

}  // namespace norvale::win32
