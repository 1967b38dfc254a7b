#include "MonitorRecorder.h"
#include "SoundMatch.h"

#include "platform/service/ServiceFixture.h"
#include "platform/audio/DiscSectorSource.h"
#include "platform/audio/PulseOutput.h"
#include "platform/audio/StreamEngine.h"
#include "support/TempFolder.h"
#include "support/TestDisc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

namespace vorlo::test {
namespace {

constexpr std::int64_t kRate = platform::kSampleRate;
constexpr std::int32_t kTrack2Lsn = 1125;  // where the demo disc's tracks 2 and 3 start
constexpr std::int64_t kTrack2Frame = kTrack2Lsn * kFramesPerSector;
constexpr std::int64_t kTrack3Frame = 2175 * kFramesPerSector;

std::int64_t Frames(std::chrono::milliseconds ms) { return ms.count() * kRate / 1000; }

// Plays through the service's command strings into the private server's null sink,
// recording its monitor. Each test opens the demo disc (or another) and closes it again.
class SoundEndToEndTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!std::getenv("PULSE_SERVER"))
            GTEST_SKIP() << "needs the private sound server that scripts/test starts";
        recorder_ = std::make_unique<MonitorRecorder>();
    }

    void TearDown() override
    {
        Mci("stop cdaudio");
        Mci("close cdaudio");
    }

    TimedReply Mci(const std::string& command) { return service_.Timed(command); }

    void Open(const std::string& disc)
    {
        disc_.emplace("VORLO_CDROM", disc);
        ASSERT_EQ(Mci("open cdaudio").error, 0u);
    }

    // Stops, then waits until everything played so far is in the recording.
    Samples StopAndRecord()
    {
        EXPECT_EQ(Mci("stop cdaudio").error, 0u);
        std::this_thread::sleep_for(200ms);
        recorder_->WaitForFrames(recorder_->NowFrame());
        return recorder_->Recording();
    }

    // From recording frame `at` to the end, the recording holds the image's frames from
    // `imageFrame` on, bit for bit and in order, for at least `least`, and then silence.
    // A busy machine may starve the sink for a moment; such gaps of silence are told apart
    // from changed samples, and a few are let pass.
    void ExpectOnlyTheImage(const Samples& recording, std::int64_t at, std::int64_t imageFrame,
                            std::chrono::milliseconds least)
    {
        const Match match = Follow(recording, at, image_, imageFrame);
        EXPECT_GE(match.frames, Frames(least)) << "the image is followed for " << match.frames << " frames only";
        EXPECT_LE(match.gaps, 2) << "the sound broke up";
        EXPECT_LT(LastSound(recording, at), match.end) << "after " << match.frames << " frames, other sound";
    }

    const Samples image_ = ReadFile(VORLO_DEMO_BIN);
    ScopedEnv realSound_{"VORLO_AUDIO", std::nullopt};
    std::optional<ScopedEnv> disc_;
    std::unique_ptr<MonitorRecorder> recorder_;
    ServiceOnDisc service_{ServiceOnDisc::Located{}};
};

// Play from track 2, then from track 3: each is heard from its exact first frame, bit for
// bit, and nothing before it.
TEST_F(SoundEndToEndTest, PlayFromATrackIsHeardBitForBitFromItsExactFirstFrame)
{
    Open(VORLO_DEMO_CUE);
    ASSERT_EQ(Mci("set cdaudio time format tmsf").error, 0u);
    ASSERT_EQ(Mci("play cdaudio from 2").error, 0u);
    std::this_thread::sleep_for(1000ms);
    const std::int64_t jumpedAt = recorder_->NowFrame();
    ASSERT_EQ(Mci("play cdaudio from 3").error, 0u);
    std::this_thread::sleep_for(1500ms);
    const Samples recording = StopAndRecord();

    const auto start2 = Locate(recording, image_, kTrack2Frame);
    ASSERT_TRUE(start2) << "track 2 is not on the monitor";
    EXPECT_GE(FirstSound(recording), *start2) << "something was played before track 2";
    EXPECT_GE(Follow(recording, *start2, image_, kTrack2Frame).frames, Frames(800ms));
    const auto start3 = Locate(recording, image_, kTrack3Frame, jumpedAt - Frames(100ms));
    ASSERT_TRUE(start3) << "track 3 is not on the monitor";
    ExpectOnlyTheImage(recording, *start3, kTrack3Frame, 1300ms);
    constexpr std::int64_t kBefore = 64; // the frames just before it are not the image's
    EXPECT_LT(MatchingFrames(recording, *start3 - kBefore, image_, kTrack3Frame - kBefore), kBefore);
}

