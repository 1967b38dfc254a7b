#pragma once

#include "platform/lib/pulse/ThreadedMainloop.h"

#include <pulse/context.h>

#include <functional>
#include <map>
#include <memory>

namespace vorlo::platform::pulse {

// The process's one connection to the sound server (PULSE_SERVER, or the desktop's
// default), with its event thread, shared by every stream the process plays or records.
//
// It never waits for the server. Reach starts a connection when there is none: a local
// server that is not running refuses at once, and one that is running is met on the event
// thread. A connection that fails or ends (the server quit) is dropped, and the next Reach
// makes a new one. Users hear of every change through their listener.
class Connection {
public:
    // What the listeners are told, on the event thread with the loop locked.
    enum class Event { Ready, Lost };
    using Listener = std::function<void(Event)>;

    // The shared connection; the first call creates it and starts the event thread, and
    // contacts no server. Any thread. Throws pulse::Error when libpulse cannot start.
    static std::shared_ptr<Connection> Shared();

    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    ThreadedMainloop& Loop() { return loop_; }

    // The rest: with the loop locked.

    // Starts connecting unless connected or connecting. Returns false when the server is
    // known to be unreachable right now (nothing listens where it should).
    bool Reach();
    // The context while it is ready; null otherwise.
    pa_context* Ready() const;
    // True while a connection is being made.
    bool Connecting() const;

    // Registers a listener until Unsubscribe with the id returned.
    int Subscribe(Listener listener);
    void Unsubscribe(int id);

    // How many connections this process has made: each one a client of the server.
    int ConnectionsMade() const { return connectionsMade_; }

private:
    Connection() = default;
    void Drop();
    void Tell(Event event);
    static void OnStateChange(pa_context* context, void* userdata);
    static void OnTimeout(pa_mainloop_api* api, pa_time_event* event, const struct timeval* when, void* userdata);

    ThreadedMainloop loop_;
    pa_context* context_ = nullptr;
    pa_time_event* timeout_ = nullptr;
    std::map<int, Listener> listeners_;
    int nextId_ = 0;
    int connectionsMade_ = 0;
};

} // namespace vorlo::platform::pulse
