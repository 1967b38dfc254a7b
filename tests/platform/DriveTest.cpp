#include "ServiceFixture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

namespace vorlo::test {
namespace {

// A drive whose TOC arrives when the test releases it, as a slow drive's would. The
// device's worker may outlive a test, so it shares this state.
struct FakeDrive {
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<bool> empty = false; // no disc: opening the medium fails
    std::atomic<int> opened = 0;
    std::atomic<int> closed = 0;
};

class HeldMedium final : public platform::DiscMedium {
public:
    explicit HeldMedium(std::shared_future<void> released) : released_(std::move(released)) {}
    platform::DiscToc ReadToc() override
    {
        released_.wait();
        platform::DiscToc toc;
        toc.tracks = {{1, 0, true}, {2, 1000, true}};
        toc.leadOutLsn = 1500;
        return toc;
    }
    std::unique_ptr<platform::SectorSource> CreateSource() override { return std::make_unique<NoSectors>(); }

private:
    struct NoSectors final : platform::SectorSource {
        bool ReadSectors(std::int32_t, std::uint32_t, std::byte*) override { return false; }
    };
    std::shared_future<void> released_;
};

platform::CdAudioParts DriveParts(const std::shared_ptr<FakeDrive>& drive)
{
    platform::CdAudioParts parts;
    parts.openMedium = [drive](const platform::DiscLocation&) -> std::unique_ptr<platform::DiscMedium> {
        if (drive->empty)
            throw std::runtime_error("no disc");
        return std::make_unique<HeldMedium>(drive->released);
    };
    parts.moveDoor = [drive](const platform::DiscLocation&, bool open) { (open ? drive->opened : drive->closed)++; };
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
        {"status cdaudio position", "276\t"},      {"status cdaudio length", "276\t"},
        {"status cdaudio current track", "276\t"}, {"status cdaudio media present", "276\t"},
        {"status cdaudio mode", "0\tnot ready"},   {"status cdaudio ready", "0\tfalse"},
        {"set cdaudio time format ms", "0\t"},     {"play cdaudio from 15334", "0\t"},
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

    EXPECT_EQ(disc.service.SendCommand(1, 0x080D, 0x100, 0), 0u);
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

} // namespace
} // namespace vorlo::test
