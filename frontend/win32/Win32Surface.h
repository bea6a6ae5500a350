// The table surface on Windows: a child window that shows the table raster's image at the
// monitor's resolution, with the glyphs of the GDI font, and tells the core of clicks and keys.
// The layout stays in logical pixels (96 dpi).
#pragma once

#include <bitset>
#include <cstdint>
#include <memory>

#include "frontend/win32/GdiHandles.h"
#include "frontend/win32/Win32GlyphSource.h"
#include "platform/WindowEvents.h"
#include "raster/TableRaster.h"

namespace norvale {

// The image as tests read it: top-down lines of pixels, read as 0x00RRGGBB.
struct DeviceImage {
    const std::uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    std::uint32_t At(int x, int y) const {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] &
               0x00FFFFFFu;
    }
};

class Win32Surface : public TableRaster {
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
    // The image keeps what it shows.
    void SetSizeTwips(double width, double height);
    double WidthTwips() const { return widthTwips_; }
    double HeightTwips() const { return heightTwips_; }
    // Logical pixels from the top of the surface of the last click.
    int LastClickY() const { return lastClickY_; }
    // Moves to a monitor of another dpi: the image is made anew at the new resolution, and the
    // core redraws it (Resized) when events are set.
    void SetDpi(int dpi);
    int Dpi() const { return dpi_; }
    DeviceImage Image() const { return {Pixels(), DeviceWidth(), DeviceHeight()}; }
    const Win32GlyphSource& Glyphs() const { return *glyphs_; }

protected:
    void ImageChanged() override;

private:
    Win32Surface(int dpi, std::unique_ptr<Win32GlyphSource> glyphs);
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void Paint();
    // The image, and white beyond it, into the area r of dc (WM_PAINT, WM_PRINTCLIENT).
    void PaintTo(HDC dc, const RECT& r);
    void MouseDown();
    void MouseUp(LPARAM lParam);
    void KeyUp(WPARAM virtualKey);

    int LogicalWidth() const;
    int LogicalHeight() const;
    // Sizes the image and the window for the size set, at the current dpi.
    void SizeImage();

    std::unique_ptr<Win32GlyphSource> glyphs_;
    WindowEvents* events_ = nullptr;
    int dpi_;
    gdi::UniqueWindow window_;
    bool repaintPending_ = false;
    bool pressed_ = false;
    double widthTwips_ = 0;
    double heightTwips_ = 0;
    int lastClickY_ = 0;
    std::bitset<256> keysDown_;  // pressed while the table had the focus
};

}  // namespace norvale
