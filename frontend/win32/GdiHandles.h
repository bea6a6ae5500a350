// Owning wrappers of the GDI and USER handles the Windows front end makes, so no path leaks one.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

namespace norvale::gdi {

struct DcDeleter {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
struct ObjectDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct WindowDeleter {
    void operator()(HWND window) const { DestroyWindow(window); }
};

// A memory device context made by CreateCompatibleDC.
using UniqueDc = std::unique_ptr<std::remove_pointer_t<HDC>, DcDeleter>;
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, ObjectDeleter>;
using UniqueBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, ObjectDeleter>;
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDeleter>;

// Selects an object into a device context for its lifetime; a DC must not be deleted, nor the
// object, while the object is selected.
class Selection {
public:
    Selection() = default;
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;
    Selection(Selection&& other) noexcept : dc_(other.dc_), old_(other.old_) { other.dc_ = nullptr; }
    Selection& operator=(Selection&& other) noexcept {
        if (this != &other) {
            Restore();
            dc_ = other.dc_;
            old_ = other.old_;
            other.dc_ = nullptr;
        }
        return *this;
    }
    ~Selection() { Restore(); }

private:
    void Restore() {
        if (dc_ != nullptr && old_ != nullptr) SelectObject(dc_, old_);
        dc_ = nullptr;
    }
    HDC dc_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

// BeginPaint and its EndPaint.
class PaintScope {
public:
    explicit PaintScope(HWND window) : window_(window) { dc_ = BeginPaint(window, &ps_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    ~PaintScope() { EndPaint(window_, &ps_); }
    HDC Dc() const { return dc_; }
    const RECT& Area() const { return ps_.rcPaint; }

private:
    HWND window_;
    PAINTSTRUCT ps_{};
    HDC dc_ = nullptr;
};

}  // namespace norvale::gdi
