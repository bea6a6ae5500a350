// The window system's services on Windows: the event pump, the file dialog, the alert and
// the single-instance guard.
#pragma once

#include <string>

#include "platform/Alert.h"
#include "platform/EventPump.h"
#include "platform/FileDialog.h"
#include "platform/InstanceGuard.h"
#include "platform/win32/Win32Handles.h"

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

// A named mutex in the user's session ("Local\" namespace). Windows removes it with the last
// handle, so a crashed instance leaves no claim behind.
class Win32InstanceGuard final : public InstanceGuard {
public:
    explicit Win32InstanceGuard(std::wstring name) : name_(std::move(name)) {}
    // True only when the mutex already existed; a mutex that cannot be made lets Norvale start.
    bool AnotherInstanceRunning() override;

private:
    std::wstring name_;
    UniqueKernelHandle mutex_;
};

inline constexpr wchar_t kInstanceMutexName[] = L"Local\\Norvale.MainWindow";

}  // namespace norvale::win32
