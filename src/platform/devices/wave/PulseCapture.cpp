#include "platform/devices/wave/Capture.h"

#include "platform/lib/pulse/Connection.h"
#include "platform/lib/pulse/LockGuard.h"
#include "platform/lib/pulse/Stream.h"

#include <pulse/timeval.h>

#include <atomic>
#include <chrono>
#include <vector>

namespace vorlo::platform {
namespace {

constexpr const char* kStreamName = "waveaudio capture";
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

// A record stream on the server's default source, over the process's one connection. The
// server converts whatever the source carries into our format, resampling as needed. The
// stream is opened as soon as the server is there; nothing here waits for it.
class PulseCapture final : public Capture {
public:
    PulseCapture(const WaveFormat& format, CaptureSink sink)
        : format_(format), spec_(SpecOf(format)), sink_(std::move(sink)), connection_(pulse::Connection::Shared())
    {
        if (!pa_sample_spec_valid(&spec_))
            throw CaptureError("the sound server cannot capture in this format");
        pulse::LockGuard lock(connection_->Loop());
        if (!connection_->Reach())
            throw CaptureError("there is no sound server");
        subscription_ = connection_->Subscribe([this](pulse::Connection::Event event) {
            if (event == pulse::Connection::Event::Ready)
                Open();
            else
                failed_ = true;
        });
        if (connection_->Ready())
            Open();
    }

    ~PulseCapture() override
    {
        pulse::LockGuard lock(connection_->Loop());
        connection_->Unsubscribe(subscription_);
        stream_.reset();
    }

    bool Failed() const override { return failed_; }

private:
    // With the loop locked, once the server is there.
    void Open()
    {
        try {
            stream_ = std::make_unique<pulse::Stream>(connection_->Ready(), connection_->Loop(), kStreamName, spec_,
                                                      nullptr, nullptr);
            pa_stream_set_read_callback(stream_->Get(), OnReadable, this);
            stream_->SetStateListener([this] { failed_ = failed_ || stream_->IsDead(); });
            pa_buffer_attr attr{};
            attr.maxlength = static_cast<std::uint32_t>(-1);
            attr.fragsize = static_cast<std::uint32_t>(pa_usec_to_bytes(kFragment, &spec_));
            stream_->StartRecord(nullptr, attr, PA_STREAM_ADJUST_LATENCY);
        } catch (const std::exception&) {
            stream_.reset();
            failed_ = true;
        }
    }

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
    const pa_sample_spec spec_;
    const CaptureSink sink_;
    std::atomic<bool> failed_{false};
    const std::shared_ptr<pulse::Connection> connection_;
    int subscription_ = 0;
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
