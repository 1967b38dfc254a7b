#include "ServiceFixture.h"
#include "platform/audio/ParanoiaSectorSource.h"
#include "platform/audio/cdio/CdioHandle.h"

#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <fstream>
#include <thread>

namespace vorlo::test {
namespace {

// libcdio aborts the process when two threads log at the same moment. The service opens
// images on its own thread while the playback engine's reader opens the same image on
// another, and a track shorter than its pregap makes libcdio warn on every open.
TEST(CdioSafetyTest, OpensAndReadsOnSeveralThreadsAtOnce)
{
    TempFolder dir;
    TestDisc disc;
    disc.tracks = {{.sectors = 75}, {.pregapSectors = 10, .sectors = 75}, {.pregapSectors = 10, .sectors = 75}};
    const std::string cue = disc.Write(dir.Path(), "short-pregaps");
    constexpr int kRounds = 300;

    std::thread service([&] {
        for (int i = 0; i < kRounds; ++i)
            EXPECT_EQ(platform::CdioHandle::OpenImage(cue).ReadToc().tracks.size(), 3u);
    });
    std::thread reader([&] {
        std::array<std::byte, TestDisc::kBytesPerSector> sector;
        for (int i = 0; i < kRounds; ++i)
            EXPECT_TRUE(platform::ParanoiaSectorSource(cue).ReadSectors(disc.StartLsn(1), 1, sector.data()));
    });
    service.join();
    reader.join();
}

// Sheets on which libcdio places a track before the disc's first sector or before the
// track ahead of it. Played, they once sent the reader to negative sectors and past the
// start of its buffer; now the device refuses them on open, and the reader skips them.
TEST(CdioSafetyTest, TracksOutOfPlaceAreRefused)
{
    const std::pair<const char*, const char*> sheets[] = {
        {"track 2 without INDEX 01", "  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n  TRACK 02 AUDIO\n    INDEX 02 00:01:00\n"},
        {"tracks backwards", "  TRACK 01 AUDIO\n    INDEX 01 00:02:00\n  TRACK 02 AUDIO\n    INDEX 01 00:01:00\n"},
        {"two tracks at one place", "  TRACK 01 AUDIO\n    INDEX 01 00:01:00\n  TRACK 02 AUDIO\n    INDEX 01 00:01:00\n"},
    };
    TempFolder dir;
    const std::string cue = TestDisc::AudioOnly(3, 75).Write(dir.Path(), "disc");
    for (const auto& [name, tracks] : sheets) {
        std::ofstream(cue, std::ios::trunc) << "FILE \"disc.bin\" BINARY\n" << tracks;
        ServiceOnDisc disc(cue);
        EXPECT_EQ(disc.Send("open cdaudio"), "296\t") << name;
        EXPECT_NE(disc.service.TakeFailureDetail(), "") << name;
        EXPECT_EQ(platform::ParanoiaSectorSource(cue).AudioSectorsFrom(-150, 1), 0u) << name;
    }
}

} // namespace
} // namespace vorlo::test
