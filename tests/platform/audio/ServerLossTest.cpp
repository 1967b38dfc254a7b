#include "PulseTestSupport.h"

#include "platform/audio/ParanoiaSectorSource.h"
#include "platform/audio/PlaybackEngine.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace vorlo::test {
namespace {

using namespace std::chrono_literals;
using platform::PlaybackEngine;
using Clock = std::chrono::steady_clock;

// Waits up to `limit` for the engine to stop by itself.
bool StopsWithin(const PlaybackEngine& engine, Clock::duration limit)
{
    const auto deadline = Clock::now() + limit;
    while (engine.CurrentState() != PlaybackEngine::State::Stopped) {
        if (Clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

class ServerLossTest : public ::testing::Test {
protected:
    ScopedEnv realSound_{"VORLO_AUDIO", std::nullopt};
    std::shared_ptr<platform::SectorSource> source_ = std::make_shared<platform::ParanoiaSectorSource>(VORLO_DEMO_CUE);
};

TEST_F(ServerLossTest, WhenTheServerDiesDuringPlayPlayStopsAndNothingHangs)
{
    PrivateServer server;
    ASSERT_TRUE(server.Start());
    ScopedEnv address("PULSE_SERVER", server.Address());
    const auto engine = PlaybackEngine::Create();
    ASSERT_EQ(engine->PlayShared(source_, 0, 750), 0u);
    std::this_thread::sleep_for(500ms);

    server.Kill();
    EXPECT_TRUE(StopsWithin(*engine, 2s));
    const std::int32_t held = engine->HeardLsn();
    EXPECT_GT(held, 0);
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(engine->HeardLsn(), held);

    const auto before = Clock::now();
    engine->Stop();
    EXPECT_EQ(engine->PlayShared(source_, 0, 750), PlaybackEngine::kHardwareError);
    EXPECT_LT(Clock::now() - before, 1s);

    ASSERT_TRUE(server.Start());
    EXPECT_EQ(engine->PlayShared(source_, 0, 750), 0u);
}

TEST_F(ServerLossTest, WithoutAServerPlayFailsAtOnceEverythingElseWorksAndTheNextPlayAfterItComesBackWorks)
{
    PrivateServer server;
    ScopedEnv address("PULSE_SERVER", server.Address());  // no server there
    ScopedEnv disc("VORLO_CDROM", VORLO_DEMO_CUE);
    ASSERT_EQ(Mci("open cdaudio").error, 0u);
    const auto before = Clock::now();
    EXPECT_EQ(Mci("play cdaudio").error, PlaybackEngine::kHardwareError);
    EXPECT_LT(Clock::now() - before, 1s);
    EXPECT_EQ(Mci("status cdaudio mode").text, "stopped");
    EXPECT_EQ(Mci("status cdaudio number of tracks").text, "4");

    ASSERT_TRUE(server.Start());
    EXPECT_EQ(Mci("play cdaudio").error, 0u);
    EXPECT_EQ(Mci("status cdaudio mode").text, "playing");
    EXPECT_EQ(Mci("stop cdaudio").error, 0u);
    EXPECT_EQ(Mci("close cdaudio").error, 0u);
}

} // namespace
} // namespace vorlo::test
