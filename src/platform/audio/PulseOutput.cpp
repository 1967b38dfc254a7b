#include "platform/audio/PulseOutput.h"

#include "platform/audio/OutputVolume.h"
#include "platform/audio/SectorSource.h"
#include "platform/audio/pulse/Error.h"
#include "platform/audio/pulse/LockGuard.h"
#include "platform/audio/pulse/Volume.h"

#include <pulse/timeval.h>
#include <pulse/volume.h>

#include <algorithm>
#include <chrono>

namespace vorlo::platform {

namespace {

using namespace std::chrono_literals;

constexpr std::size_t kBytesPerFrame = kBytesPerSector / kFramesPerSector;
constexpr pa_sample_spec kDiscFormat{PA_SAMPLE_S16LE, kSampleRate, 2};
// What we ask of the server: at most this much sound between our write and the ear, so
// that a stop or a jump is heard at once. (The server's own default is two seconds.)
constexpr pa_usec_t kTargetLatency = 100 * PA_USEC_PER_MSEC;
// How much the server lets drain before it asks for more. Each request wakes us, so it is
// large; what is left of the latency, (100 - 2 * 40) / 2 = 10 ms, is the sink's buffer.
constexpr pa_usec_t kRefillSize = 40 * PA_USEC_PER_MSEC;
// How long a server that accepted the connection may take to answer.
constexpr auto kServerTimeout = 1000ms;

// The disc's samples go to the sink as they are: in their own format (no FIX_* flags, so
// the stream keeps it), with their two channels neither remixed nor upmixed, at a volume
// we set ourselves. Timing is updated by the server and interpolated between updates.
constexpr pa_stream_flags_t kStreamFlags = static_cast<pa_stream_flags_t>(
    PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_AUTO_TIMING_UPDATE | PA_STREAM_ADJUST_LATENCY |
    PA_STREAM_NO_REMIX_CHANNELS | PA_STREAM_START_UNMUTED);

pa_buffer_attr BufferAttributes()
{
    constexpr auto kServerChooses = static_cast<std::uint32_t>(-1);
    pa_buffer_attr attr{};
    attr.maxlength = kServerChooses;
    attr.tlength = static_cast<std::uint32_t>(pa_usec_to_bytes(kTargetLatency, &kDiscFormat));
    attr.prebuf = kServerChooses;
    attr.minreq = static_cast<std::uint32_t>(pa_usec_to_bytes(kRefillSize, &kDiscFormat));

    attr.fragsize = kServerChooses;
    return attr;
}

} // namespace

PulseOutput::PulseOutput() = default;

PulseOutput::~PulseOutput()
{
    Stop();
    pulse::LockGuard lock(loop_);
    context_.reset();
}

void PulseOutput::Connect()
{
    if (context_ && context_->IsReady())
        return;
    context_.reset();
    context_ = std::make_unique<pulse::Context>(loop_, "Vorlo Player");
    context_->Connect(kServerTimeout);
}

bool PulseOutput::Start(SampleRing& ring, PlayClock& clock, EndHandler ended)
{
    Stop();
    pulse::LockGuard lock(loop_);
    try {
        Connect();
        ring_ = &ring;
        clock_ = &clock;
        ended_ = std::move(ended);
        writtenFrames_ = 0;
        finished_ = false;
        started_ = false;
        primed_ = false;
        volumeWord_ = OutputVolume::Word();

        pa_channel_map map;
        pa_channel_map_init_stereo(&map);
        stream_ = std::make_unique<pulse::Stream>(*context_, "Disc audio", kDiscFormat, &map);
        pa_stream_set_write_callback(stream_->Get(), OnWrite, this);
        pa_stream_set_latency_update_callback(stream_->Get(), OnLatencyUpdate, this);
        stream_->SetStateListener([this] { OnStateChange(); });
        const pa_cvolume volume = pulse::StereoVolume(volumeWord_);
        stream_->ConnectPlayback(nullptr, BufferAttributes(), kStreamFlags, &volume, kServerTimeout);
        started_ = true;
        return true;
    } catch (const pulse::Error&) {
        stream_.reset();
        ended_ = nullptr;
        ring_ = nullptr;
        clock_ = nullptr;
        if (context_ && !context_->IsReady())
            context_.reset();
        return false;
    }
}

void PulseOutput::Stop()
{
    pulse::LockGuard lock(loop_);
    if (!stream_)
        return;
    if (drain_) {
        pa_operation_cancel(drain_);
        pa_operation_unref(drain_);
        drain_ = nullptr;
    }
    if (stream_->IsReady())
        stream_->Flush();
    stream_.reset();
    ended_ = nullptr;
    ring_ = nullptr;
    clock_ = nullptr;
}

void PulseOutput::DataAvailable()
{
    pulse::LockGuard lock(loop_);
    Fill();
}

void PulseOutput::Fill()
{
    if (!stream_ || finished_ || !stream_->IsReady())
        return;
    pa_stream* stream = stream_->Get();
    std::size_t writable = pa_stream_writable_size(stream);
    if (writable == static_cast<std::size_t>(-1))
        return;
    if (!ring_->Holds(1))
        primed_ = false;  // ran dry: wait for the reader to get ahead again
    if (!primed_ && !ring_->Holds(kStartBytes))
        return;
    primed_ = true;
    while (writable >= kBytesPerFrame) {
        std::size_t size = std::min(writable, ring_->Readable());
        size -= size % kBytesPerFrame;
        if (size == 0)
            break;
        // Straight from the ring into the server's shared memory.
        void* data = nullptr;
        std::size_t room = size;
        if (pa_stream_begin_write(stream, &data, &room) < 0 || !data)
            break;
        size = ring_->Read(static_cast<std::byte*>(data), std::min(size, room) / kBytesPerFrame * kBytesPerFrame);
        if (size == 0) {
            pa_stream_cancel_write(stream);
            break;
        }
        pa_stream_write(stream, data, size, nullptr, 0, PA_SEEK_RELATIVE);
        writtenFrames_ += static_cast<std::int64_t>(size / kBytesPerFrame);
        writable -= size;
    }
    if (ring_->AtEnd() && !drain_)
        drain_ = pa_stream_drain(stream, OnDrained, this);
    FollowVolume();
    PublishClock();
}

void PulseOutput::PublishClock()
{
    const std::optional<pa_usec_t> time = stream_->Time();
    if (!time)
        return;
    const pa_timing_info* timing = pa_stream_get_timing_info(stream_->Get());
    const bool running = timing && timing->playing;
    const auto frames = static_cast<std::int64_t>(*time * kSampleRate / PA_USEC_PER_SEC);
    clock_->Publish(frames, std::chrono::steady_clock::now(), writtenFrames_, running);
}

void PulseOutput::FollowVolume()
{
    const std::uint32_t word = OutputVolume::Word();
    if (word == volumeWord_)
        return;
    volumeWord_ = word;
    stream_->SetVolume(pulse::StereoVolume(word));
}

void PulseOutput::Finish(End end)
{
    finished_ = true;
    clock_->Hold(end == End::Drained ? writtenFrames_ : clock_->Frames());
    if (ended_)
        ended_(end);
}

void PulseOutput::OnStateChange()
{
    if (started_ && !finished_ && stream_ && stream_->IsDead())
        Finish(End::Failed);
}

void PulseOutput::OnWrite(pa_stream*, std::size_t, void* userdata)
{
    static_cast<PulseOutput*>(userdata)->Fill();
}

void PulseOutput::OnLatencyUpdate(pa_stream*, void* userdata)
{
    auto* self = static_cast<PulseOutput*>(userdata);
    if (self->stream_ && !self->finished_) {
        self->FollowVolume();
        self->PublishClock();
    }
}

void PulseOutput::OnDrained(pa_stream*, int success, void* userdata)
{
    auto* self = static_cast<PulseOutput*>(userdata);
    if (self->drain_) {
        pa_operation_unref(self->drain_);
        self->drain_ = nullptr;
    }
    if (success && !self->finished_)
        self->Finish(End::Drained);
}

} // namespace vorlo::platform
