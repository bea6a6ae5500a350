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
    void SetPanel(int panel, const std::string& text) override {
        if (panel < 1 || panel > 4) return;
        panels[static_cast<std::size_t>(panel - 1)] = text;
        writes.emplace_back(panel, text);
    }
    const std::string& Panel(int panel) const { return panels[static_cast<std::size_t>(panel - 1)]; }

    std::array<std::string, 4> panels;
    std::vector<std::pair<int, std::string>> writes;
};

}  // namespace norvale
