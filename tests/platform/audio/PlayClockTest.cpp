#include "platform/audio/PlayClock.h"

#include <gtest/gtest.h>

namespace vorlo::test {
namespace {

using platform::PlayClock;
using namespace std::chrono_literals;

TEST(PlayClockTest, RunsOnAtTheSampleRateUpToItsLimitAndNeverBack)
{
    PlayClock clock;
    const PlayClock::TimePoint t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(clock.Frames(t0), 0);

    clock.Publish(1000, t0, 1000 + 44100, true);
    EXPECT_EQ(clock.Frames(t0), 1000);
    EXPECT_EQ(clock.Frames(t0 + 10ms), 1000 + 441);
    EXPECT_EQ(clock.Frames(t0 + 2s), 1000 + 44100);  // not past what the device holds

    // A device report a little behind the interpolation does not move the answer back.
    clock.Publish(1000 + 44000, t0 + 1s, 1000 + 88200, true);
    EXPECT_EQ(clock.Frames(t0 + 1s), 1000 + 44100);
    EXPECT_EQ(clock.Frames(t0 + 1s + 10ms), 1000 + 44000 + 441);

    clock.Hold(50000);
    EXPECT_EQ(clock.Frames(t0 + 5s), 50000);
    clock.Reset();
    EXPECT_EQ(clock.Frames(t0 + 5s), 0);
}

} // namespace
} // namespace vorlo::test
