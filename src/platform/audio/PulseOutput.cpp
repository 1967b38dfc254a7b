#include "platform/audio/PulseOutput.h"

#include "platform/audio/OutputVolume.h"
#include "platform/lib/pulse/Error.h"
#include "platform/lib/pulse/LockGuard.h"
#include "platform/lib/pulse/Properties.h"
#include "platform/lib/pulse/Volume.h"

#include <pulse/timeval.h>
#include <pulse/volume.h>

#include <sys/time.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <stdexcept>

namespace vorlo::platform {

namespace {

// The server's buffer for the stream: two seconds of sound, refilled a second at a time, so
// that a playing output wakes about once a second (and the reader with it, for its one-second
// chunk). The sink keeps what is left, 2000 - 2 * 995 = 10 ms: a flush or a cork is heard at
// once.
constexpr pa_usec_t kServerBuffer = 2000 * PA_USEC_PER_MSEC;
constexpr pa_usec_t kRefill = 995 * PA_USEC_PER_MSEC;
// After a flush, playing starts as soon as this much is queued (we queue far more at once).
constexpr pa_usec_t kStartThreshold = 10 * PA_USEC_PER_MSEC;
// Until the server reports the sound moving, it is asked this often.
constexpr pa_usec_t kStartPoll = 5 * PA_USEC_PER_MSEC;
// While it moves, a report this old is renewed at the next refill: a sink's clock that
// drifts from ours by 0.1% is then at most a few milliseconds off.
constexpr std::chrono::seconds kTimingRefresh{4};

// The samples go to the sink as they are: in their own format (no FIX_* flags, so the
// stream keeps it), with their channels neither remixed nor upmixed, at a volume we set.
// A stream starts held, until a play has queued its first frames.
constexpr pa_stream_flags_t kStreamFlags =
    static_cast<pa_stream_flags_t>(PA_STREAM_NO_REMIX_CHANNELS | PA_STREAM_START_UNMUTED | PA_STREAM_START_CORKED);

std::uint32_t Bytes(pa_usec_t usec, const pa_sample_spec& spec)
{
    return static_cast<std::uint32_t>(pa_usec_to_bytes(usec, &spec));
}

pa_cvolume VolumeFor(std::uint32_t word, const pa_channel_map& map)
{
    pa_cvolume volume = pulse::StereoVolume(word);
    pa_channel_map stereo;
    pa_channel_map_init_stereo(&stereo);
    pa_cvolume_remap(&volume, &stereo, &map);
    return volume;
}

// Said once per process: the server converts what we play.
std::atomic<bool> conversionTold{false};

} // namespace

PulseOutput::PulseOutput(const SoundFormat& format, const char* streamName, const char* role)
    : connection_(pulse::Connection::Shared()), loop_(connection_->Loop()), streamName_(streamName),
      role_(role ? role : "")
{
    spec_.format = PA_SAMPLE_S16LE;
    spec_.rate = static_cast<std::uint32_t>(format.samplesPerSecond);
    spec_.channels = static_cast<std::uint8_t>(format.channels);
    if (format.channels <= 0 || format.channels > static_cast<int>(PA_CHANNELS_MAX) || !pa_sample_spec_valid(&spec_) ||
        !pa_channel_map_init_auto(&map_, spec_.channels, PA_CHANNEL_MAP_DEFAULT))
        throw std::invalid_argument("the sound server cannot play this format");
    bytesPerFrame_ = pa_frame_size(&spec_);
    refillBytes_ = Bytes(kRefill, spec_);
    serverBytes_ = Bytes(kServerBuffer, spec_);
    pulse::LockGuard lock(loop_);
    subscription_ = connection_->Subscribe([this](pulse::Connection::Event event) { OnConnection(event); });
    if (connection_->Ready())
        OpenStream();
    else
        connection_->Reach();
}

PulseOutput::~PulseOutput()
{
    Stop();
    pulse::LockGuard lock(loop_);
    connection_->Unsubscribe(subscription_);
    CancelPending();
    DropTimingQuestion();
    if (sinkQuery_) {
        pa_operation_cancel(sinkQuery_);
        pa_operation_unref(sinkQuery_);
        sinkQuery_ = nullptr;
    }
    stream_.reset();
}

bool PulseOutput::Start(SampleRing& ring, PlayClock& clock, EndHandler ended)
{
    Stop();
    pulse::LockGuard lock(loop_);
    if (!connection_->Reach())
        return false;
    ++play_;
    ring_ = &ring;
    clock_ = &clock;
    ended_ = std::move(ended);
    startIndex_.reset();
    writtenBytes_ = 0;
    takenBytes_ = 0;
    primed_ = false;
    moving_ = false;
    finished_ = false;
    if ((!stream_ || stream_->IsDead()) && connection_->Ready())
        OpenStream();  // the server came back since the last play
    if (stream_ && stream_->IsReady())
        Prepare();
    // Otherwise Prepare runs once the stream is ready.
    return true;
}

void PulseOutput::Stop()
{
    pulse::LockGuard lock(loop_);
    if (!ring_)
        return;
    ++play_;
    CancelPending();
    if (stream_ && stream_->IsReady()) {
        stream_->Cork(true);
        stream_->Flush();
        corked_ = true;
    }
    ring_ = nullptr;
    clock_ = nullptr;
    ended_ = nullptr;
}

void PulseOutput::DataAvailable()
{
    pulse::LockGuard lock(loop_);
    Fill();
}

void PulseOutput::CancelPending()
{
    if (drain_) {
        pa_operation_cancel(drain_);
        pa_operation_unref(drain_);
        drain_ = nullptr;
    }
    if (poll_) {
        loop_.Api()->time_free(poll_);
        poll_ = nullptr;
    }
}

void PulseOutput::OnConnection(pulse::Connection::Event event)
{
    if (event == pulse::Connection::Event::Ready) {
        OpenStream();
    } else if (ring_ && !finished_) {
        Finish(End::Failed);
    }
}

void PulseOutput::OpenStream()
{
    CancelPending();
    DropTimingQuestion();
    stream_.reset();
    pa_context* context = connection_->Ready();
    if (!context)
        return;
    try {
        const pulse::Proplist properties = pulse::StreamProperties(role_.c_str());
        stream_ = std::make_unique<pulse::Stream>(context, loop_, streamName_.c_str(), spec_, &map_, properties.get());
        pa_stream_set_write_callback(stream_->Get(), OnWrite, this);
        pa_stream_set_underflow_callback(stream_->Get(), OnUnderflow, this);
        stream_->SetStateListener([this] { OnStreamState(); });
        pa_buffer_attr attr{};
        attr.maxlength = static_cast<std::uint32_t>(-1);
        attr.tlength = static_cast<std::uint32_t>(serverBytes_);
        attr.prebuf = Bytes(kStartThreshold, spec_);
        attr.minreq = static_cast<std::uint32_t>(refillBytes_);
        attr.fragsize = static_cast<std::uint32_t>(-1);
        volumeWord_ = OutputVolume::Word();
        const pa_cvolume volume = VolumeFor(volumeWord_, map_);
        corked_ = true;
        stream_->StartPlayback(nullptr, attr, kStreamFlags, &volume);
    } catch (const pulse::Error&) {
        stream_.reset();
        if (ring_ && !finished_)
            Finish(End::Failed);
    }
}

void PulseOutput::OnStreamState()
{
    if (!stream_)
        return;
    if (stream_->IsReady()) {
        CheckSinkFormat();
        if (ring_)
            Prepare();
    } else if (stream_->IsDead() && ring_ && !finished_) {
        Finish(End::Failed);
    }
}

// A play begins on an empty stream: the read index the server reports for it is where the
// play's first frame will be taken from. The server sees the flush, the release and the
// question before any of the play's frames, and the frames are written only after the
// release, so that the server makes room for them in the sink at once.
void PulseOutput::Prepare()
{
    DropTimingQuestion();  // its answer may come after the new frames have begun to play
    stream_->Flush();
    if (corked_) {
        stream_->Cork(false);
        corked_ = false;
    }
    startIndex_.reset();
    AskTiming();
    Fill();
}

void PulseOutput::Fill()
{
    if (!ring_ || finished_ || !stream_ || !stream_->IsReady())
        return;
    const std::size_t writable = pa_stream_writable_size(stream_->Get());
    if (writable == static_cast<std::size_t>(-1))
        return;
    const bool complete = ring_->Holds(static_cast<std::size_t>(-1));  // the end is in the ring
    if (!primed_ && !ring_->Holds(kStartBytes))
        return;
    primed_ = true;
    // Once the reader is well ahead, the server is topped up only in large batches, when it
    // asks; until then (a slow source, a start, a stall) every bit goes on at once.
    if (writable < refillBytes_ && !complete && ring_->Holds(serverBytes_))
        return;
    if (WriteFromRing(writable) > 0) {
        clock_->Extend(writtenBytes_ / static_cast<std::int64_t>(bytesPerFrame_));
        if (!moving_ || std::chrono::steady_clock::now() - lastReport_ >= kTimingRefresh)
            AskTiming();
    }
    if (ring_->AtEnd() && !drain_) {
        if (writtenBytes_ == 0) {
            Finish(End::Drained);
            return;
        }
        drain_ = pa_stream_drain(stream_->Get(), OnDrained, this);
    }
    FollowVolume();
}

std::size_t PulseOutput::WriteFromRing(std::size_t writable)
{
    std::size_t total = 0;
    while (writable >= bytesPerFrame_) {
        std::size_t size = std::min(writable, ring_->Readable());
        size -= size % bytesPerFrame_;
        if (size == 0)
            break;
        // Straight from the ring into the server's shared memory.
        void* data = nullptr;
        std::size_t room = size;
        if (pa_stream_begin_write(stream_->Get(), &data, &room) < 0 || !data)
            break;
        size = ring_->Read(static_cast<std::byte*>(data), std::min(size, room) / bytesPerFrame_ * bytesPerFrame_);
        if (size == 0) {
            pa_stream_cancel_write(stream_->Get());
            break;
        }
        pa_stream_write(stream_->Get(), data, size, nullptr, 0, PA_SEEK_RELATIVE);
        writtenBytes_ += static_cast<std::int64_t>(size);
        writable -= size;
        total += size;
    }
    return total;
}

void PulseOutput::AskTiming()
{
    if (timing_ || !stream_)
        return;
    timing_ = pa_stream_update_timing_info(stream_->Get(), OnTiming, this);
    timingPlay_ = play_;
}

void PulseOutput::DropTimingQuestion()
{
    if (!timing_)
        return;
    pa_operation_cancel(timing_);
    pa_operation_unref(timing_);
    timing_ = nullptr;
}

void PulseOutput::AskTimingSoon()
{
    if (poll_)
        return;
    timeval when{};
    gettimeofday(&when, nullptr);
    pa_timeval_add(&when, kStartPoll);
    poll_ = loop_.Api()->time_new(loop_.Api(), &when, OnPoll, this);
}

void PulseOutput::OnPoll(pa_mainloop_api* api, pa_time_event* event, const struct timeval*, void* userdata)
{
    auto* self = static_cast<PulseOutput*>(userdata);
    api->time_free(event);
    self->poll_ = nullptr;
    if (self->ring_ && !self->finished_)
        self->AskTiming();
}

void PulseOutput::OnTiming(pa_stream* stream, int success, void* userdata)
{
    auto* self = static_cast<PulseOutput*>(userdata);
    if (self->timing_)
        pa_operation_unref(self->timing_);
    self->timing_ = nullptr;
    if (!self->ring_ || self->finished_ || !self->stream_ || self->stream_->Get() != stream)
        return;
    const pa_timing_info* timing = pa_stream_get_timing_info(stream);
    if (!success || !timing || timing->read_index_corrupt || self->timingPlay_ != self->play_) {
        self->AskTiming();  // a report from before the play's flush: ask again
        return;
    }
    if (!self->startIndex_) {
        self->startIndex_ = static_cast<std::uint64_t>(timing->read_index);
    } else {
        self->Publish(*timing);
    }
    // Poll until the sound moves, unless the server has played everything written (the
    // sink ran out): the next write asks again.
    if (!self->moving_ && self->takenBytes_ < self->writtenBytes_)
        self->AskTimingSoon();
}

void PulseOutput::Publish(const pa_timing_info& timing)
{
    takenBytes_ = std::max<std::int64_t>(0, static_cast<std::int64_t>(timing.read_index) - static_cast<std::int64_t>(*startIndex_));
    const std::int64_t takenFrames = takenBytes_ / static_cast<std::int64_t>(bytesPerFrame_);
    const auto latencyFrames = static_cast<std::int64_t>(timing.sink_usec * spec_.rate / PA_USEC_PER_SEC);
    moving_ = timing.playing != 0 && takenFrames > 0;
    lastReport_ = std::chrono::steady_clock::now();
    // The report was true about half a round trip ago.
    const auto at = lastReport_ - std::chrono::microseconds(timing.transport_usec);
    const std::int64_t written = writtenBytes_ / static_cast<std::int64_t>(bytesPerFrame_);
    clock_->Publish(takenFrames - latencyFrames, at, written, moving_);
}

void PulseOutput::FollowVolume()
{
    const std::uint32_t word = OutputVolume::Word();
    if (word == volumeWord_)
        return;
    volumeWord_ = word;
    stream_->SetVolume(VolumeFor(word, map_));
}

void PulseOutput::Finish(End end)
{
    finished_ = true;
    CancelPending();
    clock_->Hold(end == End::Drained ? writtenBytes_ / static_cast<std::int64_t>(bytesPerFrame_) : clock_->Frames());
    if (ended_)
        ended_(end);
}

void PulseOutput::CheckSinkFormat()
{
    if (conversionTold.load() || sinkQuery_)
        return;
    sinkQuery_ = pa_context_get_sink_info_by_index(connection_->Ready(), pa_stream_get_device_index(stream_->Get()),
                                                   OnSinkInfo, this);
}

void PulseOutput::OnSinkInfo(pa_context*, const pa_sink_info* info, int eol, void* userdata)
{
    auto* self = static_cast<PulseOutput*>(userdata);
    if (eol) {
        if (self->sinkQuery_)
            pa_operation_unref(self->sinkQuery_);
        self->sinkQuery_ = nullptr;
        return;
    }
    if (!info || pa_sample_spec_equal(&info->sample_spec, &self->spec_) || conversionTold.exchange(true))
        return;
    char ours[PA_SAMPLE_SPEC_SNPRINT_MAX];
    char sink[PA_SAMPLE_SPEC_SNPRINT_MAX];
    pa_sample_spec_snprint(ours, sizeof ours, &self->spec_);
    pa_sample_spec_snprint(sink, sizeof sink, &info->sample_spec);
    std::fprintf(stderr, "vorlo: the sound server converts our %s to %s for %s: the sound is not bit-perfect\n", ours,
                 sink, info->name);
}

void PulseOutput::OnWrite(pa_stream*, std::size_t, void* userdata)
{
    static_cast<PulseOutput*>(userdata)->Fill();
}

// The sink ran out (the reader fell behind): the clock stops at the next report and waits
// for one that says the sound moves again, so that it does not run on through the gap.
void PulseOutput::OnUnderflow(pa_stream*, void* userdata)
{
    auto* self = static_cast<PulseOutput*>(userdata);
    if (!self->ring_ || self->finished_)
        return;
    self->moving_ = false;
    self->primed_ = false;  // wait for the reader to get ahead again before more goes on
    self->AskTiming();
}

void PulseOutput::OnDrained(pa_stream*, int success, void* userdata)
{
    auto* self = static_cast<PulseOutput*>(userdata);
    if (self->drain_) {
        pa_operation_unref(self->drain_);
        self->drain_ = nullptr;
    }
    if (success && self->ring_ && !self->finished_)
        self->Finish(End::Drained);
}

} // namespace vorlo::platform
