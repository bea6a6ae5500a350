// Drives a window of this process as the trader would, under Wine: keys and clicks through
// SendInput, modal boxes answered from inside their own message loop, and the screen read back.
#pragma once

#include "platform/win32/Win32Handles.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace norvale::win32 {

// Runs the window's messages until done() holds or ms have passed; false on time-out.
bool PumpUntil(const std::function<bool()>& done, DWORD ms);
// Runs the window's messages for ms.
void PumpFor(DWORD ms);

// Brings the window to the front and presses and releases each virtual key in turn.
void PressKeys(HWND window, std::initializer_list<WORD> keys);
void PressKeys(HWND window, const std::vector<WORD>& keys);
// The menu bar's item at position, chosen by keyboard: F10, Right as often as needed, Enter.
void ChooseFromMenuBar(HWND window, int position);
// An item of the first menu's list: F10, Enter to open it, Down as often as needed, Enter.
void ChooseFromFirstMenu(HWND window, int item);
// A left click at (x, y) physical pixels of the window's client area.
void ClickAt(HWND window, int x, int y);

// A modal box of this thread (file dialog, message box) as the answer sees it.
struct ModalBox {
    HWND window;
    std::wstring Title() const;
    std::wstring TextOf(int controlId) const;
    // Every item of a combo box, in order.
    std::vector<std::wstring> ItemsOf(int controlId) const;
    bool Shows(int controlId) const;
    void SetText(int controlId, const std::wstring& text) const;
    void Press(int buttonId) const;
};
// Answers the next modal box of this thread once it shows, from a timer that runs inside the
// box's own loop. If no box comes within the time, nothing is done.
void AnswerNextBox(std::function<void(const ModalBox&)> answer);
// Whether a modal box of this thread shows.
bool ModalBoxShown();

// The client area of the window as it is on the screen, top-down 0x00RRGGBB pixels.
struct ScreenImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x] & 0xFFFFFF; }
    // Writes a 24-bit BMP; false on failure.
    bool SaveBmp(const std::wstring& path) const;
};
ScreenImage CaptureClient(HWND window);
ScreenImage CaptureWindow(HWND window);

}  // namespace norvale::win32
