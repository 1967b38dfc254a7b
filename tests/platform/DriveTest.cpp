#include "ServiceFixture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

namespace vorlo::test {
namespace {

using namespace std::chrono_literals;

struct Row {
    std::string command;
    std::string expected;
};

// A drive's disc whose TOC arrives when the test releases it, as a slow drive's would.
class HeldMedium final : public platform::DiscMedium {
public:
    HeldMedium(std::shared_future<void> release, platform::DiscToc toc) : release_(std::move(release)), toc_(std::move(toc)) {}
    platform::DiscToc ReadToc() override
    {
        release_.wait();
        return toc_;
    }
    std::unique_ptr<platform::SectorSource> CreateSource() override { return std::make_unique<NoSectors>(); }

private:
    struct NoSectors final : platform::SectorSource {
        bool ReadSectors(std::int32_t, std::uint32_t, std::byte*) override { return false; }
    };
    std::shared_future<void> release_;
    platform::DiscToc toc_;
};

platform::DiscToc TwoTracks()
{
    platform::DiscToc toc;
    toc.tracks = {{1, 0, true}, {2, 1000, true}};
    toc.leadOutLsn = 1500;
    return toc;
}

// Sends `command` until it answers `expected`, for at most two seconds.
bool Eventually(ServiceOnDisc& disc, const std::string& command, const std::string& expected)
{
    for (auto deadline = std::chrono::steady_clock::now() + 2s; std::chrono::steady_clock::now() < deadline;
         std::this_thread::sleep_for(1ms))
        if (disc.Send(command) == expected)
            return true;
    return false;
}

// The fake drive. The device's worker may outlive a test, so it shares this state.
struct FakeDrive {
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    platform::DiscToc toc = TwoTracks();
    std::atomic<bool> failOpen = false;
    std::atomic<bool> wrongPath = false;
    std::atomic<int> opened = 0;
    std::atomic<int> closed = 0;
};

class DriveTest : public ::testing::Test {
protected:
    DriveTest()
    {
        parts.openMedium = [drive = drive](const platform::DiscLocation& location) -> std::unique_ptr<platform::DiscMedium> {
            if (location.path != "/dev/fake-drive")
                drive->wrongPath = true;
            if (drive->failOpen)
                throw std::runtime_error("no disc");
            return std::make_unique<HeldMedium>(drive->released, drive->toc);
        };
        parts.moveDoor = [drive = drive](const platform::DiscLocation&, bool open) {
            (open ? drive->opened : drive->closed)++;
        };
    }
    ~DriveTest() override { EXPECT_FALSE(drive->wrongPath); }

    void Release() { drive->release.set_value(); }

    std::shared_ptr<FakeDrive> drive = std::make_shared<FakeDrive>();
    std::atomic<int>& opened = drive->opened;
    std::atomic<int>& closed = drive->closed;
    std::atomic<bool>& failOpen = drive->failOpen;
    platform::CdAudioParts parts;
};

TEST_F(DriveTest, QueriesWaitForTheTocAndAnEarlyPlayStartsWhenItIsIn)
{
    ServiceOnDisc disc("/dev/fake-drive", parts, platform::DiscLocation::Kind::Drive);
    EXPECT_EQ(disc.Send("open cdaudio"), "0\t1") << "open returns before the TOC";
    const Row pending[] = {
        {"status cdaudio position", "276\t"},      {"status cdaudio length", "276\t"},
        {"status cdaudio current track", "276\t"}, {"status cdaudio media present", "276\t"},
        {"status cdaudio mode", "0\tnot ready"},   {"status cdaudio ready", "0\tfalse"},
        {"set cdaudio time format ms", "0\t"},     {"play cdaudio from 15334", "0\t"},
    };
    for (const auto& [command, expected] : pending)
        EXPECT_EQ(disc.Send(command), expected) << command;
    EXPECT_EQ(disc.engine->plays, 0);

    Release();
    ASSERT_TRUE(Eventually(disc, "status cdaudio mode", "0\tplaying"));
    EXPECT_EQ(disc.engine->first, 1000) << "the play waited for the TOC, in the format it was given in";
    EXPECT_EQ(disc.Send("status cdaudio position"), "0\t15334");
    EXPECT_EQ(disc.Send("status cdaudio ready"), "0\ttrue");
}

TEST_F(DriveTest, DoorOpensAndClosesOnTheWorker)
{
    ServiceOnDisc disc("/dev/fake-drive", parts, platform::DiscLocation::Kind::Drive);
    Release();
    disc.Send("open cdaudio");
    ASSERT_TRUE(Eventually(disc, "status cdaudio mode", "0\tstopped"));
    disc.Send("play cdaudio");

    EXPECT_EQ(disc.service.SendCommand(1, 0x080D, 0x100, 0), 0u);
    EXPECT_EQ(disc.engine->state, platform::PlaybackEngine::State::Stopped) << "the door stops play";
    EXPECT_EQ(disc.Send("status cdaudio mode"), "0\topen");
    EXPECT_EQ(disc.Send("status cdaudio media present"), "0\tfalse");
    EXPECT_EQ(disc.Send("status cdaudio length"), "276\t");
    EXPECT_EQ(disc.Send("play cdaudio"), "276\t");
    for (int i = 0; i < 2000 && opened == 0; ++i)
        std::this_thread::sleep_for(1ms);
    EXPECT_EQ(opened, 1);

    EXPECT_EQ(disc.Send("set cdaudio door closed"), "0\t");
    ASSERT_TRUE(Eventually(disc, "status cdaudio mode", "0\tstopped"));
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(disc.Send("status cdaudio number of tracks"), "0\t2");
}

TEST_F(DriveTest, EmptyDriveOpensButAnswersNoQuery)
{
    failOpen = true;
    ServiceOnDisc disc("/dev/fake-drive", parts, platform::DiscLocation::Kind::Drive);
    EXPECT_EQ(disc.Send("open cdaudio"), "0\t1");
    ASSERT_TRUE(Eventually(disc, "status cdaudio media present", "0\tfalse"));
    EXPECT_EQ(disc.Send("status cdaudio current track"), "276\t");
    EXPECT_EQ(disc.Send("status cdaudio length"), "276\t");
    EXPECT_EQ(disc.Send("close cdaudio"), "0\t");
}

TEST_F(DriveTest, ClosingWhileTheTocIsReadDoesNotWait)
{
    {
        ServiceOnDisc disc("/dev/fake-drive", parts, platform::DiscLocation::Kind::Drive);
        disc.Send("open cdaudio");
        EXPECT_EQ(disc.Send("close cdaudio"), "0\t");
    }
    Release(); // the worker finishes on its own, after the device is gone
    std::this_thread::sleep_for(20ms);
}

} // namespace
} // namespace vorlo::test
