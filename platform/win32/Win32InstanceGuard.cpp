#include "platform/win32/Win32InstanceGuard.h"

namespace norvale::win32 {

bool Win32InstanceGuard::AnotherInstanceRunning() {
    if (mutex_) return false;
    mutex_.reset(CreateMutexW(nullptr, FALSE, name_.c_str()));
    const bool existed = mutex_ && GetLastError() == ERROR_ALREADY_EXISTS;
    if (existed) mutex_.reset();
    return existed;
}

}  // namespace norvale::win32
