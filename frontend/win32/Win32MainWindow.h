// The main window on Windows: a frame window that owns the menus, the labels, the code box, the
// two drop-down lists, the status bar and the table surface, laid out from twips at the DPI of
// the monitor it is on.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "app/WindowLayout.h"
#include "frontend/win32/GdiHandles.h"
#include "frontend/win32/Win32Surface.h"
#include "platform/StatusBar.h"
#include "platform/Window.h"
#include "platform/WindowEvents.h"

namespace norvale::win32 {

class Win32MainWindow final : public Window, public StatusBar {
public:
    // Registers the window classes (the frame's and the table surface's); false on failure.
    static bool Register(HINSTANCE instance);
    // The window, hidden, at its designed size; null when it cannot be made.
    static std::unique_ptr<Win32MainWindow> Create(HINSTANCE instance);
    Win32MainWindow(const Win32MainWindow&) = delete;
    Win32MainWindow& operator=(const Win32MainWindow&) = delete;
    ~Win32MainWindow() override;

    HWND Handle() const { return window_; }
    Win32Surface& Table() { return *surface_; }
    void SetEvents(WindowEvents* events);
    // Shows the window in the normal state; the resize that comes with it reaches the events.
    void Show();
    bool IsOpen() const { return window_ != nullptr; }
    int Dpi() const { return dpi_; }

    // What the window shows, for tests.
    std::string PanelText(StatusPanel panel) const;
    bool MenuEnabled(MenuItem item) const;
    std::string CodeBoxText() const;

    void SetCaption(const std::string& caption) override;
    void SetMenuEnabled(MenuItem item, bool enabled) override;
    void SetListItems(DropDown list, const std::vector<std::string>& items) override;
    void SelectListItem(DropDown list, int index) override;
    int SelectedIndex(DropDown list) const override;
    std::string SelectedText(DropDown list) const override;
    void SetCodeBoxText(const std::string& text) override;
    WindowState State() const override;
    TwipRect Frame() const override;
    void MoveTo(double left, double top) override;
    double ScreenWidth() const override;
    double ScreenHeight() const override;
    double ClientWidth() const override;
    double ClientHeight() const override;
    void SetTableSurfaceSize(double width, double height) override;
    double TableSurfaceWidth() const override;
    double TableSurfaceHeight() const override;
    int PointerYOnTable() const override;
    void Close() override;

    void SetPanel(StatusPanel panel, const std::string& text) override;

private:
    explicit Win32MainWindow(HINSTANCE instance) : instance_(instance) {}
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

    bool CreateControls();
    void LayOut();
    void SizeToDesign();
    void OnSize();
    void OnCommand(WPARAM wParam);
    void OnListChosen(DropDown list, int notification);
    void OnClose();
    LRESULT OnQueryEndSession();
    void OnEndSession(bool ending);
    void OnDestroy();
    void OnDpiChanged(int dpi, const RECT& suggested);
    void OnActivate(WPARAM wParam);
    void OnSetFocus();

    HWND ListOf(DropDown list) const;
    RECT VisibleFrame() const;

    HINSTANCE instance_;
    HWND window_ = nullptr;  // destroyed by the close, or by the destructor when still open
    std::array<HWND, 3> labels_{};
    HWND codeBox_ = nullptr;
    HWND sortKeyList_ = nullptr;
    HWND intervalList_ = nullptr;
    HWND statusBar_ = nullptr;
    HWND lastFocus_ = nullptr;
    std::unique_ptr<Win32Surface> surface_;
    gdi::UniqueFont font_;
    int dpi_ = 96;
    WindowLayout layout_;
    WindowEvents* events_ = nullptr;
    bool shown_ = false;
    bool closed_ = false;
    bool dpiChanging_ = false;  // the resizes of a DPI change end in one redraw
    // The last choice told by a drop-down list: which list, item and notification, and when.
    struct ListChoice {
        DropDown list = DropDown::SortKey;
        int index = -1;
        LONG time = 0;
        int notification = 0;
    };
    ListChoice lastChoice_;
};

}  // namespace norvale::win32
