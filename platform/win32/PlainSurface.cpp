#include "platform/win32/PlainSurface.h"

#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/Window.h"
#include "platform/win32/Win32Text.h"

namespace norvale::win32 {

namespace {

constexpr wchar_t kSurfaceClass[] = L"NorvaleTableSurface";
constexpr std::uint32_t kWhite = 0x00FFFFFF;

std::uint32_t Pixel(Rgb c) { return static_cast<std::uint32_t>(c.r) << 16 | c.g << 8 | c.b; }

}  // namespace

bool PlainSurface::Register(HINSTANCE instance) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = &PlainSurface::Procedure;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kSurfaceClass;
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

std::unique_ptr<PlainSurface> PlainSurface::Create(HWND parent, HINSTANCE instance, int x, int y, int dpi) {
    std::unique_ptr<PlainSurface> surface(new PlainSurface());
    surface->dpi_ = dpi;
    surface->window_ = CreateWindowExW(0, kSurfaceClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, x, y, 1, 1,
                                       parent, nullptr, instance, surface.get());
    if (surface->window_ == nullptr) return nullptr;
    surface->font_.reset(CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY,
                                     FIXED_PITCH | FF_MODERN, L"ＭＳ ゴシック"));
    surface->EnsureImage();
    return surface;
}

PlainSurface::~PlainSurface() {
    if (window_ != nullptr && IsWindow(window_)) SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
}

int PlainSurface::Physical(double twips) const {
    return std::max(0, static_cast<int>(std::lround(twips * dpi_ / 1440.0)));
}

void PlainSurface::SetDpi(int dpi) {
    dpi_ = dpi;
    SetSizeTwips(widthTwips_, heightTwips_);
}

void PlainSurface::SetSizeTwips(double width, double height) {
    widthTwips_ = width;
    heightTwips_ = height;
    SetWindowPos(window_, nullptr, 0, 0, Physical(width), Physical(height),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EnsureImage();
}

void PlainSurface::EnsureImage() {
    const int w = std::max(1, static_cast<int>(std::lround(widthTwips_ / kTwipsPerPixel)));
    const int h = std::max(1, static_cast<int>(std::lround(heightTwips_ / kTwipsPerPixel)));
    if (bitmap_ && w == imageWidth_ && h == imageHeight_) return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueBitmap grown(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!grown) return;
    auto* pixels = static_cast<std::uint32_t*>(bits);
    std::fill(pixels, pixels + static_cast<std::size_t>(w) * h, kWhite);
    for (int y = 0; y < std::min(h, imageHeight_); ++y) {
        std::copy_n(bits_ + static_cast<std::size_t>(y) * imageWidth_, std::min(w, imageWidth_),
                    pixels + static_cast<std::size_t>(y) * w);
    }
    if (!dc_) dc_.reset(CreateCompatibleDC(nullptr));
    SelectObject(dc_.get(), grown.get());  // the old image is deleted next, never while selected
    bitmap_ = std::move(grown);
    bits_ = pixels;
    imageWidth_ = w;
    imageHeight_ = h;
}

void PlainSurface::Changed() { InvalidateRect(window_, nullptr, FALSE); }

Rgb PlainSurface::PixelAt(int x, int y) const {
    if (bits_ == nullptr || x < 0 || y < 0 || x >= imageWidth_ || y >= imageHeight_) return {255, 255, 255};
    GdiFlush();
    const std::uint32_t p = bits_[static_cast<std::size_t>(y) * imageWidth_ + x];
    return {static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 8), static_cast<std::uint8_t>(p)};
}

int PlainSurface::Width() const { return imageWidth_; }

double PlainSurface::Height() const { return heightTwips_ / kTwipsPerPixel; }

void PlainSurface::SetPersistent(bool) {}

void PlainSurface::FillRect(int x1, int y1, int x2, int y2, Rgb colour) {
    if (bits_ == nullptr) return;
    GdiFlush();
    const int left = std::max(std::min(x1, x2), 0), right = std::min(std::max(x1, x2), imageWidth_ - 1);
    const int top = std::max(std::min(y1, y2), 0), bottom = std::min(std::max(y1, y2), imageHeight_ - 1);
    for (int y = top; y <= bottom; ++y) {
        std::uint32_t* line = bits_ + static_cast<std::size_t>(y) * imageWidth_;
        std::fill(line + left, line + right + 1, Pixel(colour));
    }
    Changed();
}

