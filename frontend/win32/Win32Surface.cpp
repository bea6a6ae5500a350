#include "frontend/win32/Win32Surface.h"

#include <imm.h>
#include <windowsx.h>

#include <algorithm>
#include <utility>

#include "platform/Window.h"

namespace norvale {

namespace {

constexpr wchar_t kClassName[] = L"NorvaleTableSurface";

}  // namespace

Win32Surface::Win32Surface(int dpi) : Win32Surface(std::max(dpi, 1), std::make_unique<Win32GlyphSource>()) {}

// The raster keeps a reference to the glyph source, whose object the unique_ptr moves unchanged.
Win32Surface::Win32Surface(int dpi, std::unique_ptr<Win32GlyphSource> glyphs)
    : TableRaster(*glyphs), glyphs_(std::move(glyphs)), dpi_(dpi) {
    Rescale(DeviceScale::Dpi(dpi_), 1, 1);
}

Win32Surface::~Win32Surface() {
    // The window goes first: its last messages must not find the image half gone.
    if (window_) SetWindowLongPtrW(window_.get(), GWLP_USERDATA, 0);
    window_.reset();
}

bool Win32Surface::Register(HINSTANCE instance) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExW(instance, kClassName, &wc)) return true;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = kClassName;
    return RegisterClassExW(&wc) != 0;
}

HWND Win32Surface::Create(HWND parent, HINSTANCE instance) {
    if (window_) return window_.get();
    HWND window = CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0,
                                  Device(LogicalWidth()), Device(LogicalHeight()), parent, nullptr, instance, this);
    // The table is no text field. Without an input context no input method sees its keys: on a
    // Japanese Windows, whose input method stays on, kana mode would take them (VK_PROCESSKEY).
    if (window != nullptr) ImmAssociateContext(window, nullptr);
    return window;
}

LRESULT CALLBACK Win32Surface::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        auto* created = static_cast<Win32Surface*>(cs->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
        created->window_.reset(window);  // messages before CreateWindowExW returns need it
    }
    auto* self = reinterpret_cast<Win32Surface*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // Destroyed with its parent: nothing left to destroy later.
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        (void)self->window_.release();
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->OnMessage(message, wParam, lParam);
}

LRESULT Win32Surface::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_PRINTCLIENT: {
        RECT client{};
        GetClientRect(window_.get(), &client);
        PaintTo(reinterpret_cast<HDC>(wParam), client);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;  // every pixel is painted from the image
    case WM_LBUTTONDOWN:
        MouseDown();
        return 0;
    case WM_LBUTTONUP:
        MouseUp(lParam);
        return 0;
    case WM_CAPTURECHANGED:
        pressed_ = false;
        return 0;
    case WM_KEYDOWN:
        if (wParam < keysDown_.size()) keysDown_.set(wParam);
        return 0;
    case WM_KILLFOCUS:
        keysDown_.reset();
        return 0;
    case WM_KEYUP:
        KeyUp(wParam);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS;  // Enter and Esc are the table's, also in a dialog-style loop
    default:
        return DefWindowProcW(window_.get(), message, wParam, lParam);
    }
}

void Win32Surface::Paint() {
    repaintPending_ = false;
    const gdi::PaintScope paint(window_.get());
    PaintTo(paint.Dc(), paint.Area());
}

void Win32Surface::PaintTo(HDC dc, const RECT& r) {
    const int w = DeviceWidth(), h = DeviceHeight();
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;  // top-down lines
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(w), static_cast<DWORD>(h), 0, 0, 0, static_cast<UINT>(h), Pixels(), &bi,
                      DIB_RGB_COLORS);
    // Beyond the image, while the window is larger than the last size set.
    const auto white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    if (r.right > w) {
        const RECT right{std::max<LONG>(r.left, w), r.top, r.right, r.bottom};
        ::FillRect(dc, &right, white);
    }
    if (r.bottom > h) {
        const RECT below{r.left, std::max<LONG>(r.top, h), r.right, r.bottom};
        ::FillRect(dc, &below, white);
    }
}

void Win32Surface::MouseDown() {
    pressed_ = true;
    SetFocus(window_.get());  // typed codes go to the table once it has been clicked
    SetCapture(window_.get());
}

void Win32Surface::MouseUp(LPARAM lParam) {
    if (!pressed_) return;
    pressed_ = false;
    ReleaseCapture();
    // Like a button, a press dragged off the surface and released elsewhere is no click.
    RECT client{};
    GetClientRect(window_.get(), &client);
    const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (!PtInRect(&client, at)) return;
    lastClickY_ = Scale().Layout(at.y);
    if (events_ != nullptr) events_->TableClicked();
}

void Win32Surface::KeyUp(WPARAM virtualKey) {
    // WM_KEYUP comes once, at the real release, however long the key was held. A release whose
    // press went elsewhere is not the table's: the Enter that chose a menu item or closed a box.
    if (virtualKey >= keysDown_.size() || !keysDown_.test(virtualKey)) return;
    keysDown_.reset(virtualKey);
    if (events_ != nullptr) events_->KeyReleasedOnTable(static_cast<std::int16_t>(virtualKey));
}

int Win32Surface::LogicalWidth() const { return TwipsToPixels(widthTwips_); }

int Win32Surface::LogicalHeight() const { return TwipsToPixels(heightTwips_); }

void Win32Surface::SizeImage() {
    Resize(LogicalWidth(), heightTwips_ / kTwipsPerPixel, Device(LogicalWidth()), Device(LogicalHeight()));
    if (window_) {
        SetWindowPos(window_.get(), nullptr, 0, 0, Device(LogicalWidth()), Device(LogicalHeight()),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void Win32Surface::SetSizeTwips(double width, double height) {
    widthTwips_ = width;
    heightTwips_ = height;
    SizeImage();
}

void Win32Surface::SetDpi(int dpi) {
    dpi = std::max(dpi, 1);
    if (dpi == dpi_) return;
    dpi_ = dpi;
    Rescale(DeviceScale::Dpi(dpi_), 1, 1);
    SizeImage();
    ImageChanged();
    if (events_ != nullptr) events_->Resized();
}

void Win32Surface::ImageChanged() {
    // One repaint covers any number of drawing calls before it.
    if (repaintPending_ || !window_) return;
    repaintPending_ = true;
    InvalidateRect(window_.get(), nullptr, FALSE);
}

}  // namespace norvale
