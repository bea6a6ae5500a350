// The status bar: four text panels.
#pragma once

#include <string>

namespace norvale {

enum class StatusPanel {
    Activity,    // stopped, stopping, waiting and loading counts, "Error !", export texts
    SortKey,     // the text of the chosen sort key
    LoadTime,    // duration of the last pass, or the offline toggle's text
    BrandCount,  // watched brands and the limit
};
inline constexpr int kStatusPanelCount = 4;

class StatusBar {
public:
    virtual ~StatusBar() = default;
    // Sets the text of one panel. Cannot fail.
    virtual void SetPanel(StatusPanel panel, const std::string& text) = 0;
};

}  // namespace norvale
