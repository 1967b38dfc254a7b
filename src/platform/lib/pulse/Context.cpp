#include "platform/lib/pulse/Context.h"

#include "platform/lib/pulse/Error.h"

#include <pulse/error.h>

namespace vorlo::platform::pulse {

Context::Context(ThreadedMainloop& loop, const char* applicationName)
    : loop_(loop), context_(pa_context_new(loop.Api(), applicationName))
{
    if (!context_)
        throw Error(PA_ERR_INTERNAL, "cannot create a PulseAudio context");
    pa_context_set_state_callback(context_, OnStateChange, this);
}

Context::~Context()
{
    pa_context_set_state_callback(context_, nullptr, nullptr);
    pa_context_disconnect(context_);
    pa_context_unref(context_);
}

bool Context::IsDead() const
{
    const pa_context_state_t state = pa_context_get_state(context_);
    return !PA_CONTEXT_IS_GOOD(state);
}

void Context::Connect(std::chrono::milliseconds timeout)
{
    if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
        throw MakeError(context_, "cannot connect to the sound server");
    const bool settled = loop_.WaitFor(
        [this] {
            const pa_context_state_t state = pa_context_get_state(context_);
            return state == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(state);
        },
        timeout);
    if (!settled)
        throw Error(PA_ERR_TIMEOUT, "the sound server did not answer in time");
    if (!IsReady())
        throw MakeError(context_, "cannot connect to the sound server");
}

void Context::OnStateChange(pa_context*, void* userdata)
{
    static_cast<Context*>(userdata)->loop_.Signal();
}

} // namespace vorlo::platform::pulse
