// The main window frmGrp as the core sees it: caption, menus, lists, Text1, geometry.
// Positions and sizes are in twips (15 twips per pixel).
#pragma once

#include <string>
#include <vector>

namespace norvale {

enum class Menu { File, GetMeigara, PutMeigara, OffLine, RssStart, RssStop };
enum class Combo { SortKey, Interval };  // Combo1, Combo2
enum class WindowState { Normal, Minimized, Maximized };

struct TwipRect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
    friend constexpr bool operator==(const TwipRect&, const TwipRect&) = default;
};

inline constexpr double kTwipsPerPixel = 15.0;

class Window {
public:
    virtual ~Window() = default;

    virtual void SetCaption(const std::string& caption) = 0;
    virtual void SetMenuEnabled(Menu menu, bool enabled) = 0;

    // Replaces the items of a list; nothing is selected afterwards.
    virtual void SetComboItems(Combo combo, const std::vector<std::string>& items) = 0;
    // Selects an item from code without raising the list's click handler.
    virtual void SelectComboItem(Combo combo, int index) = 0;
    // Index of the selected item, -1 when none is selected.
    virtual int ComboIndex(Combo combo) const = 0;
    // Text of the selected item, empty when none is selected.
    virtual std::string ComboText(Combo combo) const = 0;

    virtual void SetText1(const std::string& text) = 0;

    virtual WindowState State() const = 0;
    // Outer position and size, frame included.
    virtual TwipRect Frame() const = 0;
    virtual void MoveTo(double left, double top) = 0;
    // Size of the whole screen.
    virtual double ScreenWidth() const = 0;
    virtual double ScreenHeight() const = 0;
    // Size of the client area (below the menu bar, status bar included).
    virtual double ClientWidth() const = 0;
    virtual double ClientHeight() const = 0;

    virtual void SetPicture1Size(double width, double height) = 0;
    virtual double Picture1Width() const = 0;
    virtual double Picture1Height() const = 0;

    // Pointer position now, in whole pixels from the top edge of Picture1.
    virtual int PointerYOnPicture1() const = 0;

    // A close request from code: goes through Form_QueryUnload and, when granted,
    // Form_Unload, before it returns.
    virtual void Close() = 0;
};

}  // namespace norvale
