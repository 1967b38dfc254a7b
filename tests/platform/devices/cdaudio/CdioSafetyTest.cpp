#include "platform/service/ServiceFixture.h"
#include "platform/audio/DiscSectorSource.h"
#include "platform/lib/cdio/CdioHandle.h"

#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <thread>

namespace vorlo::test {
namespace {

// libcdio aborts the process when two threads log at the same moment. A device's worker
// may open an image while the worker of a device being let go of still reads another, and
// a track shorter than its pregap makes libcdio warn on every open.
TEST(CdioSafetyTest, OpensAndReadsOnSeveralThreadsAtOnce)
{
    TempFolder dir;
    TestDisc disc;
    disc.tracks = {{.sectors = 75}, {.pregapSectors = 10, .sectors = 75}, {.pregapSectors = 10, .sectors = 75}};
    const std::string cue = disc.Write(dir.Path(), "short-pregaps");
    constexpr int kRounds = 300;
    constexpr std::int32_t kTrack2Start = 75 + 10; // after track 1 and track 2's pregap

    std::thread service([&] {
        for (int i = 0; i < kRounds; ++i)
            EXPECT_EQ(platform::CdioHandle::OpenImage(cue).ReadToc().tracks.size(), 3u);
    });
    std::thread reader([&] {
        std::array<std::byte, TestDisc::kBytesPerSector> sector;
        for (int i = 0; i < kRounds; ++i) {
            platform::CdioHandle image = platform::CdioHandle::OpenImage(cue);
            EXPECT_TRUE(platform::DirectSectorSource(image, platform::ReadDiscToc(image)).ReadSectors(kTrack2Start, 1, sector.data()));
        }
    });
    service.join();
    reader.join();
}

} // namespace
} // namespace vorlo::test
