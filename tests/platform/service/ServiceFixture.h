#pragma once

// A media service of the test's own over the real cdaudio device, with commands timed as
// the caller waits for them. By default it plays through a fake engine whose clock the
// test moves; the fault tests give it the real one.
#include "platform/audio/PlaybackEngine.h"
#include "platform/devices/cdaudio/CdAudioDevice.h"
#include "platform/devices/wave/WaveAudioDevice.h"
#include "platform/service/MciService.h"
#include "support/TempFolder.h"
#include "support/TestDisc.h"

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <utility>

namespace vorlo::test {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// How long the caller of any command may wait before a test calls it stuck. The service
// answers within 20 ms (bench/ measures that); ten times as much catches a command that
// waits on the drive or the sound server, and nothing a busy machine does to a fast one.
inline constexpr auto kCommandBound = 200ms;

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
    platform::PlayError Play(std::shared_ptr<platform::SectorSource>, std::int32_t firstLsn, std::int32_t endLsn) override
    {
        *s_ = {State::Playing, firstLsn, endLsn, firstLsn, s_->plays + 1};
        return platform::PlayError::None;
    }
    void Stop() override { s_->state = State::Stopped; }
    void Pause() override { s_->state = State::Paused; }
    void Resume() override { s_->state = State::Playing; }
    State CurrentState() const override { return s_->state; }
    std::int32_t HeardLsn() const override { return s_->heard; }

private:
    std::shared_ptr<FakeEngineState> s_;
};

inline std::int64_t Micros(Clock::duration d) { return std::chrono::duration_cast<std::chrono::microseconds>(d).count(); }

struct TimedReply {
    platform::MciError error = 0;
    std::string text;
    Clock::duration took{};
};

class ServiceOnDisc {
public:
    // On the disc at `path`, playing through the fake engine.
    explicit ServiceOnDisc(std::string path, platform::CdAudioParts parts = {},
                           platform::DiscLocation::Kind kind = platform::DiscLocation::Kind::Image)
        : service({.cdaudio =
                       [this, path = std::move(path), parts, kind](const platform::MciOpenRequest&,
                                                                   platform::MciError& error, std::string& why) {
                           platform::CdAudioParts with = parts;
                           with.createEngine = [state = engine] { return std::make_unique<FakeEngine>(state); };
                           return std::unique_ptr<platform::MciDevice>(
                               platform::CdAudioDevice::Open({kind, path}, with, error, why));
                       },
                   .waveaudio = platform::CreateWaveAudioDevice})
    {
    }

    // On the drive or image that VORLO_CDROM names at each open, as the player's own
    // service (a drive's disc kept a while after a close), with the engine that `parts`
    // makes (by default the one the environment picks).
    struct Located {};
    explicit ServiceOnDisc(Located, platform::CdAudioParts parts = {})
        : service({.cdaudio =
                       [parts = Shelved(parts)](const platform::MciOpenRequest&, platform::MciError& error,
                                                std::string& why) {
                           return std::unique_ptr<platform::MciDevice>(
                               platform::CdAudioDevice::OpenLocated(parts, error, why));
                       },
                   .waveaudio = platform::CreateWaveAudioDevice})
    {
    }

    static platform::CdAudioParts Shelved(platform::CdAudioParts parts)
    {
        if (!parts.shelf)
            parts.shelf = std::make_shared<platform::DiscShelf>();
        return parts;
    }

    TimedReply Timed(const std::string& command)
    {
        char reply[128] = {};
        TimedReply timed;
        const auto before = Clock::now();
        timed.error = service.SendString(command.c_str(), reply, sizeof reply);
        timed.took = Clock::now() - before;
        timed.text = reply;
        return timed;
    }
    // "ERROR\tREPLY", the way vorlo-mci prints it.
    std::string Send(const std::string& command)
    {
        const TimedReply reply = Timed(command);
        return std::to_string(reply.error) + "\t" + reply.text;
    }
    std::string Text(const std::string& command) { return Timed(command).text; }

    // Asks `command` until it answers `expected`, for at most `limit`.
    bool Eventually(const std::string& command, const std::string& expected, Clock::duration limit = 2s)
    {
        for (const auto deadline = Clock::now() + limit; Clock::now() < deadline; std::this_thread::sleep_for(5ms))
            if (Text(command) == expected)
                return true;
        return false;
    }

    std::shared_ptr<FakeEngineState> engine = std::make_shared<FakeEngineState>();
    platform::MciService service;
};

} // namespace vorlo::test
