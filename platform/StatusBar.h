// StatusBar1: four text panels, numbered from 1.
#pragma once

#include <string>

namespace norvale {

class StatusBar {
public:
    virtual ~StatusBar() = default;
    // Sets the text of panel 1 to 4; other panel numbers are ignored.
    virtual void SetPanel(int panel, const std::string& text) = 0;
};

}  // namespace norvale
