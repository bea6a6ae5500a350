// Scripted event pump: the test decides what "pending events" do at each call.
#pragma once

#include <functional>
#include <map>

#include "platform/EventPump.h"

namespace norvale {

class FakeEventPump : public EventPump {
public:
    // Called with the 1-based number of this RunPending call.
    void RunPending() override {
        ++calls;
        auto it = at.find(calls);
        if (it != at.end()) {
            auto action = it->second;  // the action may schedule more
            action();
        }
        if (every) every(calls);
    }

    int calls = 0;
    std::map<int, std::function<void()>> at;  // actions fired at the n-th call
    std::function<void(int)> every;          // fired at every call
};

}  // namespace norvale
