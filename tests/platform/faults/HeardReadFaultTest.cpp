// What is heard from a drive with simulated faults (jitter and underruns, verified by
// libcdio-paranoia) is the image, bit for bit, on the private server's null sink.
#include "audio/MonitorRecorder.h"
#include "audio/PulseTestSupport.h"
#include "audio/SoundMatch.h"

#include "platform/audio/ParanoiaSectorSource.h"
#include "platform/audio/PulseOutput.h"
#include "platform/audio/StreamEngine.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

namespace vorlo::test {
namespace {

using namespace std::chrono_literals;

constexpr std::int32_t kTrack2 = 1125;

TEST(HeardReadFaultTest, AJitteryDriveWithUnderrunsIsHeardBitForBit)
{
    if (!std::getenv("PULSE_SERVER"))
        GTEST_SKIP() << "needs the private sound server that scripts/test starts";
    const Samples image = ReadFile(VORLO_DEMO_BIN);
    MonitorRecorder recorder;
    const std::int64_t from = recorder.NowFrame();
    auto source = std::make_shared<platform::ParanoiaSectorSource>(
        VORLO_DEMO_CUE, platform::ParanoiaSectorSource::Verification::Verified,
        CDDA_TEST_JITTER_SMALL | CDDA_TEST_UNDERRUN);
    platform::StreamEngine engine(std::make_unique<platform::PulseOutput>());
    ASSERT_EQ(engine.PlayShared(source, kTrack2, kTrack2 + 3 * platform::kSectorsPerSecond), 0u);
    const auto deadline = std::chrono::steady_clock::now() + 8s;
    while (engine.CurrentState() != platform::PlaybackEngine::State::Stopped && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(50ms);
    ASSERT_EQ(engine.CurrentState(), platform::PlaybackEngine::State::Stopped) << "the span has not ended";
    recorder.WaitForFrames(recorder.NowFrame());

    const Samples recording = recorder.Recording();
    const std::int64_t imageFrame = kTrack2 * kFramesPerSector;
    const auto start = Locate(recording, image, imageFrame, from);
    ASSERT_TRUE(start) << "the span is not on the monitor";
    const Match match = Follow(recording, *start, image, imageFrame);
    EXPECT_EQ(match.frames, 3 * platform::kSectorsPerSecond * kFramesPerSector) << "the image is not heard whole";
    EXPECT_LE(match.gaps, 2) << "the sound broke up";
    EXPECT_LT(LastSound(recording, *start), match.end) << "other sound after the image";
    EXPECT_EQ(source->SkippedSectors(), 0u);
}

} // namespace
} // namespace vorlo::test
