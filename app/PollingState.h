// The globals through which the tickers, the commands, a close request and a running pass meet.
#pragma once

#include <cstdint>

namespace norvale {

struct PollingState {
    // 0 no pass running, 1 a pass is running, 2 the running pass has been asked to stop.
    std::int16_t RefreshState = 0;
    std::int16_t WaitSeconds = 0;  // never above 10000
    std::int16_t WaitLimit = 0;    // never below 0
    std::int16_t LoadSeconds = 0;
    std::int16_t QuitPending = 0;
    std::int16_t OfflineMode = 0;
};

}  // namespace norvale
