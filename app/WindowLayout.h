// Where the main window's controls sit: the designed twips, in the pixels of a window at its dpi.
#pragma once

#include <array>
#include <cmath>
#include <string_view>

#include "platform/Window.h"

namespace norvale {

// The controls of the main window, menus aside.
enum class Control { CodeLabel, CodeBox, SortKeyLabel, SortKeyList, IntervalLabel, IntervalList, TableSurface, StatusBar };

struct PixelRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend constexpr bool operator==(const PixelRect&, const PixelRect&) = default;
};

class WindowLayout {
public:
    // A window's pixels at dpi dots per inch: 96 for one whose pixels the system scales, the
    // monitor's for one that lays itself out at the monitor's resolution.
    explicit WindowLayout(int dpi = 96) : dpi_(dpi > 0 ? dpi : 96) {}

    int Px(double twips) const { return static_cast<int>(std::lround(twips * dpi_ / kTwipsPerInch)); }
    double Twips(int pixels) const { return pixels * kTwipsPerInch / dpi_; }

    // The client area as designed.
    int ClientWidth() const { return Px(kClientWidthTwips); }
    int ClientHeight() const { return Px(kClientHeightTwips); }
    // The control's place in a client area of that size: the status bar along its bottom edge,
    // full width; the others where they were designed. The table surface's size then follows the
    // client area through the core.
    PixelRect Place(Control control, int clientWidth, int clientHeight) const;
    // The control's place as designed, twips.
    static TwipRect Designed(Control control);
    // The label's text, empty for a control that is no label.
    static std::string_view LabelText(Control control);

    // The status bar's four panels share its width 3 : 2 : 2 : 2 (activity, sort key, load time,
    // brand count).
    static constexpr std::array<int, 4> kStatusPanelShares = {3, 2, 2, 2};
    // The right edges of the panels on a bar that wide; the last reaches the bar's end (-1).
    static std::array<int, 4> StatusPanelRights(int barWidth);

private:
    static constexpr double kTwipsPerInch = 1440;
    static constexpr double kClientWidthTwips = 14580;
    static constexpr double kClientHeightTwips = 8580;

    int dpi_;
};

}  // namespace norvale
