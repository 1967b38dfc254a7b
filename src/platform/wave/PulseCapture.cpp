#include "platform/wave/Capture.h"

#include "platform/audio/pulse/Context.h"
#include "platform/audio/pulse/LockGuard.h"
#include "platform/audio/pulse/Stream.h"
#include "platform/audio/pulse/ThreadedMainloop.h"

#include <pulse/timeval.h>

#include <atomic>
#include <chrono>
#include <vector>

namespace vorlo::platform {
namespace {

constexpr const char* kClientName = "Vorlo Player";
constexpr const char* kStreamName = "waveaudio capture";
constexpr std::chrono::milliseconds kSetUpTimeout{2000};
constexpr pa_usec_t kFragment = 20 * PA_USEC_PER_MSEC; // how often captured sound arrives
constexpr std::uint8_t kSilence8Bit = 0x80;

pa_sample_spec SpecOf(const WaveFormat& format)
{
    pa_sample_spec spec{};
    spec.format = format.bitsPerSample == 8 ? PA_SAMPLE_U8 : PA_SAMPLE_S16LE;
    spec.rate = static_cast<std::uint32_t>(format.samplesPerSecond);
    spec.channels = static_cast<std::uint8_t>(format.channels);
    return spec;
}

// A record stream on the server's default source. The server converts whatever the source
// carries into our format, resampling as needed.
class PulseCapture final : public Capture {
public:
    PulseCapture(const WaveFormat& format, CaptureSink sink) : format_(format), sink_(std::move(sink))
    {
        const pa_sample_spec spec = SpecOf(format);
        if (!pa_sample_spec_valid(&spec))
            throw CaptureError("the sound server cannot capture in this format");
        pulse::LockGuard lock(loop_);
        try {
            context_ = std::make_unique<pulse::Context>(loop_, kClientName);
            context_->Connect(kSetUpTimeout);
            stream_ = std::make_unique<pulse::Stream>(*context_, kStreamName, spec, nullptr);
            pa_stream_set_read_callback(stream_->Get(), OnReadable, this);
            stream_->SetStateListener([this] { failed_ = failed_ || stream_->IsDead(); });
            pa_buffer_attr attr{};
            attr.maxlength = static_cast<std::uint32_t>(-1);
            attr.fragsize = static_cast<std::uint32_t>(pa_usec_to_bytes(kFragment, &spec));
            stream_->ConnectRecord(nullptr, attr, PA_STREAM_ADJUST_LATENCY, kSetUpTimeout);
        } catch (const std::exception& error) {
            stream_.reset();
            context_.reset();
            throw CaptureError(error.what());
        }
    }

    ~PulseCapture() override
    {
        pulse::LockGuard lock(loop_);
        stream_.reset();
        context_.reset();
    }

    bool Failed() const override { return failed_; }

private:
    // Runs on the loop's thread with the loop locked.
    static void OnReadable(pa_stream* stream, std::size_t, void* userdata)
    {
        auto* self = static_cast<PulseCapture*>(userdata);
        const void* data = nullptr;
        std::size_t bytes = 0;
        while (pa_stream_readable_size(stream) > 0 && pa_stream_peek(stream, &data, &bytes) == 0) {
            if (bytes == 0)
                break;
            if (data) {
                self->sink_({static_cast<const std::uint8_t*>(data), bytes});
            } else {
                // A hole: the source had nothing for this stretch. Silence keeps the timing.
                const std::vector<std::uint8_t> silence(bytes, self->format_.bitsPerSample == 8 ? kSilence8Bit : 0);
                self->sink_(silence);
            }
            pa_stream_drop(stream);
        }
    }

    const WaveFormat format_;
    const CaptureSink sink_;
    std::atomic<bool> failed_{false};
    pulse::ThreadedMainloop loop_;
    std::unique_ptr<pulse::Context> context_;
    std::unique_ptr<pulse::Stream> stream_;
};

} // namespace

std::unique_ptr<Capture> StartPulseCapture(const WaveFormat& format, CaptureSink sink)
{
    try {
        return std::make_unique<PulseCapture>(format, std::move(sink));
    } catch (const CaptureError&) {
        throw;
    } catch (const std::exception& error) {
        throw CaptureError(error.what());
    }
}

} // namespace vorlo::platform
