#pragma once

#include "platform/lib/pulse/Context.h"

#include <pulse/stream.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>

namespace vorlo::platform::pulse {

// Owns a pa_stream of one context: a playback or a record stream. Create, use and destroy
// it with the loop locked. Callbacks are set on Get() with the plain libpulse calls; the
// stream clears them before it goes, so none runs after the destructor.
class Stream {
public:
    // Throws pulse::Error when the sample spec or map is refused.
    Stream(Context& context, const char* name, const pa_sample_spec& spec, const pa_channel_map* map);
    // The same on a context owned elsewhere, with properties of its own (may be null).
    Stream(pa_context* context, ThreadedMainloop& loop, const char* name, const pa_sample_spec& spec,
           const pa_channel_map* map, pa_proplist* properties);
    ~Stream();

    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;

    // Connect a record stream and wait (at most `timeout`) until it is ready. `device` null
    // means the default (PULSE_SOURCE, else the server's). Throws pulse::Error.
    void ConnectRecord(const char* device, const pa_buffer_attr& attr, pa_stream_flags_t flags,
                       std::chrono::milliseconds timeout);
    // The same without waiting: the state listener hears when the stream is ready, or dead.
    // Throw pulse::Error when libpulse refuses at once.
    void StartPlayback(const char* device, const pa_buffer_attr& attr, pa_stream_flags_t flags,
                       const pa_cvolume* volume);
    void StartRecord(const char* device, const pa_buffer_attr& attr, pa_stream_flags_t flags);

    // True while connected and usable; false once it has failed or been ended.
    bool IsReady() const { return pa_stream_get_state(stream_) == PA_STREAM_READY; }
    // True once the stream has failed (its server went away, for one) or been ended.
    bool IsDead() const { return !PA_STREAM_IS_GOOD(pa_stream_get_state(stream_)); }

    // Called on the loop's thread after every change of the stream's state.
    void SetStateListener(std::function<void()> listener) { stateListener_ = std::move(listener); }

    // The stream's clock: the playing (or capturing) position, corrected for the latency
    // of the device and, with PA_STREAM_INTERPOLATE_TIMING, interpolated between timing
    // updates. Empty until the first timing update has arrived.
    std::optional<pa_usec_t> Time() const;

    // Drops what the server holds for the stream. Does not wait for the server.
    void Flush();
    // Holds (true) or releases a stream on the server. Does not wait for the server.
    void Cork(bool corked);
    // Sets the volume of a playback stream on the server. Does not wait for the server.
    void SetVolume(const pa_cvolume& volume);

    pa_stream* Get() const { return stream_; }

private:
    void WaitReady(std::chrono::milliseconds timeout);
    static void OnStateChange(pa_stream* stream, void* userdata);

    pa_context* context_;
    ThreadedMainloop& loop_;
    pa_stream* stream_;
    std::function<void()> stateListener_;
};

} // namespace vorlo::platform::pulse
