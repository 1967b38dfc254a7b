#include "platform/lib/pulse/Connection.h"

#include "platform/lib/pulse/LockGuard.h"
#include "platform/lib/pulse/Properties.h"

#include <pulse/timeval.h>

#include <sys/time.h>

#include <mutex>

namespace vorlo::platform::pulse {

namespace {

// A server that accepted the socket but has not finished the handshake by then counts as
// unreachable.
constexpr pa_usec_t kHandshakeTimeout = 1000 * PA_USEC_PER_MSEC;

} // namespace

std::shared_ptr<Connection> Connection::Shared()
{
    // Kept for the life of the process; users hold it too, so that whichever lets go last,
    // a static destructor or a device closed late, ends the event thread.
    static std::mutex mutex;
    static std::shared_ptr<Connection> shared;
    std::lock_guard lock(mutex);
    if (!shared)
        shared = std::shared_ptr<Connection>(new Connection());
    return shared;
}

Connection::~Connection()
{
    {
        LockGuard lock(loop_);
        listeners_.clear();
        Drop();
    }
}

bool Connection::Reach()
{
    if (context_ && PA_CONTEXT_IS_GOOD(pa_context_get_state(context_)))
        return true;
    Drop();
    const Proplist properties = ClientProperties();
    context_ = pa_context_new_with_proplist(loop_.Api(), nullptr, properties.get());
    if (!context_)
        return false;
    pa_context_set_state_callback(context_, OnStateChange, this);
    // For a local server this is a connect() on its socket: refused at once when no server
    // listens, accepted at once when one does. The handshake goes on on the event thread.
    if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0 ||
        !PA_CONTEXT_IS_GOOD(pa_context_get_state(context_))) {
        Drop();
        return false;
    }
    ++connectionsMade_;
    timeval when{};
    gettimeofday(&when, nullptr);
    pa_timeval_add(&when, kHandshakeTimeout);
    timeout_ = loop_.Api()->time_new(loop_.Api(), &when, OnTimeout, this);
    return true;
}

pa_context* Connection::Ready() const
{
    return context_ && pa_context_get_state(context_) == PA_CONTEXT_READY ? context_ : nullptr;
}

bool Connection::Connecting() const
{
    if (!context_)
        return false;
    const pa_context_state_t state = pa_context_get_state(context_);
    return PA_CONTEXT_IS_GOOD(state) && state != PA_CONTEXT_READY;
}

int Connection::Subscribe(Listener listener)
{
    listeners_.emplace(++nextId_, std::move(listener));
    return nextId_;
}

void Connection::Unsubscribe(int id) { listeners_.erase(id); }

void Connection::Drop()
{
    if (timeout_) {
        loop_.Api()->time_free(timeout_);
        timeout_ = nullptr;
    }
    if (!context_)
        return;
    pa_context_set_state_callback(context_, nullptr, nullptr);
    pa_context_disconnect(context_);
    pa_context_unref(context_);
    context_ = nullptr;
}

void Connection::Tell(Event event)
{
    const auto listeners = listeners_;  // a listener may subscribe another
    for (const auto& [id, listener] : listeners)
        if (listeners_.contains(id))
            listener(event);
}

void Connection::OnStateChange(pa_context* context, void* userdata)
{
    auto* self = static_cast<Connection*>(userdata);
    const pa_context_state_t state = pa_context_get_state(context);
    self->loop_.Signal();
    if (state == PA_CONTEXT_READY) {
        if (self->timeout_) {
            self->loop_.Api()->time_free(self->timeout_);
            self->timeout_ = nullptr;
        }
        self->Tell(Event::Ready);
    } else if (!PA_CONTEXT_IS_GOOD(state)) {
        // Dropped by the next Reach, outside this callback.
        self->Tell(Event::Lost);
    }
}

void Connection::OnTimeout(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* userdata)
{
    auto* self = static_cast<Connection*>(userdata);
    self->loop_.Api()->time_free(self->timeout_);
    self->timeout_ = nullptr;
    if (self->Connecting())
        pa_context_disconnect(self->context_);  // the state change tells the listeners
}

} // namespace vorlo::platform::pulse
