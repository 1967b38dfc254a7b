#include "platform/audio/NullOutput.h"
#include "platform/audio/ParanoiaSectorSource.h"
#include "platform/audio/StreamEngine.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace vorlo::test {
namespace {

using namespace std::chrono_literals;
using platform::PlaybackEngine;
using Clock = std::chrono::steady_clock;

double Ms(std::int64_t frames) { return static_cast<double>(frames) * 1000.0 / platform::kSampleRate; }
double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

class NullEngineTest : public ::testing::Test {
protected:
    std::shared_ptr<platform::SectorSource> source_ = std::make_shared<platform::ParanoiaSectorSource>(VORLO_DEMO_CUE);
    platform::StreamEngine engine_{std::make_unique<platform::NullOutput>()};
};

TEST_F(NullEngineTest, ThePositionKeepsRealTimeAndHoldsWhilePaused)
{
    ASSERT_EQ(engine_.PlayShared(source_, 1125, 2175), 0u);
    std::this_thread::sleep_for(100ms);
    const auto t0 = Clock::now();
    const std::int64_t p0 = engine_.HeardFrame();
    std::this_thread::sleep_for(1s);
    const auto t1 = Clock::now();
    const std::int64_t p1 = engine_.HeardFrame();
    EXPECT_NEAR(Ms(p1 - p0), Ms(t1 - t0), 20.0);

    engine_.Pause();
    const std::int32_t held = engine_.HeardLsn();
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(engine_.HeardLsn(), held);
    EXPECT_EQ(engine_.CurrentState(), PlaybackEngine::State::Paused);
    engine_.Resume();
    std::this_thread::sleep_for(300ms);
    EXPECT_NEAR(engine_.HeardLsn() - held, 22, 3);  // 300 ms is 22.5 sectors
}

TEST_F(NullEngineTest, PlayStopsByItselfOnceTheSpanHasBeenHeard)
{
    ASSERT_EQ(engine_.PlayShared(source_, 4470, 4500), 0u);  // the last 0.4 s of the disc
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(engine_.CurrentState(), PlaybackEngine::State::Playing);
    EXPECT_LT(engine_.HeardLsn(), 4500);
    std::this_thread::sleep_for(400ms);
    EXPECT_EQ(engine_.CurrentState(), PlaybackEngine::State::Stopped);
    EXPECT_EQ(engine_.HeardLsn(), 4500);
}

} // namespace
} // namespace vorlo::test
