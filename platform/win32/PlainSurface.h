// A plain table surface for the Windows window until the DIB surface with its own glyph cache
// takes its place: a child window that paints a 96-dpi backing image, scaled to the monitor.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/Surface.h"
#include "platform/WindowEvents.h"
#include "platform/win32/Win32Handles.h"

namespace norvale::win32 {

class PlainSurface final : public Surface {
public:
    static bool Register(HINSTANCE instance);
    // A child of parent at (x, y) physical pixels; null when the window cannot be made.
    static std::unique_ptr<PlainSurface> Create(HWND parent, HINSTANCE instance, int x, int y, int dpi);
    PlainSurface(const PlainSurface&) = delete;
    PlainSurface& operator=(const PlainSurface&) = delete;
    ~PlainSurface() override;

    HWND Handle() const { return window_; }
    void SetEvents(WindowEvents* events) { events_ = events; }
    void SetDpi(int dpi);
    void SetSizeTwips(double width, double height);
    double WidthTwips() const { return widthTwips_; }
    double HeightTwips() const { return heightTwips_; }
    int LastClickY() const { return lastClickY_; }
    // The backing image's pixel at logical (x, y), for tests; white outside.
    Rgb PixelAt(int x, int y) const;

    int Width() const override;
    double Height() const override;
    void SetPersistent(bool on) override;
    void FillRect(int x1, int y1, int x2, int y2, Rgb colour) override;
    void OutlineRect(int x1, int y1, int x2, int y2, Rgb colour) override;
    void Line(int x1, int y1, int x2, int y2, Rgb colour) override;
    void Text(int x, int y, std::string_view utf8, Rgb colour) override;
    void Clear() override;

private:
    PlainSurface() = default;
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void OnPaint();
    void OnButtonDown();
    void OnButtonUp(LPARAM lParam);
    void EnsureImage();
    void Changed();
    int Physical(double twips) const;

    HWND window_ = nullptr;  // destroyed with its parent
    WindowEvents* events_ = nullptr;
    int dpi_ = 96;
    double widthTwips_ = 0;
    double heightTwips_ = 0;
    int lastClickY_ = 0;
    bool pressed_ = false;
    UniqueMemoryDc dc_;
    UniqueBitmap bitmap_;
    UniqueFont font_;
    std::uint32_t* bits_ = nullptr;
    int imageWidth_ = 0;
    int imageHeight_ = 0;
};

}  // namespace norvale::win32
