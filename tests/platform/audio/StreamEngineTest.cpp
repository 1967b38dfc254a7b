#include "platform/audio/StreamEngine.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

namespace vorlo::test {
namespace {

using platform::PlaybackEngine;
using End = platform::AudioOutput::End;
constexpr std::int64_t kSector = platform::kFramesPerSector;

// A disc whose every sample frame holds its own number; audio ends at `audioEnd`.
struct PatternSource final : platform::SectorSource {
    std::int32_t audioEnd = 1 << 20;

    bool ReadSectors(std::int32_t lsn, std::uint32_t count, std::byte* out) override
    {
        for (std::int64_t i = 0; i < count * kSector; ++i) {
            const auto frame = static_cast<std::uint32_t>(lsn * kSector + i);
            std::memcpy(out + 4 * i, &frame, 4);
        }
        return true;
    }
    std::uint32_t AudioSectorsFrom(std::int32_t lsn, std::uint32_t count) override
    {
        return lsn >= audioEnd ? 0 : std::min(count, static_cast<std::uint32_t>(audioEnd - lsn));
    }
};

std::vector<std::uint32_t> FrameNumbers(std::int64_t first, std::int64_t end)
{
    std::vector<std::uint32_t> frames;
    for (std::int64_t frame = first; frame < end; ++frame)
        frames.push_back(static_cast<std::uint32_t>(frame));
    return frames;
}

// A sound device the test drives: it takes from the ring only when told to, and says that
// exactly what it took has been heard.
class ManualOutput final : public platform::AudioOutput {
public:
    bool refuse = false;

    bool Start(platform::SampleRing& ring, platform::PlayClock& clock, EndHandler ended) override
    {
        std::lock_guard lock(mutex_);
        ring_ = refuse ? nullptr : &ring, clock_ = &clock, ended_ = std::move(ended), heard_ = 0;
        return !refuse;
    }
    void Stop() override
    {
        std::lock_guard lock(mutex_);
        ring_ = nullptr;
    }
    void DataAvailable() override {}

    // Plays up to `frames` frames as the reader supplies them, or up to the ring's end;
    // returns the frame numbers played.
    std::vector<std::uint32_t> Play(std::size_t frames = 1 << 24)
    {
        std::lock_guard lock(mutex_);
        std::vector<std::uint32_t> played;
        for (int idle = 0; ring_ && played.size() < frames && !ring_->AtEnd() && idle < 1000;) {
            std::uint32_t frame = 0;
            if (ring_->Read(reinterpret_cast<std::byte*>(&frame), 4) == 4)
                played.push_back(frame), idle = 0;
            else
                ++idle, std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        heard_ += static_cast<std::int64_t>(played.size());
        clock_->Hold(heard_);
        return played;
    }
    void Finish(End end) { ended_(end); }

private:
    std::mutex mutex_;
    platform::SampleRing* ring_ = nullptr;
    platform::PlayClock* clock_ = nullptr;
    EndHandler ended_;
    std::int64_t heard_ = 0;
};

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
