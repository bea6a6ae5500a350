// The window system's services on Windows that the core calls: the event pump, the file dialog and the alert.
#pragma once

#include <string>

#include "frontend/win32/GdiHandles.h"
#include "platform/Alert.h"
#include "platform/EventPump.h"
#include "platform/FileDialog.h"

namespace norvale::win32 {

// PeekMessage and DispatchMessage until the queue is empty. A WM_QUIT met here is put back for
// the main loop, and the pump returns at once.
class Win32EventPump final : public EventPump {
public:
    void RunPending() override;
};

// GetOpenFileNameW over the main window, remembering the last full name chosen.
class Win32FileDialog final : public FileDialog {
public:
    void SetOwner(HWND owner) { owner_ = owner; }
    std::optional<std::string> ShowOpen(const std::string& filter) override;

private:
    HWND owner_ = nullptr;
    std::wstring lastName_;
};

// MessageBoxW with the stop icon and OK and Cancel.
class Win32Alert final : public Alert {
public:
    void SetOwner(HWND owner) { owner_ = owner; }
    void ShowCriticalOkCancel(const std::string& text, const std::string& title) override;

private:
    HWND owner_ = nullptr;
};

}  // namespace norvale::win32
