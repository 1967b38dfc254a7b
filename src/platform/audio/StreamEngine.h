#pragma once

#include "platform/audio/AudioOutput.h"
#include "platform/audio/PlaybackEngine.h"
#include "platform/audio/PlayClock.h"
#include "platform/audio/SampleRing.h"
#include "platform/audio/SectorReader.h"

#include <atomic>
#include <memory>
#include <mutex>

namespace vorlo::platform {

// The playback engine: a SectorReader fills a SampleRing that an AudioOutput drains, and
// the output's PlayClock says what is heard. Positions are kept in sample frames, so that
// pause and resume meet at the exact sample.
class StreamEngine final : public PlaybackEngine {
public:
    explicit StreamEngine(std::unique_ptr<AudioOutput> output);
    ~StreamEngine() override;

    PlayError Play(std::shared_ptr<SectorSource> source, std::int32_t firstLsn, std::int32_t endLsn) override;
    void Stop() override;
    void Pause() override;
    void Resume() override;
    State CurrentState() const override;
    std::int32_t HeardLsn() const override;

    // The sample frame being heard, counted from LSN 0: HeardLsn at sample precision.
    std::int64_t HeardFrame() const;

private:
    enum class Ending { None, Drained, Failed };

    // These run with mutex_ held.
    bool StartFrom(std::int64_t frame);
    void Halt();
    bool Running() const;

    SampleRing ring_;
    PlayClock clock_;
    std::unique_ptr<AudioOutput> output_;
    SectorReader reader_;

    std::mutex mutex_;
    std::shared_ptr<SectorSource> source_;
    std::atomic<State> state_{State::Stopped};
    std::atomic<Ending> ending_{Ending::None};
    // The frame where the output's clock started counting, and the end of the span.
    std::atomic<std::int64_t> originFrame_{0};
    std::atomic<std::int64_t> endFrame_{0};
    // The position while not playing.
    std::atomic<std::int64_t> heldFrame_{0};
};

} // namespace vorlo::platform
