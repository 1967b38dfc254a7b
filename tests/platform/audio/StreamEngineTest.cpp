#include "EngineTestParts.h"

#include "platform/audio/StreamEngine.h"

#include <gtest/gtest.h>

#include <thread>

namespace vorlo::test {
namespace {

using platform::PlaybackEngine;
using End = platform::AudioOutput::End;
constexpr std::int64_t kSector = platform::kFramesPerSector;

class StreamEngineTest : public ::testing::Test {
protected:
    std::shared_ptr<PatternSource> source_ = std::make_shared<PatternSource>();
    ManualOutput* output_ = new ManualOutput;
    platform::StreamEngine engine_{std::unique_ptr<platform::AudioOutput>(output_)};
};

TEST_F(StreamEngineTest, PlaysExactlyTheSpanUpToAnyDataTrackAndThenStopsByItself)
{
    struct Case {
        std::int32_t first, end, audioEnd;
    } const cases[] = {{10, 200, 1 << 20}, {100, 300, 150}, {-3, 2, 1 << 20}};  // the last in a pregap
    for (const Case& c : cases) {
        source_->audioEnd = c.audioEnd;
        const std::int64_t heardEnd = std::min(c.end, c.audioEnd);
        ASSERT_EQ(engine_.PlayShared(source_, c.first, c.end), 0u);
        EXPECT_EQ(engine_.HeardLsn(), c.first);
        EXPECT_EQ(output_->Play(), FrameNumbers(c.first * kSector, heardEnd * kSector));
        output_->Finish(End::Drained);
        EXPECT_EQ(engine_.CurrentState(), PlaybackEngine::State::Stopped);
        EXPECT_EQ(engine_.HeardLsn(), static_cast<std::int32_t>(heardEnd));
    }
}

TEST_F(StreamEngineTest, AReadThatFailsForGoodEndsTheSoundBeforeTheBadSector)
{
    source_->badSector = 120;
    ASSERT_EQ(engine_.PlayShared(source_, 0, 300), 0u);
    const std::vector<std::uint32_t> played = output_->Play();
    EXPECT_LE(static_cast<std::int64_t>(played.size()), 120 * kSector);
    EXPECT_EQ(played, FrameNumbers(0, static_cast<std::uint32_t>(played.size())));
}

TEST_F(StreamEngineTest, PauseHoldsTheHeardSampleAndResumeAndPlayStartAtTheExactFrame)
{
    ASSERT_EQ(engine_.PlayShared(source_, -2, 100), 0u);
    ASSERT_EQ(output_->Play(1000).size(), 1000u);
    engine_.Pause();
    EXPECT_EQ(engine_.CurrentState(), PlaybackEngine::State::Paused);
    EXPECT_EQ(engine_.HeardFrame(), 1000 - 2 * kSector);
    engine_.Resume();
    EXPECT_EQ(output_->Play(500), FrameNumbers(1000 - 2 * kSector, 1500 - 2 * kSector));

    ASSERT_EQ(engine_.PlayShared(source_, 50, 60), 0u);  // play from elsewhere: the old span is gone
    EXPECT_EQ(output_->Play(10), FrameNumbers(50 * kSector, 50 * kSector + 10));
    engine_.Stop();
    EXPECT_EQ(engine_.HeardFrame(), 50 * kSector + 10);
    engine_.Resume();
    EXPECT_EQ(engine_.CurrentState(), PlaybackEngine::State::Stopped);
}

TEST_F(StreamEngineTest, WithoutTheDevicePlayFailsAndLosingItStopsPlayWhereItWas)
{
    output_->refuse = true;
    EXPECT_EQ(engine_.PlayShared(source_, 30, 100), PlaybackEngine::kHardwareError);
    EXPECT_EQ(engine_.CurrentState(), PlaybackEngine::State::Stopped);
    EXPECT_EQ(engine_.HeardLsn(), 30);

    output_->refuse = false;
    ASSERT_EQ(engine_.PlayShared(source_, 30, 100), 0u);
    output_->Play(2 * kSector);
    output_->Finish(End::Failed);
    EXPECT_EQ(engine_.CurrentState(), PlaybackEngine::State::Stopped);
    EXPECT_EQ(engine_.HeardLsn(), 32);
}

} // namespace
} // namespace vorlo::test
