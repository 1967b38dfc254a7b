#pragma once

#include <pulse/thread-mainloop.h>

#include <chrono>
#include <functional>

namespace vorlo::platform::pulse {

// Owns a pa_threaded_mainloop and its event thread. libpulse objects that belong to the
// loop may be used from other threads only while the loop is locked (see LockGuard);
// callbacks run on the event thread with the lock already held.
class ThreadedMainloop {
public:
    // Creates the loop and starts its thread. Throws pulse::Error when either fails.
    ThreadedMainloop();
    // Stops the thread. Call unlocked, after every object of the loop has been released.
    ~ThreadedMainloop();

    ThreadedMainloop(const ThreadedMainloop&) = delete;
    ThreadedMainloop& operator=(const ThreadedMainloop&) = delete;

    pa_threaded_mainloop* Get() const { return loop_; }
    pa_mainloop_api* Api() const { return pa_threaded_mainloop_get_api(loop_); }

    void Lock() { pa_threaded_mainloop_lock(loop_); }
    void Unlock() { pa_threaded_mainloop_unlock(loop_); }

    // Wakes every thread blocked in Wait. Callbacks call it after a change a waiter awaits.
    void Signal() { pa_threaded_mainloop_signal(loop_, 0); }
    // Releases the lock until Signal, then takes it again. Call locked, never on the loop's thread.
    void Wait() { pa_threaded_mainloop_wait(loop_); }

    // Waits (locked, not on the loop's thread) until `done` holds or `timeout` has passed;
    // returns what `done` says at the end. `done` is evaluated with the lock held.
    bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout);

private:
    pa_threaded_mainloop* loop_;
};

} // namespace vorlo::platform::pulse
