// The single-instance guard on Windows: a named mutex.
#pragma once

#include <string>
#include <utility>

#include "platform/InstanceGuard.h"
#include "platform/win32/Win32Handles.h"

namespace norvale::win32 {

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
