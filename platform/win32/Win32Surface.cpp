#include "platform/win32/Win32Surface.h"

#include <imm.h>
#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "platform/PixelLine.h"
#include "platform/TextCells.h"
#include "platform/win32/DevicePixels.h"

namespace norvale {

namespace {

constexpr wchar_t kClassName[] = L"NorvaleTableSurface";
constexpr int kLogicalDpi = 96;
constexpr double kTwipsPerPixel = 15;
constexpr std::uint32_t kWhitePixel = 0x00FFFFFFu;
constexpr int kCellWidth = 6;

std::uint32_t ToPixel(Rgb c) {
    return (std::uint32_t{c.r} << 16) | (std::uint32_t{c.g} << 8) | std::uint32_t{c.b};
}

int FloorDiv(long long a, long long b) { return static_cast<int>(a >= 0 ? a / b : -((-a + b - 1) / b)); }

}  // namespace

Win32Surface::Win32Surface(int dpi) : dpi_(std::max(dpi, 1)), imageDc_(CreateCompatibleDC(nullptr)) {
    glyphs_.emplace(dpi_);
    EnsureImage(false);
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
    BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, imageDc_.get(), r.left, r.top, SRCCOPY);
    // Beyond the image, while the window is larger than the last size set.
    const auto white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    if (r.right > imageWidth_) {
        const RECT right{std::max<LONG>(r.left, imageWidth_), r.top, r.right, r.bottom};
        ::FillRect(dc, &right, white);
    }
    if (r.bottom > imageHeight_) {
        const RECT below{r.left, std::max<LONG>(r.top, imageHeight_), r.right, r.bottom};
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
    // The logical pixel whose device pixels hold the click.
    int y = FloorDiv(static_cast<long long>(at.y) * kLogicalDpi, dpi_);
    while (Device(y + 1) <= at.y) ++y;
    while (Device(y) > at.y) --y;
    lastClickY_ = y;
    if (events_ != nullptr) events_->TableClicked();
}

void Win32Surface::KeyUp(WPARAM virtualKey) {
    // WM_KEYUP comes once, at the real release, however long the key was held. A release whose
    // press went elsewhere is not the table's: the Enter that chose a menu item or closed a box.
    if (virtualKey >= keysDown_.size() || !keysDown_.test(virtualKey)) return;
    keysDown_.reset(virtualKey);
    if (events_ != nullptr) events_->KeyReleasedOnTable(static_cast<std::int16_t>(virtualKey));
}

int Win32Surface::Device(int v) const { return FloorDiv(static_cast<long long>(v) * dpi_ + kLogicalDpi / 2, kLogicalDpi); }

int Win32Surface::LogicalWidth() const {
    return std::max(0, static_cast<int>(std::lround(widthTwips_ / kTwipsPerPixel)));
}

int Win32Surface::LogicalHeight() const {
    return std::max(0, static_cast<int>(std::lround(heightTwips_ / kTwipsPerPixel)));
}

void Win32Surface::SetSizeTwips(double width, double height) {
    widthTwips_ = width;
    heightTwips_ = height;
    EnsureImage(true);
    if (window_) {
        SetWindowPos(window_.get(), nullptr, 0, 0, Device(LogicalWidth()), Device(LogicalHeight()),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void Win32Surface::SetDpi(int dpi) {
    dpi = std::max(dpi, 1);
    if (dpi == dpi_) return;
    dpi_ = dpi;
    glyphs_.emplace(dpi_);
    EnsureImage(false);
    if (window_) {
        SetWindowPos(window_.get(), nullptr, 0, 0, Device(LogicalWidth()), Device(LogicalHeight()),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    Changed();
    if (events_ != nullptr) events_->Resized();
}

void Win32Surface::EnsureImage(bool keep) {
    const int w = std::max(1, Device(LogicalWidth()));
    const int h = std::max(1, Device(LogicalHeight()));
    if (keep && pixels_ != nullptr && w == imageWidth_ && h == imageHeight_) return;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;  // top-down rows
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    gdi::UniqueBitmap grown(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!grown || bits == nullptr) return;  // out of memory: keep drawing into the old image
    auto* fresh = static_cast<std::uint32_t*>(bits);
    std::fill_n(fresh, static_cast<std::size_t>(w) * static_cast<std::size_t>(h), kWhitePixel);
    if (keep && pixels_ != nullptr) {
        const int cw = std::min(w, imageWidth_), ch = std::min(h, imageHeight_);
        for (int y = 0; y < ch; ++y) {
            std::memcpy(fresh + static_cast<std::size_t>(y) * static_cast<std::size_t>(w),
                        pixels_ + static_cast<std::size_t>(y) * static_cast<std::size_t>(imageWidth_),
                        static_cast<std::size_t>(cw) * sizeof(std::uint32_t));
        }
    }
    imageSelected_ = gdi::Selection();  // the old bitmap out of the DC before it is deleted
    imageSelected_ = gdi::Selection(imageDc_.get(), grown.get());
    bitmap_ = std::move(grown);
    pixels_ = fresh;
    imageWidth_ = w;
    imageHeight_ = h;
}

void Win32Surface::Changed() {
    // One repaint covers any number of drawing calls before it.
    if (repaintPending_ || !window_) return;
    repaintPending_ = true;
    InvalidateRect(window_.get(), nullptr, FALSE);
}

int Win32Surface::Width() const { return LogicalWidth(); }

double Win32Surface::Height() const { return heightTwips_ / kTwipsPerPixel; }

// The image is always kept: the backing image is what every WM_PAINT shows.
void Win32Surface::SetPersistent(bool) {}

void Win32Surface::FillDevice(int left, int top, int right, int bottom, std::uint32_t pixel) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, imageWidth_);
    bottom = std::min(bottom, imageHeight_);
    if (left >= right || top >= bottom) return;
    const auto n = static_cast<std::size_t>(right - left);
    std::uint32_t* line = pixels_ + static_cast<std::size_t>(top) * static_cast<std::size_t>(imageWidth_) + left;
    for (int y = top; y < bottom; ++y, line += imageWidth_) FillRow(line, n, pixel);
}

void Win32Surface::FillRect(int x1, int y1, int x2, int y2, Rgb colour) {
    const int l = std::min(x1, x2), r = std::max(x1, x2), t = std::min(y1, y2), b = std::max(y1, y2);
    FillDevice(Device(l), Device(t), Device(r + 1), Device(b + 1), ToPixel(colour));
    Changed();
}

void Win32Surface::OutlineRect(int x1, int y1, int x2, int y2, Rgb colour) {
    const int l = std::min(x1, x2), r = std::max(x1, x2), t = std::min(y1, y2), b = std::max(y1, y2);
    const std::uint32_t pixel = ToPixel(colour);
    FillDevice(Device(l), Device(t), Device(r + 1), Device(t + 1), pixel);
    FillDevice(Device(l), Device(b), Device(r + 1), Device(b + 1), pixel);
    FillDevice(Device(l), Device(t), Device(l + 1), Device(b + 1), pixel);
    FillDevice(Device(r), Device(t), Device(r + 1), Device(b + 1), pixel);
    Changed();
}

void Win32Surface::Line(int x1, int y1, int x2, int y2, Rgb colour) {
    const std::uint32_t pixel = ToPixel(colour);
    if (x1 == x2 || y1 == y2) {
        // Straight across or down, the end point left out: one block of device pixels.
        if (x1 == x2 && y1 == y2) return;
        const int l = x1 == x2 ? x1 : (x1 < x2 ? x1 : x2 + 1);
        const int r = x1 == x2 ? x1 : (x1 < x2 ? x2 - 1 : x1);
        const int t = y1 == y2 ? y1 : (y1 < y2 ? y1 : y2 + 1);
        const int b = y1 == y2 ? y1 : (y1 < y2 ? y2 - 1 : y1);
        FillDevice(Device(l), Device(t), Device(r + 1), Device(b + 1), pixel);
        Changed();
        return;
    }
    ForEachLinePixel(x1, y1, x2, y2, [&](int x, int y) {
        FillDevice(Device(x), Device(y), Device(x + 1), Device(y + 1), pixel);
    });
    Changed();
}

void Win32Surface::Text(int x, int y, std::string_view utf8, Rgb colour) {
    // Every character sits on the fixed 6 px logical grid whatever the font's own advances, so
    // the padded numbers line up in their columns at every scale. Blending a colour over a pixel
    // of that colour keeps it exactly: the white shadow on a white band changes nothing.
    const std::uint32_t pixel = ToPixel(colour);
    const int w = imageWidth_, h = imageHeight_;
    const int gy = Device(y);
    int cellX = x;
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const char32_t cp = DecodeUtf8At(utf8, pos);
        const DeviceGlyph& g = glyphs_->Mask(cp);
        const int gx = Device(cellX);
        cellX += kCellWidth * CellsOfCodePoint(cp);
        if (g.Empty()) continue;
        const int left = gx + g.left, top = gy + g.top;
        if (left >= 0 && left + g.width <= w && top >= 0 && top + g.height <= h) {
            BlendBox(pixels_ + static_cast<std::ptrdiff_t>(gy) * w + gx, w, g, pixel);
            continue;
        }
        // At an edge of the image: pixel by pixel, only those inside.
        for (int row = 0; row < g.height; ++row) {
            const int py = top + row;
            if (py < 0 || py >= h) continue;
            for (int col = 0; col < g.width; ++col) {
                const int px = left + col;
                const std::uint8_t a = g.alpha[static_cast<std::size_t>(row * g.width + col)];
                if (px < 0 || px >= w || a == 0) continue;
                std::uint32_t& d = pixels_[static_cast<std::ptrdiff_t>(py) * w + px];
                if (d != pixel) d = Blend(d, pixel, a);
            }
        }
    }
    Changed();
}

void Win32Surface::Clear() {
    FillDevice(0, 0, imageWidth_, imageHeight_, kWhitePixel);
    Changed();
}

}  // namespace norvale
