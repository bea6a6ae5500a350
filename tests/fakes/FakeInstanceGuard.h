// Fake single-instance check.
#pragma once

#include "platform/InstanceGuard.h"

namespace norvale {

class FakeInstanceGuard : public InstanceGuard {
public:
    bool AnotherInstanceRunning() override { return anotherRunning; }
    bool anotherRunning = false;
};

}  // namespace norvale
