// The handlers that a window implementation calls, one per event of frmGrp.
#pragma once

#include <cstdint>

namespace norvale {

class WindowEvents {
public:
    virtual ~WindowEvents() = default;
    virtual void Form_QueryUnload(bool& cancel) = 0;
    virtual void Form_Unload() = 0;
    virtual void Form_Resize() = 0;
    virtual void Combo1_Click() = 0;
    virtual void Combo2_Click() = 0;
    virtual void Timer1_Timer() = 0;
    virtual void Timer3_Timer() = 0;
    virtual void mnu_get_meigara_1_Click() = 0;
    virtual void mnu_put_meigara_1_Click() = 0;
    virtual void mnu_off_line_Click() = 0;
    virtual void mnu_rss_start_Click() = 0;
    virtual void mnu_rss_stop_Click() = 0;
    virtual void Picture1_Click() = 0;
    // keyCode is the platform's virtual key code (Enter 13, Esc 27, Delete 46, Backspace 8,
    // digits 48-57, keypad digits 96-105); shift is not used.
    virtual void Picture1_KeyUp(std::int16_t keyCode, std::int16_t shift) = 0;
};

}  // namespace norvale
