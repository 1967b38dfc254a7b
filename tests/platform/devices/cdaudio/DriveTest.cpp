#include "platform/service/ServiceFixture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <future>
#include <thread>

namespace vorlo::test {
namespace {

// A drive whose TOC arrives when the test releases it, as a slow drive's would, and which
// may stall over every read and door move. The device's worker may outlive a test, so it
// shares this state.
struct FakeDrive {
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<bool> empty = false; // no disc: opening the medium fails
    std::chrono::milliseconds stall{0};
    std::atomic<int> opened = 0;
    std::atomic<int> closed = 0;
};

// Two tracks, at 00:02:00 and 00:15:25, on a disc of 22 s. Sectors read as silence.
class HeldMedium final : public platform::DiscMedium {
public:
    explicit HeldMedium(std::shared_ptr<FakeDrive> drive) : drive_(std::move(drive)) {}
    platform::DiscToc ReadToc() override
    {
        drive_->released.wait();
        platform::DiscToc toc;
        toc.tracks = {{1, 0, true}, {2, 1000, true}};
        toc.leadOutLsn = 1500;
        return toc;
    }
    platform::SectorSource& Sectors() override { return sectors_; }

private:
    struct SilentSectors final : platform::SectorSource {
        explicit SilentSectors(std::chrono::milliseconds stall) : stall(stall) {}
        bool ReadSectors(std::int32_t, std::uint32_t count, std::byte* out) override
        {
            std::this_thread::sleep_for(stall);
            std::memset(out, 0, count * platform::kBytesPerSector);
            return true;
        }
        std::chrono::milliseconds stall;
    };
    std::shared_ptr<FakeDrive> drive_;
    SilentSectors sectors_{drive_->stall};
};

platform::CdAudioParts DriveParts(const std::shared_ptr<FakeDrive>& drive)
{
    platform::CdAudioParts parts;
    parts.openMedium = [drive](const platform::DiscLocation&) -> std::unique_ptr<platform::DiscMedium> {
        if (drive->empty)
            throw std::runtime_error("no disc");
        return std::make_unique<HeldMedium>(drive);
    };
    parts.moveDoor = [drive](const platform::DiscLocation&, bool open) {
        std::this_thread::sleep_for(drive->stall);
        (open ? drive->opened : drive->closed)++;
    };
    return parts;
}

class DriveTest : public ::testing::Test {
protected:
    std::shared_ptr<FakeDrive> drive = std::make_shared<FakeDrive>();
    ServiceOnDisc disc{"/dev/fake-drive", DriveParts(drive), platform::DiscLocation::Kind::Drive};
};

TEST_F(DriveTest, QueriesWaitForTheTocAndAnEarlyPlayStartsWhenItIsIn)
{
    EXPECT_EQ(disc.Send("open cdaudio"), "0\t1") << "open returns before the TOC";
    const std::pair<const char*, const char*> pending[] = {
        {"status cdaudio position", "276\t"},   {"status cdaudio media present", "276\t"},
        {"status cdaudio mode", "0\tnot ready"}, {"set cdaudio time format ms", "0\t"},
        {"play cdaudio from 15334", "0\t"},
    };
    for (const auto& [command, expected] : pending)
        EXPECT_EQ(disc.Send(command), expected) << command;
    EXPECT_EQ(disc.engine->plays, 0);

    drive->release.set_value();
    ASSERT_TRUE(disc.Eventually("status cdaudio mode", "playing"));
    EXPECT_EQ(disc.engine->first, 1000) << "the play waited for the TOC, in the format it was given in";
    EXPECT_EQ(disc.Send("status cdaudio position"), "0\t15334");
}

TEST_F(DriveTest, DoorOpensAndClosesOnTheWorker)
{
    drive->release.set_value();
    disc.Send("open cdaudio");
    ASSERT_TRUE(disc.Eventually("status cdaudio mode", "stopped"));
    disc.Send("play cdaudio");

    EXPECT_EQ(disc.service.SendCommand(1, platform::kMciSet, platform::kMciSetDoorOpen, 0), 0u);
    EXPECT_EQ(disc.engine->state, platform::PlaybackEngine::State::Stopped) << "the door stops play";
    EXPECT_EQ(disc.Send("status cdaudio mode"), "0\topen");
    EXPECT_EQ(disc.Send("status cdaudio media present"), "0\tfalse");
    EXPECT_EQ(disc.Send("play cdaudio"), "276\t");
    for (int i = 0; i < 2000 && drive->opened == 0; ++i)
        std::this_thread::sleep_for(1ms);
    EXPECT_EQ(drive->opened, 1);

    EXPECT_EQ(disc.Send("set cdaudio door closed"), "0\t");
    ASSERT_TRUE(disc.Eventually("status cdaudio mode", "stopped"));
    EXPECT_EQ(drive->closed, 1);
    EXPECT_EQ(disc.Send("status cdaudio number of tracks"), "0\t2");
}

TEST_F(DriveTest, EmptyDriveOpensButAnswersNoQuery)
{
    drive->empty = true;
    EXPECT_EQ(disc.Send("open cdaudio"), "0\t1");
    ASSERT_TRUE(disc.Eventually("status cdaudio media present", "false"));
    EXPECT_EQ(disc.Send("status cdaudio length"), "276\t");
    EXPECT_EQ(disc.Send("close cdaudio"), "0\t");
}

// The worker finishes reading on its own, after the device is gone.
TEST_F(DriveTest, ClosingWhileTheTocIsReadDoesNotWait)
{
    disc.Send("open cdaudio");
    EXPECT_EQ(disc.Send("close cdaudio"), "0\t");
    drive->release.set_value();
}

// Every command of the player and of the wider vocabulary, in an order that leaves the
// reader inside a stalled read for most of them. Pauses let the stalls begin.
const char* const kStalledScript[] = {
    "open cdaudio", "status cdaudio ready", "set cdaudio time format milliseconds", "play cdaudio",
    "status cdaudio mode", "status cdaudio position", "status cdaudio length", "status cdaudio current track",
    "pause cdaudio", "status cdaudio position track 2", "resume cdaudio",
    "play cdaudio from 15334", "status cdaudio position", "stop cdaudio", "play cdaudio",
    "seek cdaudio to start", "play cdaudio from 5001 to 10001", "set cdaudio door open",
    "status cdaudio mode", "set cdaudio door closed", "status cdaudio ready", "play cdaudio",
    "stop cdaudio", "close cdaudio", "open cdaudio", "play cdaudio", "close cdaudio",
};

// A drive that takes two seconds over every read and door move, played by the real
// engine: every command is still answered at once.
TEST(StallingDriveTest, EveryCommandIsAnsweredWithinTheBound)
{
    const auto drive = std::make_shared<FakeDrive>();
    drive->stall = 2s;
    drive->release.set_value();
    ScopedEnv node("VORLO_CDROM", "/dev/null"); // a device node: the cdaudio device takes it for a drive
    ServiceOnDisc service(ServiceOnDisc::Located{}, DriveParts(drive));
    Clock::duration slowest{};
    std::string slowestCommand, modes;
    for (const char* command : kStalledScript) {
        const TimedReply reply = service.Timed(command);
        if (std::string_view(command) == "status cdaudio mode")
            modes += reply.text + ";";
        if (reply.took > slowest)
            slowest = reply.took, slowestCommand = command;
        std::this_thread::sleep_for(50ms);
    }
    EXPECT_LT(slowest, kCommandBound) << slowestCommand << " took " << Micros(slowest) << " us";
    EXPECT_EQ(modes, "playing;open;") << "the script did not play while the drive stalled";
}

} // namespace
} // namespace vorlo::test
