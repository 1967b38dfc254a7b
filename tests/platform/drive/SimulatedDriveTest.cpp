#include "../audio/MonitorRecorder.h"
#include "../audio/SoundMatch.h"

#include "platform/service/ServiceFixture.h"
#include "platform/Mci.h"
#include "support/TempFolder.h"
#include "simdrive/SimDrive.h"

#include <gtest/gtest.h>

#include <ostream>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

// The cdaudio device on a drive, as libcdio and cdparanoia meet it through the kernel: the
// whole test program runs with the simulated drive preloaded (drive.cmake), as
// VORLO_SIMDRIVE_DEVICE, holding the demo disc unless a test says otherwise. Knobs go to
// the drive through its control file, and its log tells what it was asked.
namespace vorlo::test {
namespace {

constexpr std::int64_t kRate = platform::kSampleRate;
std::int64_t Frames(Clock::duration d) { return std::chrono::duration_cast<std::chrono::milliseconds>(d).count() * kRate / 1000; }

class SimulatedDriveTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetKnobs("");
        std::ofstream(std::getenv("VORLO_SIMDRIVE_LOG"), std::ios::trunc);  // the drive appends
    }

    // Replaces the drive's knobs: the demo disc, tray closed, plus `extra` lines.
    static void SetKnobs(const std::string& extra)
    {
        std::ofstream(std::getenv("VORLO_SIMDRIVE_CONTROL"))
            << "image=" VORLO_DEMO_CUE "\ntray=closed\nspinup_ms=0\nmax_speed=24\nstall_ms=0\nbad=\njitter=0\n" << extra;
        std::this_thread::sleep_for(20ms);  // a later change must show a later modification time
    }
    static int Count(const std::string& text, const std::string& what)
    {
        int count = 0;
        for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
            ++count;
        return count;
    }
    static std::string DriveLog()
    {
        std::stringstream log;
        log << std::ifstream(std::getenv("VORLO_SIMDRIVE_LOG")).rdbuf();
        return log.str();
    }

    // Sends `command` like the window does, with its ticks' queries every 100 ms for
    // `span`; returns the slowest answer of all.
    Clock::duration TickFor(Clock::duration span)
    {
        Clock::duration slowest{};
        for (const auto until = Clock::now() + span; Clock::now() < until; std::this_thread::sleep_for(100ms))
            for (const char* query : {"status cdaudio length", "status cdaudio position"})
                slowest = std::max(slowest, disc.Timed(query).took);
        return slowest;
    }

    ServiceOnDisc disc{ServiceOnDisc::Located{}};
};

// Every command is answered at once, whatever the drive is doing, and a play given while
// the disc spins up starts once it is in.
struct Scenario {
    const char* name;
    const char* knobs;
    const char* during;  // a command given in the middle, or null
};

// gtest names a row in its messages by this, not by its bytes.
void PrintTo(const Scenario& row, std::ostream* os) { *os << row.name; }

class DriveScenario : public SimulatedDriveTest, public ::testing::WithParamInterface<Scenario> {};

TEST_P(DriveScenario, EveryCommandIsAnsweredAtOnce)
{
    SetKnobs(GetParam().knobs);
    Clock::duration slowest{};
    for (const char* command : {"open cdaudio", "set cdaudio time format milliseconds", "play cdaudio"})
        slowest = std::max(slowest, disc.Timed(command).took);
    slowest = std::max(slowest, TickFor(2s));
    if (GetParam().during)
        slowest = std::max(slowest, disc.Timed(GetParam().during).took);
    slowest = std::max(slowest, TickFor(1s));
    for (const char* command : {"status cdaudio mode", "stop cdaudio", "play cdaudio from 5001", "close cdaudio"})
        slowest = std::max(slowest, disc.Timed(command).took);
    EXPECT_LT(slowest, kCommandBound) << "the slowest took " << Micros(slowest) << " us";
}

