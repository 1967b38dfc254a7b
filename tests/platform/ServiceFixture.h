#pragma once

// A media service whose "open cdaudio" opens the cdaudio device on a disc image (or on a
// fake drive) and plays through a fake engine whose clock the test moves.
#include "platform/audio/PlaybackEngine.h"
#include "platform/cdaudio/CdAudioDevice.h"
#include "platform/service/MciService.h"
#include "support/TempFolder.h"
#include "support/TestDisc.h"

#include <memory>
#include <string>
#include <utility>

namespace vorlo::test {

// The scratch folder, under the name the platform tests use.
struct ScratchDir : TempFolder {
    const std::filesystem::path& path() const { return Path(); }
};

// What the device last asked the engine to play, and what the test says is heard and
// whether play goes on. Shared, because the device's worker may outlive a test.
struct FakeEngineState {
    platform::PlaybackEngine::State state = platform::PlaybackEngine::State::Stopped;
    std::int32_t first = -1;
    std::int32_t end = -1;
    std::int32_t heard = 0;
    int plays = 0;
};

class FakeEngine final : public platform::PlaybackEngine {
public:
    explicit FakeEngine(std::shared_ptr<FakeEngineState> state) : s_(std::move(state)) {}
    platform::MciError Play(platform::SectorSource&, std::int32_t firstLsn, std::int32_t endLsn) override
    {
        *s_ = {State::Playing, firstLsn, endLsn, firstLsn, s_->plays + 1};
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

class ServiceOnDisc {
public:
    explicit ServiceOnDisc(std::string path, platform::CdAudioParts parts = {},
                           platform::DiscLocation::Kind kind = platform::DiscLocation::Kind::Image)
        : engine(std::make_shared<FakeEngineState>()),
          service([this, path = std::move(path), parts, kind](const platform::MciOpenRequest&,
                                                              platform::MciError& error, std::string& why) {
              platform::CdAudioParts with = parts;
              with.createEngine = [state = engine] { return std::make_unique<FakeEngine>(state); };
              return std::unique_ptr<platform::MciDevice>(platform::CdAudioDevice::Open({kind, path}, with, error, why));
          })
    {
    }

    // Sends a command; returns "ERROR\tREPLY", the way vorlo-mci prints it.
    std::string Send(const std::string& command)
    {
        char reply[128];
        const platform::MciError error = service.SendString(command.c_str(), reply, sizeof reply);
        return std::to_string(error) + "\t" + reply;
    }

    std::shared_ptr<FakeEngineState> engine;
    platform::MciService service;
};

} // namespace vorlo::test
