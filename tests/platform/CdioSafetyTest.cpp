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

// Sheets that are refused on open, with a reason. On the first three libcdio places a
// track before the disc's first sector or before the track ahead of it; played, they once
// sent the reader to negative sectors and past the start of its buffer. On the rest
// libcdio itself writes outside its table of tracks, or divides by a sector size of zero,
// while it opens them (found by the disc-sheet fuzzer), so they never reach it.
TEST(CdioSafetyTest, SheetsThatCannotBePlayedSafelyAreRefused)
{
    std::string hundredTracks;
    for (int n = 1; n <= 100; ++n)
        hundredTracks += "  TRACK " + std::to_string(n) + " AUDIO\n    INDEX 01 00:0" + std::to_string(n % 2) + ":00\n";
    const struct {
        const char* name;
        const char* extension;
        std::string text;
    } sheets[] = {
        {"track 2 without INDEX 01", "cue", "  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n  TRACK 02 AUDIO\n    INDEX 02 00:01:00\n"},
        {"tracks backwards", "cue", "  TRACK 01 AUDIO\n    INDEX 01 00:02:00\n  TRACK 02 AUDIO\n    INDEX 01 00:01:00\n"},
        {"two tracks at one place", "cue", "  TRACK 01 AUDIO\n    INDEX 01 00:01:00\n  TRACK 02 AUDIO\n    INDEX 01 00:01:00\n"},
        {"first track numbered far past the count", "cue", "  TRACK 90 AUDIO\n    INDEX 01 00:00:00\n"},
        {"no track", "cue", "REM nothing\n"},
        {"a hundred tracks", "cue", hundredTracks},
        {"toc without a track", "toc", "CD_DA\n"},
        {"toc track without a mode", "toc", "CD_ROM\nTRACK\nFILE \"/"},         // divided by zero
        {"toc track of an unsized mode", "toc", "CD_ROM\nTRACK MODE2\nFILE \"/\" 0\n"},
    };
    TempFolder dir;
    TestDisc::AudioOnly(3, 75).Write(dir.Path(), "disc");
    // A first track number below any integer is read without overflow; libcdio refuses it.
    std::ofstream(dir.Path() / "low.cue") << "FILE \"disc.bin\" BINARY\n  TRACK -99999999999999999999 AUDIO\n";
    EXPECT_EQ(ServiceOnDisc((dir.Path() / "low.cue").string()).Send("open cdaudio"), "296\t");
    for (const auto& sheet : sheets) {
        const std::string path = (dir.Path() / ("sheet." + std::string(sheet.extension))).string();
        const std::string file = std::string(sheet.extension) == "cue" ? "FILE \"disc.bin\" BINARY\n" : "";
        std::ofstream(path, std::ios::trunc) << file << sheet.text;
        ServiceOnDisc disc(path);
        EXPECT_EQ(disc.Send("open cdaudio"), "296\t") << sheet.name;
        EXPECT_NE(disc.service.TakeFailureDetail(), "") << sheet.name;
        EXPECT_EQ(platform::ParanoiaSectorSource(path).AudioSectorsFrom(-150, 1), 0u) << sheet.name;
    }
}

} // namespace
} // namespace vorlo::test
