// Recording fake of the message boxes.
#pragma once

#include <string>
#include <vector>

#include "platform/MessageBox.h"

namespace norvale {

class FakeMessageBox : public MessageBox {
public:
    struct Shown {
        std::string text;
        std::string title;
    };
    void ShowCriticalOkCancel(const std::string& text, const std::string& title) override {
        shown.push_back({text, title});
    }
    std::vector<Shown> shown;
};

}  // namespace norvale
