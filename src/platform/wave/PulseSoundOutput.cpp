#include "platform/wave/SoundOutput.h"

#include "platform/audio/OutputVolume.h"
#include "platform/audio/pulse/Context.h"
#include "platform/audio/pulse/LockGuard.h"
#include "platform/audio/pulse/Stream.h"
#include "platform/audio/pulse/ThreadedMainloop.h"
#include "platform/audio/pulse/Volume.h"

#include <pulse/timeval.h>
#include <pulse/volume.h>

#include <algorithm>
#include <chrono>

namespace vorlo::platform {
namespace {

constexpr const char* kClientName = "Vorlo Player";
constexpr const char* kStreamName = "sound";
constexpr std::chrono::milliseconds kSetUpTimeout{2000};
// How long the server may leave us without room, or take to finish, before we give up.
constexpr std::chrono::milliseconds kStallTimeout{5000};
constexpr pa_usec_t kTargetLatency = 200 * PA_USEC_PER_MSEC;

// The output volume word, for a stream with the channel map `map`.
pa_cvolume OutputVolumeFor(std::uint32_t word, const pa_channel_map& map)
{
    pa_cvolume volume = pulse::StereoVolume(word);
    pa_channel_map stereo;
    pa_channel_map_init_stereo(&stereo);
    pa_cvolume_remap(&volume, &stereo, &map);
    return volume;
}

class PulseSoundOutput final : public SoundOutput {
public:
    PulseSoundOutput(int samplesPerSecond, int channels)
    {
        spec_.format = PA_SAMPLE_S16NE;
        spec_.rate = static_cast<std::uint32_t>(samplesPerSecond);
        spec_.channels = static_cast<std::uint8_t>(channels);
        if (channels <= 0 || channels > static_cast<int>(PA_CHANNELS_MAX) || !pa_sample_spec_valid(&spec_) ||
            !pa_channel_map_init_auto(&map_, spec_.channels, PA_CHANNEL_MAP_DEFAULT))
            throw SoundOutputError("the sound server cannot play this format");
        pulse::LockGuard lock(loop_);
        try {
            context_ = std::make_unique<pulse::Context>(loop_, kClientName);
            context_->Connect(kSetUpTimeout);
            stream_ = std::make_unique<pulse::Stream>(*context_, kStreamName, spec_, &map_);
            pa_stream_set_write_callback(stream_->Get(), OnWritable, this);
            stream_->SetStateListener([this] { loop_.Signal(); });
            pa_buffer_attr attr{};
            attr.maxlength = attr.prebuf = attr.minreq = static_cast<std::uint32_t>(-1);
            attr.tlength = static_cast<std::uint32_t>(pa_usec_to_bytes(kTargetLatency, &spec_));
            word_ = OutputVolume::Word();
            const pa_cvolume volume = OutputVolumeFor(word_, map_);
            stream_->ConnectPlayback(nullptr, attr, PA_STREAM_ADJUST_LATENCY, &volume, kSetUpTimeout);
        } catch (const std::exception& error) {
            stream_.reset();
            context_.reset();
            throw SoundOutputError(error.what());
        }
    }

    ~PulseSoundOutput() override
    {
        pulse::LockGuard lock(loop_);
        stream_.reset();
        context_.reset();
    }

    void Write(std::span<const std::int16_t> samples) override
    {
        pulse::LockGuard lock(loop_);
        FollowOutputVolume();
        auto bytes = std::as_bytes(samples);
        while (!bytes.empty()) {
            const std::size_t room = WaitForRoom();
            const std::size_t chunk = std::min(room - room % pa_frame_size(&spec_), bytes.size());
            if (pa_stream_write(stream_->Get(), bytes.data(), chunk, nullptr, 0, PA_SEEK_RELATIVE) < 0)
                throw SoundOutputError("the sound server refused the sound");
            bytes = bytes.subspan(chunk);
        }
    }

    void Drain() override
    {
        pulse::LockGuard lock(loop_);
        drained_ = false;
        pa_operation* drain = pa_stream_drain(stream_->Get(), OnDrained, this);
        if (!drain)
            throw SoundOutputError("the sound server cannot finish the sound");
        const bool finished = loop_.WaitFor([this] { return drained_ || stream_->IsDead(); }, kStallTimeout);
        pa_operation_cancel(drain);
        pa_operation_unref(drain);
        if (!finished || !drainSucceeded_)
            throw SoundOutputError("the sound did not finish playing");
    }

private:
    // With the loop locked: waits until the server has room for at least a frame.
    std::size_t WaitForRoom()
    {
        std::size_t room = 0;
        const bool ready = loop_.WaitFor(
            [&] {
                room = stream_->IsDead() ? 0 : pa_stream_writable_size(stream_->Get());
                return stream_->IsDead() || (room != static_cast<std::size_t>(-1) && room >= pa_frame_size(&spec_));
            },
            kStallTimeout);
        if (!ready || stream_->IsDead() || room == static_cast<std::size_t>(-1))
            throw SoundOutputError("the sound server stopped taking the sound");
        return room;
    }

    void FollowOutputVolume()
    {
        if (OutputVolume::Word() == word_)
            return;
        word_ = OutputVolume::Word();
        stream_->SetVolume(OutputVolumeFor(word_, map_));
    }

    static void OnWritable(pa_stream*, std::size_t, void* userdata)
    {
        static_cast<PulseSoundOutput*>(userdata)->loop_.Signal();
    }

    static void OnDrained(pa_stream*, int success, void* userdata)
    {
        auto* self = static_cast<PulseSoundOutput*>(userdata);
        self->drained_ = true;
        self->drainSucceeded_ = success != 0;
        self->loop_.Signal();
    }

    pa_sample_spec spec_{};
    pa_channel_map map_{};
    std::uint32_t word_ = 0;
    bool drained_ = false;
    bool drainSucceeded_ = false;
    pulse::ThreadedMainloop loop_;
    std::unique_ptr<pulse::Context> context_;
    std::unique_ptr<pulse::Stream> stream_;
};

} // namespace

std::unique_ptr<SoundOutput> OpenPulseSoundOutput(int samplesPerSecond, int channels)
{
    try {
        return std::make_unique<PulseSoundOutput>(samplesPerSecond, channels);
    } catch (const SoundOutputError&) {
        throw;
    } catch (const std::exception& error) {
        throw SoundOutputError(error.what());
    }
}

} // namespace vorlo::platform
