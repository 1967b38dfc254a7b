#include "SimulatedDrive.h"


namespace vorlo::test {
namespace {

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

} // namespace
} // namespace vorlo::test
