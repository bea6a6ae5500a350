// Every fake at once, wired into a Platform, for tests that drive MainWindowLogic headless; and the
// small fakes only a Platform needs.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/EventPump.h"
#include "platform/Platform.h"
#include "platform/Ticker.h"
#include "platform/Window.h"
#include "platform/WindowEvents.h"
#include "tests/fakes/FakeAlert.h"
#include "tests/fakes/FakeDdeml.h"
#include "tests/fakes/FakeFileDialog.h"
#include "tests/fakes/FakeFileSystem.h"
#include "tests/fakes/FakeInstanceGuard.h"
#include "tests/fakes/FakeStatusBar.h"
#include "tests/fakes/FakeSurface.h"

namespace norvale {

// Tests switch nothing on by time; they call the tick handlers themselves.
class FakeTicker : public Ticker {
public:
    void SetEnabled(bool on) override { enabled = on; }
    bool Enabled() const override { return enabled; }
    bool enabled = false;
};

// What "pending events" do is the test's: `at` fires at the n-th call (from 1), `every` at each.
class FakeEventPump : public EventPump {
public:
    void RunPending() override {
        ++calls;
        if (auto it = at.find(calls); it != at.end()) {
            auto action = it->second;  // the action may schedule more
            action();
        }
        if (every) every(calls);
    }
    int calls = 0;
    std::map<int, std::function<void()>> at;
    std::function<void(int)> every;
};

class FakeWindow : public Window {
public:
    void SetCaption(const std::string& c) override { caption = c; }
    void SetMenuEnabled(MenuItem m, bool e) override { menuEnabled[m] = e; }
    void SetListItems(DropDown c, const std::vector<std::string>& items) override {
        listItems[c] = items;
        selectedIndex[c] = -1;
    }
    void SelectListItem(DropDown c, int index) override { selectedIndex[c] = index; }
    int SelectedIndex(DropDown c) const override { return selectedIndex.contains(c) ? selectedIndex.at(c) : -1; }
    std::string SelectedText(DropDown c) const override {
        const int i = SelectedIndex(c);
        if (i < 0 || !listItems.contains(c) || i >= static_cast<int>(listItems.at(c).size())) return {};
        return listItems.at(c)[static_cast<std::size_t>(i)];
    }
    void SetCodeBoxText(const std::string& t) override { codeBox = t; }
    WindowState State() const override { return state; }
    TwipRect Frame() const override { return frame; }
    void MoveTo(double left, double top) override { frame.left = left, frame.top = top; }
    double ScreenWidth() const override { return screenWidth; }
    double ScreenHeight() const override { return screenHeight; }
    double ClientWidth() const override { return clientWidth; }
    double ClientHeight() const override { return clientHeight; }
    void SetTableSurfaceSize(double w, double h) override { tableSurfaceWidth = w, tableSurfaceHeight = h; }
    double TableSurfaceWidth() const override { return tableSurfaceWidth; }
    double TableSurfaceHeight() const override { return tableSurfaceHeight; }
    int PointerYOnTable() const override { return pointerY; }
    // Like the real window: the request goes through the handlers before this returns.
    void Close() override {
        if (events == nullptr || destroyed || events->CloseRequested() == CloseAnswer::Refuse) return;
        events->Closing();
        destroyed = true;
    }
    bool Enabled(MenuItem m) const { return menuEnabled.contains(m) && menuEnabled.at(m); }

    WindowEvents* events = nullptr;
    std::string caption, codeBox;
    std::map<MenuItem, bool> menuEnabled;
    std::map<DropDown, std::vector<std::string>> listItems;
    std::map<DropDown, int> selectedIndex;
    WindowState state = WindowState::Normal;
    TwipRect frame{0, 0, 14580 + 2 * 60, 8580 + 2 * 60 + 300};
    double screenWidth = 1920 * 15, screenHeight = 1080 * 15;
    double clientWidth = 14580, clientHeight = 8580;
    double tableSurfaceWidth = 12135, tableSurfaceHeight = 7935;
    int pointerY = 0;
    bool destroyed = false;
};

struct FakePlatform {
    FakeWindow window;
    FakeStatusBar statusBar;
    FakeSurface tableSurface;
    FakeTicker loadTicker, waitTicker;
    FakeEventPump events;
    FakeFileDialog fileDialog;
    FakeAlert alert;
    FakeFileSystem files;
    FakeInstanceGuard instance;
    FakeDdeml ddeml;
    Platform platform{window, statusBar, tableSurface, loadTicker, waitTicker, events,
                      fileDialog, alert, files, instance, ddeml};
};

}  // namespace norvale
