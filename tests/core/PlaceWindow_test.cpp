#include "app/PlaceWindow.h"

#include <gtest/gtest.h>

namespace norvale {
namespace {

constexpr double kScreenW = 1920 * 15, kScreenH = 1080 * 15;

TEST(PlaceWindow, CentresOverANormalOwnerOrTheScreenAndKeepsTheRestOnScreen) {
    constexpr auto N = WindowState::Normal, Min = WindowState::Minimized;
    const TwipRect ownerFrame{3000, 2000, 20000, 10000};
    struct Case { PlacedWindow self; std::optional<PlacedWindow> owner; double left, top; };
    for (const Case& c : {
             Case{{{5, 5, 15000, 9000}, N}, std::nullopt, (kScreenW - 15000) / 2, (kScreenH - 9000) / 2},
             Case{{{0, 0, 15001, 9001}, N}, std::nullopt, 6899.5, 3599.5},  // exact division keeps the fraction
             Case{{{0, 0, 4000, 3000}, N}, PlacedWindow{ownerFrame, N}, 3000 + 8000, 2000 + 3500},
             // An owner or a window that is not normal: not centred.
             Case{{{100, 200, 4000, 3000}, N}, PlacedWindow{ownerFrame, Min}, 100, 200},
             Case{{{100, 200, 4000, 3000}, Min}, PlacedWindow{ownerFrame, N}, 100, 200},
             Case{{{-300, 40000, 4000, 3000}, Min}, std::nullopt, 0, kScreenH - 3000},
             // Larger than the screen: ends on the right and bottom edges.
             Case{{{0, 0, kScreenW + 3000, kScreenH + 1500}, N}, std::nullopt, -3000, -1500}}) {
        const TwipRect f = PlaceWindow(c.self, c.owner, kScreenW, kScreenH);
        EXPECT_EQ(std::tuple(f.left, f.top, f.width), std::tuple(c.left, c.top, c.self.frame.width))
            << c.self.frame.left << " " << c.self.frame.width;
    }
}

}  // namespace
}  // namespace norvale
