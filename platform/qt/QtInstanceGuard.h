// The single-instance guard on Qt: a lock file held by the kernel.
#pragma once

#include <QString>

#include "platform/InstanceGuard.h"

namespace norvale {

// One lock per user and machine, in a folder no other user can write. The lock is the kernel's
// (flock) on that file: held while Norvale runs and let go when it ends, however it ends, so only a
// live Norvale of this user on this machine can hold it, whatever the file names. When the lock
// cannot be tried for any other reason, Norvale starts and says why on standard error.
class QtInstanceGuard : public InstanceGuard {
public:
    explicit QtInstanceGuard(QString lockPath = DefaultLockPath());
    ~QtInstanceGuard() override;
    QtInstanceGuard(const QtInstanceGuard&) = delete;
    QtInstanceGuard& operator=(const QtInstanceGuard&) = delete;
    bool AnotherInstanceRunning() override;
    // The lock in the runtime folder; where there is none, in a folder of Norvale's own in the
    // user's cache, named after the machine, as a home folder may be shared by several.
    static QString DefaultLockPath();
    // Why a second instance could not be ruled out at the last check; empty when it could.
    const QString& Doubt() const { return doubt_; }

private:
    QString lockPath_;
    int lockFd_ = -1;  // open, and locked, while this process holds the claim
    QString doubt_;
};

}  // namespace norvale
