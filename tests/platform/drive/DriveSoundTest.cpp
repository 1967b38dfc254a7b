#include "SimulatedDrive.h"


namespace vorlo::test {
namespace {

// What a drive plays reaches the sink bit for bit and without a break (rows with a scratch
// name the sectors that must play as silence, in their place). The drive is asked to read
// no faster than 4x.
struct Heard {
    const char* name;
    const char* knobs;
    Clock::duration play;
    std::int32_t silentFrom = 0;  // sectors that play as silence (a scratch), if any
    std::int32_t silentTo = 0;
    // How long the disc rests before the play: long enough, and the drive has read ahead of
    // it, and the play goes on from what was read ahead.
    Clock::duration rest{};
    const char* before = nullptr;  // a command given before the rest, if any
    // Whether the stop and the play are the window's: the device is closed before the rest
    // and opened again for the play, which must neither read the disc in again nor lose
    // what was read ahead.
    bool reopened = false;
};

// gtest names a row in its messages by this, not by its bytes.
void PrintTo(const Heard& row, std::ostream* os) { *os << row.name; }

// A disc of white noise for the drive to hold: on the demo disc's drones, which repeat
// every few hundred samples, cdparanoia may line a pass up a whole period off, and so may
// a match against the monitor.
class NoiseDisc {
public:
    NoiseDisc()
    {
        const std::string command = std::string(simdrive::kNoiseDiscTool) + " " + dir_.Path().string() +
                                    " noise 17 audio:1125 audio:1125";
        if (std::system(command.c_str()) != 0)
            throw std::runtime_error("cannot write the noise disc: " + command);
    }
    std::string Cue() const { return (dir_.Path() / "noise.cue").string(); }
    std::string Bin() const { return (dir_.Path() / "noise.bin").string(); }

private:
    TempFolder dir_;
};

const NoiseDisc& TheNoiseDisc()
{
    static const NoiseDisc disc;
    return disc;
}

class DriveSound : public SimulatedDriveTest, public ::testing::WithParamInterface<Heard> {
protected:
    // The sample frame from the disc's LSN 0 that a position in milliseconds names (the
    // disc's first two seconds are its lead-in).
    static std::int64_t ReportedFrame(const std::string& reply)
    {
        const std::int64_t ms = std::atoll(reply.c_str() + reply.find('\t') + 1);
        return ms * kRate / 1000 - 2 * kRate;
    }

