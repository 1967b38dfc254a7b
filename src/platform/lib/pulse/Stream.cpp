#include "platform/lib/pulse/Stream.h"

#include "platform/lib/pulse/Error.h"

#include <pulse/error.h>
#include <pulse/introspect.h>

namespace vorlo::platform::pulse {

namespace {

// Operations whose result nobody waits for are released at once; the server still runs them.
void Forget(pa_operation* operation)
{
    if (operation)
        pa_operation_unref(operation);
}

} // namespace

Stream::Stream(Context& context, const char* name, const pa_sample_spec& spec, const pa_channel_map* map)
    : Stream(context.Get(), context.Loop(), name, spec, map, nullptr)
{
}

Stream::Stream(pa_context* context, ThreadedMainloop& loop, const char* name, const pa_sample_spec& spec,
               const pa_channel_map* map, pa_proplist* properties)
    : context_(context), loop_(loop),
      stream_(properties ? pa_stream_new_with_proplist(context, name, &spec, map, properties)
                         : pa_stream_new(context, name, &spec, map))
{
    if (!stream_)
        throw MakeError(context, "cannot create a sound stream");
    pa_stream_set_state_callback(stream_, OnStateChange, this);
}

Stream::~Stream()
{
    pa_stream_set_state_callback(stream_, nullptr, nullptr);
    pa_stream_set_write_callback(stream_, nullptr, nullptr);
    pa_stream_set_read_callback(stream_, nullptr, nullptr);
    pa_stream_set_latency_update_callback(stream_, nullptr, nullptr);
    pa_stream_set_underflow_callback(stream_, nullptr, nullptr);
    pa_stream_set_overflow_callback(stream_, nullptr, nullptr);
    if (PA_STREAM_IS_GOOD(pa_stream_get_state(stream_)))
        pa_stream_disconnect(stream_);
    pa_stream_unref(stream_);
}

void Stream::ConnectRecord(const char* device, const pa_buffer_attr& attr, pa_stream_flags_t flags,
                           std::chrono::milliseconds timeout)
{
    StartRecord(device, attr, flags);
    WaitReady(timeout);
}

void Stream::StartPlayback(const char* device, const pa_buffer_attr& attr, pa_stream_flags_t flags,
                           const pa_cvolume* volume)
{
    if (pa_stream_connect_playback(stream_, device, &attr, flags, volume, nullptr) < 0)
        throw MakeError(context_, "cannot start a playback stream");
}

void Stream::StartRecord(const char* device, const pa_buffer_attr& attr, pa_stream_flags_t flags)
{
    if (pa_stream_connect_record(stream_, device, &attr, flags) < 0)
        throw MakeError(context_, "cannot start a record stream");
}

void Stream::WaitReady(std::chrono::milliseconds timeout)
{
    const bool settled = loop_.WaitFor(
        [this] {
            const pa_stream_state_t state = pa_stream_get_state(stream_);
            return state == PA_STREAM_READY || !PA_STREAM_IS_GOOD(state);
        },
        timeout);
    if (!settled)
        throw Error(PA_ERR_TIMEOUT, "the sound server did not set up the stream in time");
    if (!IsReady())
        throw MakeError(context_, "the sound server refused the stream");
}

std::optional<pa_usec_t> Stream::Time() const
{
    pa_usec_t usec = 0;
    if (pa_stream_get_time(stream_, &usec) < 0)
        return std::nullopt;
    return usec;
}

void Stream::Flush()
{
    Forget(pa_stream_flush(stream_, nullptr, nullptr));
}

void Stream::Cork(bool corked)
{
    Forget(pa_stream_cork(stream_, corked ? 1 : 0, nullptr, nullptr));
}

void Stream::SetVolume(const pa_cvolume& volume)
{
    Forget(pa_context_set_sink_input_volume(context_, pa_stream_get_index(stream_), &volume, nullptr, nullptr));
}

void Stream::OnStateChange(pa_stream*, void* userdata)
{
    auto* self = static_cast<Stream*>(userdata);
    self->loop_.Signal();
    if (self->stateListener_)
        self->stateListener_();
}

} // namespace vorlo::platform::pulse
