// A modal alert: a text under a title, the stop icon, the buttons OK and Cancel.
#pragma once

#include <string>

namespace norvale {

class Alert {
public:
    virtual ~Alert() = default;
    // A modal box with the stop icon and the buttons OK and Cancel; returns when closed.
    // Which button closed it is not reported: no caller acts on it.
    virtual void ShowCriticalOkCancel(const std::string& text, const std::string& title) = 0;
};

}  // namespace norvale
