#include "platform/audio/NullOutput.h"
#include "platform/audio/DiscSectorSource.h"
#include "platform/audio/StreamEngine.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace vorlo::test {
namespace {

using namespace std::chrono_literals;
using platform::PlaybackEngine;
using Clock = std::chrono::steady_clock;

// The null device keeps real time, and a span ends by itself once it has been heard. The
// span is the demo disc's last 1.6 s.
TEST(NullEngineTest, KeepsRealTimeAndStopsOnceTheSpanIsHeard)
{
    platform::CdioHandle disc = platform::CdioHandle::OpenImage(VORLO_DEMO_CUE);
    platform::StreamEngine engine(std::make_unique<platform::NullOutput>());
    ASSERT_EQ(engine.Play(std::make_shared<platform::DirectSectorSource>(disc, platform::ReadDiscToc(disc)), 4380, 4500), platform::PlayError::None);
    std::this_thread::sleep_for(100ms);
    const auto t0 = Clock::now();
    const std::int64_t p0 = engine.HeardFrame();
    std::this_thread::sleep_for(1s);
    const double heardMs = static_cast<double>(engine.HeardFrame() - p0) * 1000.0 / platform::kSampleRate;
    const std::chrono::duration<double, std::milli> elapsed = Clock::now() - t0;
    // The device paces itself by the clock: it never gets ahead of it, and it falls behind
    // only by what a busy machine withholds from its thread.
    EXPECT_LE(heardMs, elapsed.count() + 1000.0 / platform::kSectorsPerSecond);
    EXPECT_GE(heardMs, elapsed.count() - 200.0);
    EXPECT_EQ(engine.CurrentState(), PlaybackEngine::State::Playing);
    std::this_thread::sleep_for(700ms);
    EXPECT_EQ(engine.CurrentState(), PlaybackEngine::State::Stopped);
    EXPECT_EQ(engine.HeardLsn(), 4500);
}

} // namespace
} // namespace vorlo::test
