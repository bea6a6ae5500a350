#include "app/WindowLayout.h"

namespace norvale {

namespace {

struct Designed {
    TwipRect box;
    std::string_view label;
};

// In the order of Control. The surface reaches down under the status bar, which covers its lowest
// part; the labels lie under the boxes they name.
constexpr std::array<Designed, 8> kDesign = {{
    {{120, 60, 975, 375}, "ｺｰﾄﾞ"},
    {{600, 0, 975, 300}, ""},
    {{1800, 60, 1095, 255}, "並び替え"},
    {{2640, 0, 3135, 300}, ""},
    {{6000, 60, 1095, 255}, "読込み間隔"},
    {{6960, 0, 1215, 300}, ""},
    {{0, 360, 12135, 7935}, ""},
    {{0, 8325, 14580, 255}, ""},
}};

}  // namespace

TwipRect WindowLayout::Designed(Control control) { return kDesign[static_cast<std::size_t>(control)].box; }

std::string_view WindowLayout::LabelText(Control control) { return kDesign[static_cast<std::size_t>(control)].label; }

PixelRect WindowLayout::Place(Control control, int clientWidth, int clientHeight) const {
    const TwipRect d = Designed(control);
    if (control == Control::StatusBar) {
        const int height = Px(d.height);
        return {0, clientHeight - height, clientWidth, height};
    }
    return {Px(d.left), Px(d.top), Px(d.width), Px(d.height)};
}

std::array<int, 4> WindowLayout::StatusPanelRights(int barWidth) {
    int total = 0;
    for (const int share : kStatusPanelShares) total += share;
    std::array<int, 4> rights{};
    int sum = 0;
    for (std::size_t k = 0; k + 1 < rights.size(); ++k) {
        sum += kStatusPanelShares[k];
        rights[k] = barWidth * sum / total;
    }
    rights.back() = -1;
    return rights;
}

}  // namespace norvale
