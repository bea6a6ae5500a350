// Recording fake of the status bar: the current text of each panel and every write.
#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "platform/StatusBar.h"

namespace norvale {

class FakeStatusBar : public StatusBar {
public:
    void SetPanel(StatusPanel panel, const std::string& text) override {
        panels[static_cast<std::size_t>(panel)] = text;
        writes.emplace_back(panel, text);
    }
    const std::string& Panel(StatusPanel panel) const { return panels[static_cast<std::size_t>(panel)]; }
    std::array<std::string, kStatusPanelCount> panels;
    std::vector<std::pair<StatusPanel, std::string>> writes;
};

}  // namespace norvale