    void SetUp() override
    {
        if (!std::getenv("PULSE_SERVER"))
            GTEST_SKIP() << "needs the private sound server that scripts/test starts";
        SimulatedDriveTest::SetUp();
        recorder_ = std::make_unique<MonitorRecorder>();
    }
    ScopedEnv realSound_{"VORLO_AUDIO", std::nullopt};
    std::unique_ptr<MonitorRecorder> recorder_;
    const Samples image_ = ReadFile(TheNoiseDisc().Bin());
};

TEST_P(DriveSound, IsHeardInPlace)
{
    const Heard& row = GetParam();
    SetKnobs("image=" + TheNoiseDisc().Cue() + "\n" + row.knobs);
    ASSERT_EQ(disc.Send("open cdaudio"), "0\t1");
    ASSERT_TRUE(disc.Eventually("status cdaudio mode", "stopped", 10s));
    ASSERT_EQ(disc.Send("set cdaudio time format milliseconds"), "0\t");
    if (row.before) {
        ASSERT_EQ(disc.Send(row.before), "0\t");
    }
    if (row.reopened) {
        ASSERT_EQ(disc.Send("close cdaudio"), "0\t");
        std::this_thread::sleep_for(row.rest);
    } else {
        TickFor(row.rest);
    }
    const std::size_t logAtPlay = DriveLog().size();
    const std::int64_t playedAt = recorder_->NowFrame();
    const auto played = Clock::now();
    if (row.reopened) {
        ASSERT_EQ(disc.Send("open cdaudio"), "0\t1");
        ASSERT_EQ(disc.Send("set cdaudio time format milliseconds"), "0\t");
    }
    ASSERT_EQ(disc.Send("play cdaudio"), "0\t");
    const std::string atPlay = disc.Send("status cdaudio position");
    std::int64_t sinkAtFirstMove = -1;  // where the sink was when the position first moved
    while (sinkAtFirstMove < 0 && Clock::now() < played + row.play) {
        if (disc.Send("status cdaudio position") != atPlay)
            sinkAtFirstMove = recorder_->NowFrame();
        std::this_thread::sleep_for(1ms);
    }
    std::this_thread::sleep_until(played + row.play);
    const std::int64_t reported = ReportedFrame(disc.Send("status cdaudio position"));
    const std::int64_t sinkAtLastQuery = recorder_->NowFrame();
    ASSERT_EQ(disc.Send("stop cdaudio"), "0\t");
    std::this_thread::sleep_for(300ms);
    recorder_->WaitForFrames(recorder_->NowFrame());
    const Samples recording = recorder_->Recording();

    const auto start = Locate(recording, image_, 0, playedAt);
    ASSERT_TRUE(start) << "the disc's start is not on the monitor";
    // The position waits for the sound (it may lead by one sector's reply), and then keeps
    // with it through stalls and scratches: the bound is ten times what bench/drive shows.
    ASSERT_NE(sinkAtFirstMove, -1) << "the position never moved";
    EXPECT_GE(sinkAtFirstMove, *start - kFramesPerSector)
        << "the position moved " << (*start - sinkAtFirstMove) * 1000 / kRate << " ms before the first sound";
    EXPECT_NEAR(reported, sinkAtLastQuery - *start, Frames(150ms)) << "the position is off what is heard";
    const std::int64_t heard = Frames(row.play) - Frames(1s);
    // A jittery drive's reads line up at one constant offset of a few samples, so the first
    // of them may be missing: the image is followed from a little way in.
    constexpr std::int64_t kPastJitter = 16;
    if (row.silentTo == 0) {
        const Match match = Follow(recording, *start + kPastJitter, image_, kPastJitter);
        EXPECT_GE(match.frames, heard) << "the image is followed for " << match.frames << " frames only";
        EXPECT_EQ(match.gaps, 0) << "the sound broke up";
    } else {
        const std::int64_t from = row.silentFrom * kFramesPerSector, to = row.silentTo * kFramesPerSector;
        EXPECT_GE(Follow(recording, *start + kPastJitter, image_, kPastJitter).frames, from - Frames(200ms))
            << "before the scratch";
        EXPECT_EQ(LastSound(std::vector(recording.begin(), recording.begin() + (*start + to - Frames(200ms)) * kFrameBytes),
                            *start + from + Frames(200ms)), -1) << "the scratch is not silent";
        EXPECT_GE(Follow(recording, *start + to + Frames(200ms), image_, to + Frames(200ms)).frames, Frames(1s))
            << "after the scratch the sound is not in its place";
    }
    const std::string log = DriveLog();
    EXPECT_EQ(Count(log, "ioctl\tCDROMREADTOCHDR"), 1) << "the disc was read in again";
    // Reading the disc in seeks to no later track: each such seek delays the first sound.
    constexpr int kSecondTrack = 1125;
    for (auto at = log.find("\tread\t"); at < logAtPlay; at = log.find("\tread\t", at + 1))
        EXPECT_LT(std::atoi(log.c_str() + log.find("lba=", at) + 4), kSecondTrack) << log.substr(at, 60);
    if (row.rest > Clock::duration{}) {
        // The play goes on from the second read ahead of it: the disc's first sectors are
        // not read again (cdparanoia reaches back a few sectors over what it has).
        constexpr int kReadAhead = 40;
        for (auto at = log.find("\tread\t", logAtPlay); at != std::string::npos; at = log.find("\tread\t", at + 1))
            EXPECT_GE(std::atoi(log.c_str() + log.find("lba=", at) + 4), kReadAhead) << log.substr(at, 60);
    }
    const auto asked = log.find("speed\trequested=4");
    ASSERT_NE(asked, std::string::npos) << "no speed was asked for";
    EXPECT_EQ(log.find("speed=24 shift", asked), std::string::npos) << "the drive read at full speed while playing";
}

INSTANTIATE_TEST_SUITE_P(Table, DriveSound, ::testing::Values(
    Heard{"Plain", "", 3s},
    Heard{"Jittery", "jitter=8\n", 3s},
    Heard{"JitteryAfterReadingAhead", "jitter=8\n", 3s, 0, 0, 3s},
    Heard{"AfterASeekAndARest", "", 3s, 0, 0, 3s, "seek cdaudio to start"},
    Heard{"ReopenedAfterAStopAndARest", "jitter=8\n", 3s, 0, 0, 3s, "play cdaudio to 2500", true},
    Heard{"StalledAfterTenSeconds", "stall_sector=750\nstall_ms=3000\n", 14s},
    Heard{"ScratchedAtTenSeconds", "bad=750-824\n", 14s, 750, 825}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace vorlo::test