void PlainSurface::OutlineRect(int x1, int y1, int x2, int y2, Rgb colour) {
    const int l = std::min(x1, x2), r = std::max(x1, x2), t = std::min(y1, y2), b = std::max(y1, y2);
    FillRect(l, t, r, t, colour);
    FillRect(l, b, r, b, colour);
    FillRect(l, t, l, b, colour);
    FillRect(r, t, r, b, colour);
}

void PlainSurface::Line(int x1, int y1, int x2, int y2, Rgb colour) {
    if (bits_ == nullptr) return;
    GdiFlush();
    const int dx = std::abs(x2 - x1), sx = x1 < x2 ? 1 : -1;
    const int dy = -std::abs(y2 - y1), sy = y1 < y2 ? 1 : -1;
    int err = dx + dy, x = x1, y = y1;
    while (x != x2 || y != y2) {  // the end point is not painted
        if (x >= 0 && y >= 0 && x < imageWidth_ && y < imageHeight_) {
            bits_[static_cast<std::size_t>(y) * imageWidth_ + x] = Pixel(colour);
        }
        const int e2 = 2 * err;
        if (e2 >= dy) err += dy, x += sx;
        if (e2 <= dx) err += dx, y += sy;
    }
    Changed();
}

void PlainSurface::Text(int x, int y, std::string_view utf8, Rgb colour) {
    if (!dc_ || !bitmap_) return;
    const SelectedObject font(dc_.get(), font_.get());
    SetBkMode(dc_.get(), TRANSPARENT);
    SetTextColor(dc_.get(), RGB(colour.r, colour.g, colour.b));
    // Every character on the fixed 6/12 px grid, whatever the font's own advances.
    int cellX = x;
    for (const wchar_t c : Wide(utf8)) {
        TextOutW(dc_.get(), cellX, y, &c, 1);
        cellX += (c < 0x80 || (c >= 0xFF61 && c <= 0xFF9F)) ? 6 : 12;
    }
    Changed();
}

void PlainSurface::Clear() {
    if (bits_ == nullptr) return;
    GdiFlush();
    std::fill(bits_, bits_ + static_cast<std::size_t>(imageWidth_) * imageHeight_, kWhite);
    Changed();
}

LRESULT CALLBACK PlainSurface::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<PlainSurface*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    return self->Handle(message, wParam, lParam);
}

LRESULT PlainSurface::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: OnPaint(); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_LBUTTONDOWN: OnButtonDown(); return 0;
    case WM_LBUTTONUP: OnButtonUp(lParam); return 0;
    case WM_KEYUP:
        // Only the real release arrives here: a held key repeats WM_KEYDOWN alone.
        if (events_ != nullptr) events_->KeyReleasedOnTable(static_cast<std::int16_t>(wParam));
        return 0;
    default: return DefWindowProcW(window_, message, wParam, lParam);
    }
}

void PlainSurface::OnPaint() {
    const PaintScope paint(window_);
    RECT client;
    GetClientRect(window_, &client);
    ::FillRect(paint.dc(), &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    if (!dc_) return;
    GdiFlush();
    SetStretchBltMode(paint.dc(), COLORONCOLOR);
    StretchBlt(paint.dc(), 0, 0, MulDiv(imageWidth_, dpi_, 96), MulDiv(imageHeight_, dpi_, 96), dc_.get(), 0, 0,
               imageWidth_, imageHeight_, SRCCOPY);
}

void PlainSurface::OnButtonDown() {
    pressed_ = true;
    SetFocus(window_);  // typed codes go to the table once it has been clicked
    SetCapture(window_);
}

void PlainSurface::OnButtonUp(LPARAM lParam) {
    if (!pressed_) return;
    pressed_ = false;
    ReleaseCapture();
    RECT client;
    GetClientRect(window_, &client);
    const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    // Like a button, a press dragged off the surface and released elsewhere is no click.
    if (!PtInRect(&client, at)) return;
    lastClickY_ = MulDiv(at.y, 96, dpi_);
    if (events_ != nullptr) events_->TableClicked();
}

}  // namespace norvale::win32
