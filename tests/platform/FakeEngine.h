#pragma once

#include "platform/audio/PlaybackEngine.h"

#include <memory>

namespace vorlo::test {

// A playback engine whose clock the test moves: it records the span it was asked to play,
// hears whatever sector the test says, and ends play when the test says so. The test keeps
// a pointer to its state while the device owns the engine.
struct FakeEngineState {
    platform::PlaybackEngine::State state = platform::PlaybackEngine::State::Stopped;
    std::int32_t first = -1;
    std::int32_t end = -1;
    std::int32_t heard = 0;
    int plays = 0;
    platform::MciError playError = 0;

    // Moves the heard position; past the end, play stops there by itself.
    void Hear(std::int32_t lsn)
    {
        heard = lsn;
        if (lsn >= end) {
            heard = end;
            state = platform::PlaybackEngine::State::Stopped;
        }
    }
};

class FakeEngine final : public platform::PlaybackEngine {
public:
    explicit FakeEngine(std::shared_ptr<FakeEngineState> state) : s_(std::move(state)) {}

    platform::MciError Play(platform::SectorSource&, std::int32_t firstLsn, std::int32_t endLsn) override
    {
        if (s_->playError)
            return s_->playError;
        s_->first = firstLsn;
        s_->end = endLsn;
        s_->heard = firstLsn;
        s_->state = State::Playing;
        ++s_->plays;
        return 0;
    }
    void Stop() override { s_->state = State::Stopped; }
    void Pause() override { s_->state = State::Paused; }
    void Resume() override { s_->state = State::Playing; }
    State CurrentState() const override { return s_->state; }
    std::int32_t HeardLsn() const override { return s_->heard; }

private:
    std::shared_ptr<FakeEngineState> s_;
};

} // namespace vorlo::test
