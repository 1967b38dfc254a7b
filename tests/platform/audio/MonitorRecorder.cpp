#include "MonitorRecorder.h"

#include "platform/lib/pulse/LockGuard.h"

#include <pulse/timeval.h>

#include <chrono>
#include <thread>

namespace vorlo::test {

using namespace std::chrono_literals;
using platform::pulse::LockGuard;

namespace {
constexpr pa_sample_spec kFormat{PA_SAMPLE_S16LE, 44100, 2};
constexpr pa_usec_t kFragment = 5 * PA_USEC_PER_MSEC;
} // namespace

MonitorRecorder::MonitorRecorder()
{
    LockGuard lock(loop_);
    context_ = std::make_unique<platform::pulse::Context>(loop_, "Vorlo sound test");
    context_->Connect(2000ms);
    stream_ = std::make_unique<platform::pulse::Stream>(*context_, "monitor", kFormat, nullptr);
    pa_stream_set_read_callback(stream_->Get(), OnRead, this);
    pa_buffer_attr attr{};
    attr.maxlength = static_cast<std::uint32_t>(-1);
    attr.fragsize = static_cast<std::uint32_t>(pa_usec_to_bytes(kFragment, &kFormat));
    const auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_ADJUST_LATENCY | PA_STREAM_INTERPOLATE_TIMING |
                                                      PA_STREAM_AUTO_TIMING_UPDATE);
    stream_->ConnectRecord(nullptr, attr, flags, 2000ms);
}

MonitorRecorder::~MonitorRecorder()
{
    LockGuard lock(loop_);
    stream_.reset();
    context_.reset();
}

std::vector<std::byte> MonitorRecorder::Recording()
{
    LockGuard lock(loop_);
    return recording_;
}

std::int64_t MonitorRecorder::NowFrame()
{
    LockGuard lock(loop_);
    const auto time = stream_->Time();
    return time ? static_cast<std::int64_t>(*time * kFormat.rate / PA_USEC_PER_SEC) : 0;
}

void MonitorRecorder::WaitForFrames(std::int64_t frames)
{
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (std::chrono::steady_clock::now() < deadline) {
        {
            LockGuard lock(loop_);
            if (static_cast<std::int64_t>(recording_.size() / kBytesPerFrame) >= frames)
                return;
        }
        std::this_thread::sleep_for(5ms);
    }
}

void MonitorRecorder::OnRead(pa_stream* stream, std::size_t, void* userdata)
{
    auto* self = static_cast<MonitorRecorder*>(userdata);
    const void* data = nullptr;
    std::size_t size = 0;
    while (pa_stream_readable_size(stream) > 0 && pa_stream_peek(stream, &data, &size) == 0 && size > 0) {
        const auto* bytes = static_cast<const std::byte*>(data);
        if (bytes)
            self->recording_.insert(self->recording_.end(), bytes, bytes + size);
        else
            self->recording_.resize(self->recording_.size() + size);  // a hole: silence
        pa_stream_drop(stream);
    }
}

} // namespace vorlo::test