INSTANTIATE_TEST_SUITE_P(Table, DriveScenario, ::testing::Values(
    Scenario{"SpinUp", "spinup_ms=4000\n", nullptr},
    Scenario{"StallMidPlay", "stall_sector=150\nstall_ms=3000\n", nullptr},
    Scenario{"ReadsAtOneX", "max_speed=1\n", nullptr},
    Scenario{"Scratch", "bad=100-174\n", nullptr},
    Scenario{"TrayOpen", "tray=open\n", nullptr},
    Scenario{"NoDisc", "image=\n", nullptr},
    Scenario{"EjectDuringPlay", "", "set cdaudio door open"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SimulatedDriveTest, APlayDuringTheSpinUpStartsOnceTheDiscIsIn)
{
    SetKnobs("spinup_ms=1500\n");
    ASSERT_EQ(disc.Send("open cdaudio"), "0\t1");
    EXPECT_EQ(disc.Send("status cdaudio position"), "276\t");
    EXPECT_EQ(disc.Send("status cdaudio mode"), "0\tnot ready");
    EXPECT_EQ(disc.Send("play cdaudio"), "0\t") << "a play waits for a spinning disc";
    EXPECT_TRUE(disc.Eventually("status cdaudio mode", "playing", 15s));
    EXPECT_EQ(disc.Send("status cdaudio number of tracks"), "0\t4");
    EXPECT_EQ(Count(DriveLog(), "ioctl\tCDROMREADTOCHDR"), 1) << "the TOC was read more than once";
}

// With the tray open or no disc, play fails at once, every time, and says why; nothing is
// left pending to start later.
TEST_F(SimulatedDriveTest, WithoutADiscPlayFailsAtOnceEveryTime)
{
    for (const char* knobs : {"tray=open\n", "image=\n"}) {
        SetKnobs(knobs);
        ASSERT_EQ(disc.Send("open cdaudio"), "0\t1") << knobs;
        for (int attempt = 0; attempt < 2; ++attempt) {
            testing::internal::CaptureStderr();
            EXPECT_EQ(disc.Send("play cdaudio"), "276\t") << knobs;
            EXPECT_NE(testing::internal::GetCapturedStderr(), "") << "no reason given";
        }
        SetKnobs("");
        TickFor(1500ms);
        EXPECT_NE(disc.Text("status cdaudio mode"), "playing") << "a failed play started later";
        disc.Send("close cdaudio");
        // The disc that came in meanwhile was being read ahead of a play; the drive ends the
        // read in progress before it answers the next device's question.
        TickFor(500ms);
    }
}

TEST_F(SimulatedDriveTest, ADiscSwappedInIsPlayedWithItsOwnTable)
{
    TempFolder dir;
    const std::string two = TestDisc::AudioOnly(2, 300).Write(dir.Path(), "two");
    ASSERT_EQ(disc.Send("open cdaudio"), "0\t1");
    ASSERT_TRUE(disc.Eventually("status cdaudio number of tracks", "4"));
    SetKnobs("image=" + two + "\n");
    TickFor(2500ms);
    EXPECT_EQ(disc.Send("play cdaudio"), "0\t");
    EXPECT_TRUE(disc.Eventually("status cdaudio number of tracks", "2", 10s));
    EXPECT_TRUE(disc.Eventually("status cdaudio mode", "playing", 10s));
}

// A disc changed while the device was closed is read in afresh, however soon it opens again.
TEST_F(SimulatedDriveTest, ADiscSwappedWhileClosedIsReadInAgain)
{
    TempFolder dir;
    const std::string two = TestDisc::AudioOnly(2, 300).Write(dir.Path(), "two");
    ASSERT_EQ(disc.Send("open cdaudio"), "0\t1");
    ASSERT_TRUE(disc.Eventually("status cdaudio number of tracks", "4"));
    ASSERT_EQ(disc.Send("close cdaudio"), "0\t");
    SetKnobs("image=" + two + "\n");
    ASSERT_EQ(disc.Send("open cdaudio"), "0\t1");
    EXPECT_TRUE(disc.Eventually("status cdaudio number of tracks", "2", 10s));
    EXPECT_EQ(Count(DriveLog(), "ioctl\tCDROMREADTOCHDR"), 2);
}

TEST_F(SimulatedDriveTest, EjectDuringPlayStopsAndOpensTheTray)
{
    disc.Send("open cdaudio");
    ASSERT_EQ(disc.Send("play cdaudio"), "0\t");
    ASSERT_TRUE(disc.Eventually("status cdaudio mode", "playing"));
    const platform::MciDeviceId id = disc.service.DeviceId("cdaudio");
    EXPECT_EQ(disc.service.SendCommand(id, platform::kMciSet, platform::kMciSetDoorOpen, 0), 0u);
    EXPECT_EQ(disc.Text("status cdaudio mode"), "open");
    for (const auto until = Clock::now() + 10s; DriveLog().find("door\topen") == std::string::npos && Clock::now() < until;)
        std::this_thread::sleep_for(50ms);
    EXPECT_NE(DriveLog().find("door\topen"), std::string::npos) << "the tray did not open";
    EXPECT_EQ(disc.Send("play cdaudio"), "276\t");
}

// A play given somewhere else does not wait while cdparanoia reads on where the last one
// was: the drive is left after the read in progress.
TEST_F(SimulatedDriveTest, APlayElsewhereLeavesThePassInProgress)
{
    SetKnobs("max_speed=1\n");  // cdparanoia falls behind, and so is always reading
    ASSERT_EQ(disc.Send("open cdaudio"), "0\t1");
    ASSERT_TRUE(disc.Eventually("status cdaudio mode", "stopped", 10s));
    ASSERT_EQ(disc.Send("set cdaudio time format milliseconds"), "0\t");
    ASSERT_EQ(disc.Send("play cdaudio"), "0\t");
    TickFor(3s);
    // The jump comes as a pass begins (a one-sector read, then a long one): most of the
    // pass is still to be read.
    const auto passBegun = [](const std::string& log) {
        const auto last = log.rfind("\tread\t");
        const auto before = last == std::string::npos ? last : log.rfind("\tread\t", last - 1);
        return before != std::string::npos && log.find("count=1 ", before) < last &&
               log.find("count=25 ", last) != std::string::npos;
    };
    for (const auto until = Clock::now() + 10s; !passBegun(DriveLog()) && Clock::now() < until;)
        std::this_thread::sleep_for(2ms);
    const std::size_t logAtJump = DriveLog().size();
    constexpr int kTarget = 2850;  // 40 s from the lead-in, in sectors from LSN 0
    ASSERT_EQ(disc.Send("play cdaudio from 40000"), "0\t");
    TickFor(2s);
    // cdparanoia reaches back a little way behind where it starts.
    constexpr int kReachBack = 60;
    const std::string log = DriveLog();
    int reads = 0;
    for (auto at = log.find("\tread\t", logAtJump); at != std::string::npos; at = log.find("\tread\t", at + 1), ++reads)
        EXPECT_GE(std::atoi(log.c_str() + log.find("lba=", at) + 4), kTarget - kReachBack) << log.substr(at, 60);
    EXPECT_GT(reads, 0) << "nothing was read after the jump";
}

// The window's Stop closes the device, and its Eject opens it again before it opens the
// door: the disc kept across the close, which reads ahead meanwhile, does not keep the
// drive reading first.
TEST_F(SimulatedDriveTest, TheWindowsEjectOpensTheTrayAfterTheReadInProgress)
{
    SetKnobs("max_speed=1\n");  // reading ahead takes seconds
    ASSERT_EQ(disc.Send("open cdaudio"), "0\t1");
    ASSERT_TRUE(disc.Eventually("status cdaudio mode", "stopped", 10s));
    ASSERT_EQ(disc.Send("play cdaudio"), "0\t");
    TickFor(2s);
    disc.Send("stop cdaudio");
    disc.Send("close cdaudio");
    std::this_thread::sleep_for(700ms);
    const std::size_t logAtEject = DriveLog().size();
    for (const char* command : {"stop cdaudio", "close cdaudio", "open cdaudio"})
        disc.Send(command);
    const platform::MciDeviceId id = disc.service.DeviceId("cdaudio");
    EXPECT_EQ(disc.service.SendCommand(id, platform::kMciSet, platform::kMciSetDoorOpen, 0), 0u);
    std::string log;
    for (const auto until = Clock::now() + 10s; (log = DriveLog()).find("door\topen") == std::string::npos && Clock::now() < until;)
        std::this_thread::sleep_for(20ms);
    const auto opened = log.find("door\topen");
    ASSERT_NE(opened, std::string::npos) << "the tray did not open";
    int reads = 0;
    for (auto at = log.find("\tread\t", logAtEject); at < opened; at = log.find("\tread\t", at + 1))
        ++reads;
    EXPECT_LE(reads, 2) << "the drive read on before the tray opened";
}

// Reading stops for good when nothing can be read for long, with the reason said.
TEST_F(SimulatedDriveTest, AnUnreadableDiscEndsPlayWithAReason)
{
    SetKnobs("bad=100-1099\nbad_ms=20\n");  // 13 s that cannot be read, from 1.3 s in
    disc.Send("open cdaudio");
    testing::internal::CaptureStderr();
    ASSERT_EQ(disc.Send("play cdaudio"), "0\t");
    EXPECT_TRUE(disc.Eventually("status cdaudio mode", "stopped", 60s));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("play stopped"), std::string::npos);
}

// A program that ends while the drive is inside a long read does not wait for the drive,
// and touches nothing it has freed (the sanitizer build runs this too).
TEST_F(SimulatedDriveTest, AProgramEndsAtOnceWhileTheDriveStalls)
{
    SetKnobs("stall_sector=100\nstall_ms=60000\n");
    FILE* mci = popen(VORLO_MCI_PATH " >/dev/null", "w");
    ASSERT_NE(mci, nullptr);
    std::fputs("open cdaudio\nplay cdaudio\n", mci);
    std::fflush(mci);
    for (const auto until = Clock::now() + 20s; DriveLog().find("\tstall\t") == std::string::npos && Clock::now() < until;)
        std::this_thread::sleep_for(50ms);
    ASSERT_NE(DriveLog().find("\tstall\t"), std::string::npos) << "the drive never stalled";
    const auto before = Clock::now();
    EXPECT_EQ(pclose(mci), 0) << "vorlo-mci did not end cleanly";
    EXPECT_LT(Clock::now() - before, 20s) << "the program waited for the stalled read";
}

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
