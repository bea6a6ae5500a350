// Lets the pending window events run and returns.
#pragma once

namespace norvale {

class EventPump {
public:
    virtual ~EventPump() = default;
    // Runs every event already waiting, including ones that re-enter the core, then returns.
    virtual void RunPending() = 0;
};

}  // namespace norvale
