// Drives a window of this process as the trader would, under Wine: keys and clicks through
// SendInput, modal boxes answered from inside their own message loop, and the screen read back.
#pragma once

#include "platform/win32/Win32Handles.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "frontend/win32/GdiHandles.h"
#include "frontend/win32/Win32WindowServices.h"

namespace norvale::win32 {

// Runs the window's messages until done() holds or ms have passed; false on time-out.
inline bool PumpUntil(const std::function<bool()>& done, DWORD ms) {
    Win32EventPump pump;
    const ULONGLONG end = GetTickCount64() + ms;
    for (;;) {
        pump.RunPending();
        if (done()) return true;
        if (GetTickCount64() >= end) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}
inline void PumpFor(DWORD ms) {
    PumpUntil([] { return false; }, ms);
}

// Brings the window to the front and presses and releases each virtual key in turn, all at once:
// a menu or a box that the first keys open reads the rest in its own loop.
inline void PressKeys(HWND window, const std::vector<WORD>& keys) {
    SetForegroundWindow(window);
    PumpFor(20);
    std::vector<INPUT> in(keys.size() * 2);
    for (std::size_t i = 0; i < in.size(); ++i) {
        in[i].type = INPUT_KEYBOARD;
        in[i].ki.wVk = keys[i / 2];
        in[i].ki.dwFlags = i % 2 == 0 ? 0 : KEYEVENTF_KEYUP;
    }
    SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
    PumpFor(100);
}

// A left click at (x, y) physical pixels of the window's client area.
inline void ClickAt(HWND window, int x, int y) {
    SetForegroundWindow(window);
    POINT at{x, y};
    ClientToScreen(window, &at);
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    INPUT in[3] = {};
    const DWORD steps[3] = {MOUSEEVENTF_MOVE, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP};
    for (int i = 0; i < 3; ++i) {
        in[i].type = INPUT_MOUSE;
        in[i].mi.dx = static_cast<LONG>((at.x * 65536LL + w / 2) / w);
        in[i].mi.dy = static_cast<LONG>((at.y * 65536LL + h / 2) / h);
        in[i].mi.dwFlags = steps[i] | MOUSEEVENTF_ABSOLUTE;
    }
    SendInput(3, in, sizeof(INPUT));
    PumpFor(50);
}

// A window's text: a caption, or what a control shows.
inline std::wstring TextOf(HWND window) {
    wchar_t text[4096] = {};
    GetWindowTextW(window, text, 4096);
    return text;
}

// Presses a button of a box as a click would.
inline void Press(HWND box, int button) {
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
}

// The one pending WhenReady: what it waits for, what it then runs, and its timer.
namespace driver {
inline std::function<bool()> ready;
inline std::function<void()> action;
inline int triesLeft = 0;
inline UINT_PTR timer = 0;

inline void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    const bool now = ready();
    if (!now && --triesLeft > 0) return;
    KillTimer(nullptr, std::exchange(timer, 0));
    if (now) std::exchange(action, nullptr)();
}

inline BOOL CALLBACK FindBox(HWND window, LPARAM search) {
    auto& [except, found] = *reinterpret_cast<std::pair<HWND, HWND>*>(search);
    wchar_t cls[64] = {};
    GetClassNameW(window, cls, 64);
    if (window == except || !IsWindowVisible(window) || std::wstring(cls) != L"#32770") return TRUE;
    found = window;
    return FALSE;
}
}  // namespace driver

// Runs act once, from a timer and so inside whichever message loop runs then (a pass's, a modal
// box's), at the first tick at which ready() holds; if it does not within withinMs, act never runs.
inline void WhenReady(std::function<bool()> ready, std::function<void()> act, UINT everyMs, UINT withinMs = 10000) {
    driver::ready = std::move(ready);
    driver::action = std::move(act);
    driver::triesLeft = static_cast<int>(withinMs / everyMs);
    KillTimer(nullptr, driver::timer);  // one at a time
    driver::timer = SetTimer(nullptr, 0, everyMs, driver::Tick);
}

// A modal box of this thread (file dialog, message box) that shows, other than except; or null.
inline HWND ShownBox(HWND except = nullptr) {
    std::pair<HWND, HWND> search{except, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), driver::FindBox, reinterpret_cast<LPARAM>(&search));
    return search.second;
}

// Answers the next modal box of this thread once it shows, from inside the box's own loop.
inline void AnswerNextBox(std::function<void(HWND)> answer) {
    static HWND answered = nullptr;  // the box answered last, which may take a moment to go
    WhenReady([] { return ShownBox(answered) != nullptr; },
              [answer = std::move(answer)] { answer(answered = ShownBox(answered)); }, 100);
}

// The screen inside the window's client area, or its whole frame, as top-down 0x00RRGGBB pixels;
// the part of it that is on the screen.
struct ScreenImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x] & 0xFFFFFF; }
};
inline ScreenImage Capture(HWND window, bool frame) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | (frame ? RDW_FRAME : 0));
    PumpFor(100);
    RECT r;
    if (frame) {
        GetWindowRect(window, &r);
    } else {
        GetClientRect(window, &r);
        MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
    }
    // Only what is on the screen: a copy that reaches beyond it comes back black.
    r.right = std::min<LONG>(r.right, GetSystemMetrics(SM_CXSCREEN));
    r.bottom = std::min<LONG>(r.bottom, GetSystemMetrics(SM_CYSCREEN));
    ScreenImage image{static_cast<int>(r.right - r.left), static_cast<int>(r.bottom - r.top), {}};
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
        image.pixels.assign(static_cast<const std::uint32_t*>(bits),
                            static_cast<const std::uint32_t*>(bits) + image.width * image.height);
    }
    ReleaseDC(nullptr, screen);
    return image;
}

}  // namespace norvale::win32
