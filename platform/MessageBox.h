// Modal message boxes.
#pragma once

#include <string>

namespace norvale {

class MessageBox {
public:
    virtual ~MessageBox() = default;
    // A modal box with the stop icon and the buttons OK and Cancel; returns when closed.
    // Which button closed it is not reported: no caller acts on it.
    virtual void ShowCriticalOkCancel(const std::string& text, const std::string& title) = 0;
};

}  // namespace norvale