TEST_F(SoundEndToEndTest, TheReportedPositionAdvancesAtRealTimeAndHoldsWhilePaused)
{
    Open(VORLO_DEMO_CUE);
    ASSERT_EQ(Mci("set cdaudio time format milliseconds").error, 0u);
    ASSERT_EQ(Mci("play cdaudio").error, 0u);
    std::this_thread::sleep_for(300ms);

    // Over 2 s the position runs at the clock's pace: a position that froze, ran double, or
    // counted what was read instead of what was heard is far outside 200 ms. How close it
    // stays to the sound is measured in bench/.
    const auto position = [&] { return std::stod(Mci("status cdaudio position").text); };
    const auto t0 = Clock::now();
    const double p0 = position();
    std::this_thread::sleep_for(2s);
    const double advanced = position() - p0;
    const std::chrono::duration<double, std::milli> elapsed = Clock::now() - t0;
    EXPECT_NEAR(advanced, elapsed.count(), 200) << "position ran " << advanced << " ms in " << elapsed.count() << " ms";

    ASSERT_EQ(Mci("pause cdaudio").error, 0u);
    const std::string held = Mci("status cdaudio position").text;
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(Mci("status cdaudio position").text, held);
    EXPECT_EQ(Mci("status cdaudio mode").text, "paused");
}

// Stop silences the sink at once and for good. The bound catches a stop that waits for
// the buffered sound to drain; how fast it really is (a goal of 50 ms) is measured in bench/.
TEST_F(SoundEndToEndTest, StopSilencesTheSink)
{
    Open(VORLO_DEMO_CUE);
    for (int round = 0; round < 3; ++round) {
        ASSERT_EQ(Mci("play cdaudio").error, 0u);
        std::this_thread::sleep_for(700ms);
        const std::int64_t stoppedAt = recorder_->NowFrame();
        ASSERT_EQ(Mci("stop cdaudio").error, 0u);
        std::this_thread::sleep_for(1s);
        recorder_->WaitForFrames(recorder_->NowFrame());
        const std::int64_t lastSound = LastSound(recorder_->Recording());
        ASSERT_GE(lastSound, 0);
        EXPECT_LE(lastSound - stoppedAt, Frames(500ms)) << "round " << round;
    }
}

// Every 2352-byte data sector begins with this sync pattern; audio never has it here.
bool HoldsDataSync(const Samples& recording)
{
    constexpr std::string_view kSync("\0\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\0", 12);
    return std::search(recording.begin(), recording.end(), kSync.begin(), kSync.end(),
                       [](std::byte b, char c) { return b == static_cast<std::byte>(c); }) != recording.end();
}

// A real enhanced CD (data last), and a generated mixed-mode disc (data first) whose audio
// is not silent.
TEST_F(SoundEndToEndTest, DataTracksNeverReachTheSink)
{
    TempFolder dir;
    const TestDisc mixed{{{.audio = false, .sectors = 150}, {.audio = true, .sectors = 75}}};
    const std::pair<std::string, std::chrono::milliseconds> discs[] = {  // with how long their audio plays
        {VORLO_LIBCDIO_DISCS "/cd-extra.cue", 2000ms}, {mixed.Write(dir.Path(), "mixed"), 1000ms}};
    for (const auto& [disc, audio] : discs) {
        SCOPED_TRACE(disc);
        const std::int64_t from = recorder_->NowFrame();
        Open(disc);
        ASSERT_EQ(Mci("play cdaudio").error, 0u);
        std::this_thread::sleep_for(audio + 600ms);
        EXPECT_EQ(Mci("status cdaudio mode").text, "stopped") << "play went on past the audio";
        const Samples all = StopAndRecord();
        ASSERT_EQ(Mci("close cdaudio").error, 0u);
        const Samples recording(all.begin() + from * kFrameBytes, all.end());
        EXPECT_FALSE(HoldsDataSync(recording));
        EXPECT_NE(FirstSound(recording), -1);
    }
}

