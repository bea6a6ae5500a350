// The table surface on Windows: a child window that keeps the table in a DIB section at the
// monitor's resolution and paints it on WM_PAINT. The layout stays in logical pixels (96 dpi).
#pragma once

#include <bitset>
#include <cstdint>
#include <optional>

#include "platform/Surface.h"
#include "platform/WindowEvents.h"
#include "platform/win32/GdiHandles.h"
#include "platform/win32/Win32TableGlyphs.h"

namespace norvale {

// The backing image as tests read it: top-down rows of 0x00RRGGBB words.
struct DeviceImage {
    const std::uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    std::uint32_t At(int x, int y) const {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
    }
};

class Win32Surface : public Surface {
public:
    explicit Win32Surface(int dpi = 96);
    ~Win32Surface() override;
    Win32Surface(const Win32Surface&) = delete;
    Win32Surface& operator=(const Win32Surface&) = delete;

    // The window class, once per process; false if Windows refuses it.
    static bool Register(HINSTANCE instance);
    // The child window on parent, sized as set so far; nullptr on failure. Works without a window
    // too (drawing, tests, benchmarks), and the window dies with its parent.
    HWND Create(HWND parent, HINSTANCE instance);
    HWND Handle() const { return window_.get(); }

    void SetEvents(WindowEvents* events) { events_ = events; }
    // Size in twips as the core lays it out: the nearest whole logical pixels, at the current dpi.
    // The image keeps what it shows; should Windows refuse a bitmap of the new size, drawing goes
    // on into the old one.
    void SetSizeTwips(double width, double height);
    double WidthTwips() const { return widthTwips_; }
    double HeightTwips() const { return heightTwips_; }
    // Logical pixels from the top of the surface of the last click.
    int LastClickY() const { return lastClickY_; }
    // Moves to a monitor of another dpi: the image is made anew at the new resolution, and the
    // core redraws it (Resized) when events are set.
    void SetDpi(int dpi);
    int Dpi() const { return dpi_; }
    DeviceImage Image() const { return {pixels_, imageWidth_, imageHeight_}; }
    const Win32TableGlyphs& Glyphs() const { return *glyphs_; }

    int Width() const override;
    double Height() const override;
    void SetPersistent(bool on) override;
    void FillRect(int x1, int y1, int x2, int y2, Rgb colour) override;
    void OutlineRect(int x1, int y1, int x2, int y2, Rgb colour) override;
    void Line(int x1, int y1, int x2, int y2, Rgb colour) override;
    void Text(int x, int y, std::string_view utf8, Rgb colour) override;
    void Clear() override;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void Paint();
    // The image, and white beyond it, into the area r of dc (WM_PAINT, WM_PRINTCLIENT).
    void PaintTo(HDC dc, const RECT& r);
    void MouseDown();
    void MouseUp(LPARAM lParam);
    void KeyUp(WPARAM virtualKey);

    // The first device pixel of logical coordinate v: logical pixel v covers [Device(v), Device(v + 1)).
    int Device(int v) const;
    int LogicalWidth() const;
    int LogicalHeight() const;
    void EnsureImage(bool keep);
    void FillDevice(int left, int top, int right, int bottom, std::uint32_t pixel);
    void Changed();

    WindowEvents* events_ = nullptr;
    int dpi_;
    std::optional<Win32TableGlyphs> glyphs_;
    gdi::UniqueWindow window_;
    gdi::UniqueDc imageDc_;
    gdi::UniqueBitmap bitmap_;
    gdi::Selection imageSelected_;
    std::uint32_t* pixels_ = nullptr;
    int imageWidth_ = 0;
    int imageHeight_ = 0;
    bool repaintPending_ = false;
    bool pressed_ = false;
    double widthTwips_ = 0;
    double heightTwips_ = 0;
    int lastClickY_ = 0;
    std::bitset<256> keysDown_;  // pressed while the table had the focus
};

}  // namespace norvale
