// Owners of the kernel handles the Windows services open (the front end's GDI and USER ones are in
// frontend/win32/GdiHandles.h), so that no path leaks one.
#pragma once

#include <windows.h>

#include <memory>

namespace norvale::win32 {

struct KernelHandleDeleter {
    void operator()(HANDLE h) const { CloseHandle(h); }
};
// For handles whose failure value is null (mutexes); files use INVALID_HANDLE_VALUE, see UniqueFile.
using UniqueKernelHandle = std::unique_ptr<void, KernelHandleDeleter>;

// A file handle: CreateFileW fails with INVALID_HANDLE_VALUE, not null.
class UniqueFile {
public:
    explicit UniqueFile(HANDLE h) : h_(h) {}
    UniqueFile(const UniqueFile&) = delete;
    UniqueFile& operator=(const UniqueFile&) = delete;
    ~UniqueFile() { Close(); }
    HANDLE get() const { return h_; }
    explicit operator bool() const { return h_ != INVALID_HANDLE_VALUE; }
    // Closes now; false when the close itself failed (a write-back error shows there).
    bool Close() {
        if (h_ == INVALID_HANDLE_VALUE) return true;
        const bool ok = CloseHandle(h_) != FALSE;
        h_ = INVALID_HANDLE_VALUE;
        return ok;
    }

private:
    HANDLE h_;
};

}  // namespace norvale::win32
