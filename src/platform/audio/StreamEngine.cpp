#include "platform/audio/StreamEngine.h"

#include <algorithm>

namespace vorlo::platform {

namespace {

// Ten seconds of read-ahead (1.7 MB): a drive may stall, or spend seconds on a scratch,
// for most of that before the sound breaks up.
constexpr std::size_t kRingSectors = 10 * kSectorsPerSecond;

} // namespace

StreamEngine::StreamEngine(std::unique_ptr<AudioOutput> output)
    : ring_(kRingSectors * kBytesPerSector), output_(std::move(output)), reader_(ring_)
{
}

StreamEngine::~StreamEngine()
{
    std::lock_guard lock(mutex_);
    Halt();
}

PlayError StreamEngine::Play(std::shared_ptr<SectorSource> source, std::int32_t firstLsn, std::int32_t endLsn)
{
    std::lock_guard lock(mutex_);
    Halt();
    source_ = std::move(source);
    const std::int64_t first = static_cast<std::int64_t>(firstLsn) * kFramesPerSector;
    const std::int64_t end = std::max(first, static_cast<std::int64_t>(endLsn) * static_cast<std::int64_t>(kFramesPerSector));
    endFrame_.store(end);
    heldFrame_.store(first);
    if (!StartFrom(first)) {
        source_.reset();
        state_.store(State::Stopped);
        return PlayError::NoSoundServer;
    }
    return PlayError::None;
}

void StreamEngine::Stop()
{
    std::lock_guard lock(mutex_);
    if (state_.load() == State::Playing)
        heldFrame_.store(HeardFrame());
    Halt();
    source_.reset();
    state_.store(State::Stopped);
}

void StreamEngine::Pause()
{
    std::lock_guard lock(mutex_);
    if (!Running())
        return;
    heldFrame_.store(HeardFrame());
    Halt();
    state_.store(State::Paused);
}

void StreamEngine::Resume()
{
    std::lock_guard lock(mutex_);
    if (state_.load() != State::Paused)
        return;
    if (!StartFrom(heldFrame_.load())) {
        source_.reset();
        state_.store(State::Stopped);
    }
}

PlaybackEngine::State StreamEngine::CurrentState() const
{
    const State state = state_.load();
    if (state == State::Playing && ending_.load() != Ending::None)
        return State::Stopped;
    return state;
}

std::int32_t StreamEngine::HeardLsn() const
{
    return static_cast<std::int32_t>(HeardFrame() / static_cast<std::int64_t>(kFramesPerSector));
}

bool StreamEngine::Running() const
{
    return state_.load() == State::Playing && ending_.load() == Ending::None;
}

std::int64_t StreamEngine::HeardFrame() const
{
    if (state_.load() != State::Playing)
        return heldFrame_.load();
    return std::min(originFrame_.load() + clock_.Frames(), endFrame_.load());
}

bool StreamEngine::StartFrom(std::int64_t frame)
{
    ring_.Reset();
    clock_.Reset();
    ending_.store(Ending::None);
    originFrame_.store(frame);
    // The reader starts first, so that the disc is read while the stream connects.
    reader_.Start({source_, frame, endFrame_.load(), [this] { output_->DataAvailable(); }});
    const bool started = output_->Start(ring_, clock_, [this](AudioOutput::End end) {
        ending_.store(end == AudioOutput::End::Drained ? Ending::Drained : Ending::Failed);
        reader_.Cancel();
    });
    if (!started) {
        reader_.Cancel();
        return false;
    }
    state_.store(State::Playing);
    return true;
}

void StreamEngine::Halt()
{
    output_->Stop();
    reader_.Cancel();
}

} // namespace vorlo::platform
