#include "EngineTestParts.h"

#include "platform/audio/StreamEngine.h"

#include <gtest/gtest.h>

#include <memory>

namespace vorlo::test {
namespace {

using platform::AudioOutput;
using platform::PlaybackEngine;
using platform::StreamEngine;
constexpr std::int64_t kSector = platform::kFramesPerSector;

class StreamEngineTest : public ::testing::Test {
protected:
    StreamEngineTest()
    {
        auto output = std::make_unique<ManualOutput>();
        output_ = output.get();
        engine_ = std::make_unique<StreamEngine>(std::move(output));
    }

    std::shared_ptr<PatternSource> source_ = std::make_shared<PatternSource>();
    ManualOutput* output_;
    std::unique_ptr<StreamEngine> engine_;
};

TEST_F(StreamEngineTest, PlaysExactlyTheSpanAndStopsByItselfAtItsEnd)
{
    ASSERT_EQ(engine_->PlayShared(source_, 10, 200), 0u);
    EXPECT_EQ(engine_->CurrentState(), PlaybackEngine::State::Playing);
    EXPECT_EQ(engine_->HeardLsn(), 10);

    EXPECT_EQ(output_->PlayToEnd(), PatternFrames(10 * kSector, 200 * kSector));
    EXPECT_EQ(engine_->CurrentState(), PlaybackEngine::State::Stopped);
    EXPECT_EQ(engine_->HeardLsn(), 200);
}

TEST_F(StreamEngineTest, SoundEndsWhereTheAudioEndsEvenWhenTheSpanGoesOn)
{
    source_->audioEnd = 150;  // a data track from here
    ASSERT_EQ(engine_->PlayShared(source_, 100, 300), 0u);
    EXPECT_EQ(output_->PlayToEnd(), PatternFrames(100 * kSector, 150 * kSector));
    EXPECT_EQ(engine_->CurrentState(), PlaybackEngine::State::Stopped);
    EXPECT_EQ(engine_->HeardLsn(), 150);
}

TEST_F(StreamEngineTest, AReadThatFailsForGoodEndsPlayWithoutPlayingTheSectorsAfterIt)
{
    source_->badSector = 120;
    ASSERT_EQ(engine_->PlayShared(source_, 0, 300), 0u);
    const std::vector<std::uint32_t> played = output_->PlayToEnd();
    ASSERT_LE(played.size(), static_cast<std::size_t>(120 * kSector));
    EXPECT_EQ(played, PatternFrames(0, static_cast<std::int64_t>(played.size())));
    EXPECT_EQ(engine_->CurrentState(), PlaybackEngine::State::Stopped);
}

TEST_F(StreamEngineTest, PauseHoldsTheHeardSampleAndResumeContinuesFromIt)
{
    ASSERT_EQ(engine_->PlayShared(source_, 0, 100), 0u);
    ASSERT_EQ(output_->Play(1000).size(), 1000u);
    engine_->Pause();
    EXPECT_EQ(engine_->CurrentState(), PlaybackEngine::State::Paused);
    EXPECT_EQ(engine_->HeardFrame(), 1000);
    EXPECT_EQ(engine_->HeardLsn(), 1);

    engine_->Resume();
    EXPECT_EQ(engine_->CurrentState(), PlaybackEngine::State::Playing);
    EXPECT_EQ(output_->starts, 2);
    EXPECT_EQ(output_->Play(500), PatternFrames(1000, 1500));
    EXPECT_EQ(engine_->HeardFrame(), 1500);
}

TEST_F(StreamEngineTest, PlayingAgainDropsTheOldSpanAndStartsAtTheNewFrame)
{
    ASSERT_EQ(engine_->PlayShared(source_, 0, 100), 0u);
    output_->Play(300);
    ASSERT_EQ(engine_->PlayShared(source_, 50, 60), 0u);
    EXPECT_GE(output_->stops, 1);
    EXPECT_EQ(engine_->HeardLsn(), 50);
    EXPECT_EQ(output_->PlayToEnd(), PatternFrames(50 * kSector, 60 * kSector));
}

TEST_F(StreamEngineTest, StopHoldsThePositionWhereItWasHeard)
{
    ASSERT_EQ(engine_->PlayShared(source_, 20, 100), 0u);
    output_->Play(3 * kSector + 7);
    engine_->Stop();
    EXPECT_EQ(engine_->CurrentState(), PlaybackEngine::State::Stopped);
    EXPECT_EQ(engine_->HeardFrame(), 23 * kSector + 7);
    engine_->Resume();  // nothing to resume after a stop
    EXPECT_EQ(engine_->CurrentState(), PlaybackEngine::State::Stopped);
}

TEST_F(StreamEngineTest, WithoutASoundDevicePlayFailsWithAHardwareError)
{
    output_->refuse = true;
    EXPECT_EQ(engine_->PlayShared(source_, 30, 100), PlaybackEngine::kHardwareError);
    EXPECT_EQ(engine_->CurrentState(), PlaybackEngine::State::Stopped);
    EXPECT_EQ(engine_->HeardLsn(), 30);

    output_->refuse = false;  // the server is back
    EXPECT_EQ(engine_->PlayShared(source_, 30, 100), 0u);
    EXPECT_EQ(engine_->CurrentState(), PlaybackEngine::State::Playing);
}

TEST_F(StreamEngineTest, LosingTheDeviceStopsPlayAndKeepsThePosition)
{
    ASSERT_EQ(engine_->PlayShared(source_, 0, 100), 0u);
    output_->Play(2 * kSector);
    output_->Finish(AudioOutput::End::Failed);
    EXPECT_EQ(engine_->CurrentState(), PlaybackEngine::State::Stopped);
    EXPECT_EQ(engine_->HeardLsn(), 2);
}

TEST_F(StreamEngineTest, ABorrowedSourceIsReadLikeASharedOne)
{
    PatternSource source;
    ASSERT_EQ(engine_->Play(source, 5, 9), 0u);
    EXPECT_EQ(output_->PlayToEnd(), PatternFrames(5 * kSector, 9 * kSector));
    engine_->Stop();
}

} // namespace
} // namespace vorlo::test
