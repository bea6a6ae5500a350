#include "app/PlaceWindow.h"

#include <gtest/gtest.h>

namespace norvale {
namespace {

constexpr double kScreenW = 1920 * 15, kScreenH = 1080 * 15;

TEST(PlaceWindow, CentresOnTheScreenWithoutOwner) {
    const TwipRect f = PlaceWindow({{5, 5, 15000, 9000}, WindowState::Normal}, std::nullopt, kScreenW, kScreenH);
    EXPECT_DOUBLE_EQ(f.left, (kScreenW - 15000) / 2);
    EXPECT_DOUBLE_EQ(f.top, (kScreenH - 9000) / 2);
    EXPECT_DOUBLE_EQ(f.width, 15000);
    // Exact division keeps the fraction of a twip.
    const TwipRect odd = PlaceWindow({{0, 0, 15001, 9001}, WindowState::Normal}, std::nullopt, kScreenW, kScreenH);
    EXPECT_DOUBLE_EQ(odd.left, 6899.5);
}

TEST(PlaceWindow, CentresOverANormalOwnerOnly) {
    const PlacedWindow owner{{3000, 2000, 20000, 10000}, WindowState::Normal};
    const TwipRect f = PlaceWindow({{0, 0, 4000, 3000}, WindowState::Normal}, owner, kScreenW, kScreenH);
    EXPECT_DOUBLE_EQ(f.left, 3000 + 8000);
    EXPECT_DOUBLE_EQ(f.top, 2000 + 3500);
    for (auto ws : {WindowState::Minimized, WindowState::Maximized}) {
        const TwipRect notCentred =
            PlaceWindow({{100, 200, 4000, 3000}, WindowState::Normal}, PlacedWindow{owner.frame, ws}, kScreenW, kScreenH);
        EXPECT_DOUBLE_EQ(notCentred.left, 100);
        EXPECT_DOUBLE_EQ(notCentred.top, 200);
        const TwipRect selfNotNormal = PlaceWindow({{100, 200, 4000, 3000}, ws}, owner, kScreenW, kScreenH);
        EXPECT_DOUBLE_EQ(selfNotNormal.left, 100);
    }
}

TEST(PlaceWindow, MinimisedOrMaximisedWithoutOwnerIsOnlyKeptOnScreen) {
    for (auto ws : {WindowState::Minimized, WindowState::Maximized}) {
        const TwipRect f = PlaceWindow({{-300, 40000, 4000, 3000}, ws}, std::nullopt, kScreenW, kScreenH);
        EXPECT_DOUBLE_EQ(f.left, 0);
        EXPECT_DOUBLE_EQ(f.top, kScreenH - 3000);
    }
}

TEST(PlaceWindow, LargerThanTheScreenEndsOnTheRightAndBottomEdges) {
    const TwipRect f = PlaceWindow({{0, 0, kScreenW + 3000, kScreenH + 1500}, WindowState::Normal}, std::nullopt,
                                   kScreenW, kScreenH);
    EXPECT_DOUBLE_EQ(f.left, -3000);
    EXPECT_DOUBLE_EQ(f.top, -1500);
}

}  // namespace
}  // namespace norvale
