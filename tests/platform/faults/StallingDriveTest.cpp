// A drive that takes two seconds over every read: the service still answers every
// command at once, whatever the reader is doing meanwhile.
#include "ServiceFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace vorlo::test {
namespace {

constexpr auto kStall = 2s;

// Sectors of silence, each after a stall.
class StallingSource final : public platform::SectorSource {
public:
    bool ReadSectors(std::int32_t, std::uint32_t count, std::byte* out) override
    {
        std::this_thread::sleep_for(kStall);
        std::memset(out, 0, count * platform::kBytesPerSector);
        return true;
    }
};

class StallingMedium final : public platform::DiscMedium {
public:
    platform::DiscToc ReadToc() override
    {
        platform::DiscToc toc;
        toc.tracks = {{1, 0, true}, {2, 1500, true}, {3, 3000, true}};
        toc.leadOutLsn = 4500;
        return toc;
    }
    std::unique_ptr<platform::SectorSource> CreateSource() override { return std::make_unique<StallingSource>(); }
};

platform::CdAudioParts StallingDrive()
{
    platform::CdAudioParts parts;
    parts.openMedium = [](const platform::DiscLocation&) { return std::make_unique<StallingMedium>(); };
    parts.moveDoor = [](const platform::DiscLocation&, bool) { std::this_thread::sleep_for(kStall); };
    return parts;
}

// Every command of the player and of the wider vocabulary, in an order that leaves the
// reader inside a stalled read for most of them. Pauses let the stalls begin.
const char* const kScript[] = {
    "open cdaudio", "status cdaudio ready", "set cdaudio time format milliseconds", "play cdaudio",
    "status cdaudio mode", "status cdaudio position", "status cdaudio length", "status cdaudio current track",
    "pause cdaudio", "status cdaudio position track 2", "resume cdaudio",
    "play cdaudio from 22001", "status cdaudio position", "stop cdaudio", "play cdaudio",
    "seek cdaudio to start", "play cdaudio from 40001 to 50001", "set cdaudio door open",
    "status cdaudio mode", "set cdaudio door closed", "status cdaudio ready", "play cdaudio",
    "stop cdaudio", "close cdaudio", "open cdaudio", "play cdaudio", "close cdaudio",
};

TEST(StallingDriveTest, EveryCommandIsAnsweredWithinTheBound)
{
    setenv("VORLO_CDROM", "/dev/null", 1);  // a device node: the cdaudio device takes it for a drive
    ServiceOnDisc drive(ServiceOnDisc::Located{}, StallingDrive());
    Clock::duration slowest{};
    std::string slowestCommand, modes;
    for (const char* command : kScript) {
        const TimedReply reply = drive.Timed(command);
        if (std::string_view(command) == "status cdaudio mode")
            modes += reply.text + ";";
        if (reply.took > slowest) {
            slowest = reply.took;
            slowestCommand = command;
        }
        std::this_thread::sleep_for(50ms);
    }
    EXPECT_LT(slowest, kCommandBound) << slowestCommand << " took "
                                      << std::chrono::duration_cast<std::chrono::microseconds>(slowest).count()
                                      << " us";
    EXPECT_EQ(modes, "playing;open;") << "the script did not play while the drive stalled";
}

} // namespace
} // namespace vorlo::test
