#pragma once

#include "platform/lib/pulse/ThreadedMainloop.h"

#include <pulse/context.h>

#include <chrono>

namespace vorlo::platform::pulse {

// Owns a pa_context: one connection to the sound server that PULSE_SERVER (or the
// desktop's default) names. Create, use and destroy it with the loop locked.
class Context {
public:
    // Creates the context; does not connect. Throws pulse::Error when libpulse cannot.
    Context(ThreadedMainloop& loop, const char* applicationName);
    ~Context();

    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;

    // Connects and waits until the server has accepted us, at most `timeout`. Never
    // starts a server. Throws pulse::Error when no server is reachable or the time is up.
    void Connect(std::chrono::milliseconds timeout);

    // True while the connection is up; false before Connect and once it has failed.
    bool IsReady() const { return pa_context_get_state(context_) == PA_CONTEXT_READY; }
    // True once the connection has failed or ended; such a context cannot be reused.
    bool IsDead() const;

    pa_context* Get() const { return context_; }
    ThreadedMainloop& Loop() const { return loop_; }

private:
    static void OnStateChange(pa_context* context, void* userdata);

    ThreadedMainloop& loop_;
    pa_context* context_;
};

} // namespace vorlo::platform::pulse
