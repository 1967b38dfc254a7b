#pragma once

#include "platform/lib/pulse/ThreadedMainloop.h"

namespace vorlo::platform::pulse {

// Holds a threaded mainloop's lock for a scope. The lock is recursive, so a scope that
// already holds it (a callback, for one) may take it again.
class LockGuard {
public:
    explicit LockGuard(ThreadedMainloop& loop) : loop_(loop) { loop_.Lock(); }
    ~LockGuard() { loop_.Unlock(); }

    LockGuard(const LockGuard&) = delete;
    LockGuard& operator=(const LockGuard&) = delete;

private:
    ThreadedMainloop& loop_;
};

} // namespace vorlo::platform::pulse
