// Detection of another running instance of the program.
#pragma once

namespace norvale {

class InstanceGuard {
public:
    virtual ~InstanceGuard() = default;
    // True when another instance holds the claim; otherwise claims it for this process's
    // lifetime. A claim left by a crashed process does not count.
    virtual bool AnotherInstanceRunning() = 0;
};

}  // namespace norvale
