// Recording fake of the alerts.
#pragma once

#include <string>
#include <vector>

#include "platform/Alert.h"

namespace norvale {

class FakeAlert : public Alert {
public:
    struct Shown { std::string text, title; };
    void ShowCriticalOkCancel(const std::string& text, const std::string& title) override {
        shown.push_back({text, title});
    }
    std::vector<Shown> shown;
};

}  // namespace norvale
