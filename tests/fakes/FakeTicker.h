// Fake ticker: tests switch nothing on by time; they call the tick handlers themselves.
#pragma once

#include "platform/Ticker.h"

namespace norvale {

class FakeTicker : public Ticker {
public:
    void SetEnabled(bool on) override { enabled = on; }
    bool Enabled() const override { return enabled; }

    bool enabled = false;
};

}  // namespace norvale
