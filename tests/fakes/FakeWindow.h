// Recording fake of the main window for headless tests.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/Window.h"
#include "platform/WindowEvents.h"

namespace norvale {

class FakeWindow : public Window {
public:
    void SetCaption(const std::string& c) override { caption = c; }
    void SetMenuEnabled(MenuItem m, bool e) override { menuEnabled[m] = e; }
    void SetListItems(DropDown c, const std::vector<std::string>& items) override {
        listItems[c] = items;
        selectedIndex[c] = -1;
    }
    void SelectListItem(DropDown c, int index) override { selectedIndex[c] = index; }
    int SelectedIndex(DropDown c) const override {
        auto it = selectedIndex.find(c);
        return it == selectedIndex.end() ? -1 : it->second;
    }
    std::string SelectedText(DropDown c) const override {
        const int i = SelectedIndex(c);
        auto it = listItems.find(c);
        if (i < 0 || it == listItems.end() || i >= static_cast<int>(it->second.size())) return {};
        return it->second[static_cast<std::size_t>(i)];
    }
    void SetCodeBoxText(const std::string& t) override { codeBox = t; }
    WindowState State() const override { return state; }
    TwipRect Frame() const override { return frame; }
    void MoveTo(double left, double top) override {
        frame.left = left;
        frame.top = top;
    }
    double ScreenWidth() const override { return screenWidth; }
    double ScreenHeight() const override { return screenHeight; }
    double ClientWidth() const override { return clientWidth; }
    double ClientHeight() const override { return clientHeight; }
    void SetTableSurfaceSize(double w, double h) override {
        tableSurfaceWidth = w;
        tableSurfaceHeight = h;
    }
    double TableSurfaceWidth() const override { return tableSurfaceWidth; }
    double TableSurfaceHeight() const override { return tableSurfaceHeight; }
    int PointerYOnTable() const override { return pointerY; }
    // Like the real window: the request goes through the handlers before this returns.
    void Close() override {
        if (events == nullptr || destroyed) return;
        if (events->CloseRequested() == CloseAnswer::Refuse) return;
        events->Closing();
        destroyed = true;
    }
    bool Enabled(MenuItem m) const {
        auto it = menuEnabled.find(m);
        return it != menuEnabled.end() && it->second;
    }

    WindowEvents* events = nullptr;
    std::string caption;
    std::map<MenuItem, bool> menuEnabled;
    std::map<DropDown, std::vector<std::string>> listItems;
    std::map<DropDown, int> selectedIndex;
    std::string codeBox;
    WindowState state = WindowState::Normal;
    TwipRect frame{0, 0, 14580 + 2 * 60, 8580 + 2 * 60 + 300};
    double screenWidth = 1920 * 15;
    double screenHeight = 1080 * 15;
    double clientWidth = 14580;
    double clientHeight = 8580;
    double tableSurfaceWidth = 12135;
    double tableSurfaceHeight = 7935;
    int pointerY = 0;
    bool destroyed = false;
};

}  // namespace norvale