TEST_F(SoundEndToEndTest, VorloMciPutsTheFirstTwoSecondsOfTheDiscOnTheDefaultSink)
{
    ScopedEnv disc("VORLO_CDROM", VORLO_DEMO_CUE);
    const std::string replies = testing::TempDir() + "/vorlo-mci-replies.txt";
    std::remove(replies.c_str());
    FILE* mci = popen((std::string(VORLO_MCI_PATH) + " > " + replies).c_str(), "w");
    ASSERT_NE(mci, nullptr);
    std::fputs("open cdaudio\nset cdaudio time format milliseconds\nplay cdaudio\n", mci);
    std::fflush(mci);
    // The two seconds count from the answer to "play", however long the program took to start.
    const auto answers = [&] {
        std::ifstream in(replies);
        return std::count(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>(), '\n');
    };
    for (int i = 0; i < 500 && answers() < 3; ++i)
        std::this_thread::sleep_for(10ms);
    std::this_thread::sleep_for(2s);
    ASSERT_EQ(pclose(mci), 0);
    std::this_thread::sleep_for(200ms);
    recorder_->WaitForFrames(recorder_->NowFrame());
    const Samples recording = recorder_->Recording();

    const auto start = Locate(recording, image_, 0);
    ASSERT_TRUE(start) << "the disc's start is not on the monitor";
    ExpectOnlyTheImage(recording, *start, 0, 1900ms);
    EXPECT_GE(FirstSound(recording), *start) << "something was played before the disc's start";
}

// A drive with simulated faults (jitter and underruns), verified by libcdio-paranoia, is
// still heard bit for bit.
TEST_F(SoundEndToEndTest, AJitteryDriveWithUnderrunsIsHeardBitForBit)
{
    const std::int64_t from = recorder_->NowFrame();
    platform::CdioHandle disc = platform::CdioHandle::OpenImage(VORLO_DEMO_CUE);
    auto source = std::make_shared<platform::ParanoiaSectorSource>(disc, platform::ReadDiscToc(disc),
                                                                   CDDA_TEST_JITTER_SMALL | CDDA_TEST_UNDERRUN);
    platform::StreamEngine engine(std::make_unique<platform::PulseOutput>());
    ASSERT_EQ(engine.Play(source, kTrack2Lsn, kTrack2Lsn + 3 * platform::kSectorsPerSecond), platform::PlayError::None);
    for (const auto deadline = Clock::now() + 8s;
         engine.CurrentState() != platform::PlaybackEngine::State::Stopped && Clock::now() < deadline;)
        std::this_thread::sleep_for(50ms);
    ASSERT_EQ(engine.CurrentState(), platform::PlaybackEngine::State::Stopped) << "the span has not ended";
    recorder_->WaitForFrames(recorder_->NowFrame());

    const Samples recording = recorder_->Recording();
    const auto start = Locate(recording, image_, kTrack2Frame, from);
    ASSERT_TRUE(start) << "the span is not on the monitor";
    ExpectOnlyTheImage(recording, *start, kTrack2Frame, 3000ms);
    EXPECT_EQ(Follow(recording, *start, image_, kTrack2Frame).frames, 3 * kRate) << "the image is not heard whole";
    EXPECT_EQ(source->SkippedSectors(), 0u);
}

} // namespace
} // namespace vorlo::test
