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
    void SetMenuEnabled(Menu m, bool e) override { menuEnabled[m] = e; }
    void SetComboItems(Combo c, const std::vector<std::string>& items) override {
        comboItems[c] = items;
        comboIndex[c] = -1;
    }
    void SelectComboItem(Combo c, int index) override { comboIndex[c] = index; }
    int ComboIndex(Combo c) const override {
        auto it = comboIndex.find(c);
        return it == comboIndex.end() ? -1 : it->second;
    }
    std::string ComboText(Combo c) const override {
        const int i = ComboIndex(c);
        auto it = comboItems.find(c);
        if (i < 0 || it == comboItems.end() || i >= static_cast<int>(it->second.size())) return {};
        return it->second[static_cast<std::size_t>(i)];
    }
    void SetText1(const std::string& t) override { text1 = t; }
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
    void SetPicture1Size(double w, double h) override {
        picture1Width = w;
        picture1Height = h;
    }
    double Picture1Width() const override { return picture1Width; }
    double Picture1Height() const override { return picture1Height; }
    int PointerYOnPicture1() const override { return pointerY; }
    // Like the real window: the request goes through the handlers before this returns.
    void Close() override {
        ++closeRequests;
        if (events == nullptr || destroyed) return;
        bool cancel = false;
        events->Form_QueryUnload(cancel);
        if (cancel) return;
        events->Form_Unload();
        destroyed = true;
    }
    bool Enabled(Menu m) const {
        auto it = menuEnabled.find(m);
        return it != menuEnabled.end() && it->second;
    }

    WindowEvents* events = nullptr;
    std::string caption;
    std::map<Menu, bool> menuEnabled;
    std::map<Combo, std::vector<std::string>> comboItems;
    std::map<Combo, int> comboIndex;
    std::string text1;
    WindowState state = WindowState::Normal;
    TwipRect frame{0, 0, 14580 + 2 * 60, 8580 + 2 * 60 + 300};
    double screenWidth = 1920 * 15;
    double screenHeight = 1080 * 15;
    double clientWidth = 14580;
    double clientHeight = 8580;
    double picture1Width = 12135;
    double picture1Height = 7935;
    int pointerY = 0;
    int closeRequests = 0;
    bool destroyed = false;
};

}  // namespace norvale
