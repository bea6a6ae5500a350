// The main window as the core sees it: caption, menus, the two drop-down lists, the code box
// and geometry. Positions and sizes are in twips (15 twips per pixel at 96 dots per inch).
#pragma once

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace norvale {

// The menu items the core enables and disables.
enum class MenuItem { File, ImportWatchList, ExportWatchList, Offline, StartPolling, StopPolling };
// The two drop-down lists: the sort key and the refresh interval.
enum class DropDown { SortKey, Interval };
enum class WindowState { Normal, Minimized, Maximized };

struct TwipRect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
    friend constexpr bool operator==(const TwipRect&, const TwipRect&) = default;
};

inline constexpr double kTwipsPerPixel = 15.0;
// A size in twips as whole pixels at 96 dots per inch, none below 0.
inline int TwipsToPixels(double twips) { return std::max(0, static_cast<int>(std::lround(twips / kTwipsPerPixel))); }

class Window {
public:
    virtual ~Window() = default;

    virtual void SetCaption(const std::string& caption) = 0;
    virtual void SetMenuEnabled(MenuItem item, bool enabled) = 0;

    // Replaces the items of a list; nothing is selected afterwards.
    virtual void SetListItems(DropDown list, const std::vector<std::string>& items) = 0;
    // Selects an item from code without raising the list's chosen event.
    virtual void SelectListItem(DropDown list, int index) = 0;
    // Index of the selected item, -1 when none is selected.
    virtual int SelectedIndex(DropDown list) const = 0;
    // Text of the selected item, empty when none is selected.
    virtual std::string SelectedText(DropDown list) const = 0;

    // The read-only box that shows the brand code being typed on the table.
    virtual void SetCodeBoxText(const std::string& text) = 0;

    virtual WindowState State() const = 0;
    // Outer position and size, frame included.
    virtual TwipRect Frame() const = 0;
    // Moves the outer frame's top left corner there.
    virtual void MoveTo(double left, double top) = 0;
    // Size of the whole screen.
    virtual double ScreenWidth() const = 0;
    virtual double ScreenHeight() const = 0;
    // Size of the client area (below the menu bar, status bar included).
    virtual double ClientWidth() const = 0;
    virtual double ClientHeight() const = 0;

    virtual void SetTableSurfaceSize(double width, double height) = 0;
    virtual double TableSurfaceWidth() const = 0;
    virtual double TableSurfaceHeight() const = 0;

    // Pointer position now, in whole pixels from the top edge of the table surface.
    virtual int PointerYOnTable() const = 0;

    // A close request from code: goes through WindowEvents::CloseRequested and, when
    // granted, WindowEvents::Closing, before it returns.
    virtual void Close() = 0;
};

}  // namespace norvale
