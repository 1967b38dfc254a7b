#include "SoundMatch.h"

#include "platform/audio/ParanoiaSectorSource.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace vorlo::test {
namespace {

using platform::ParanoiaSectorSource;
using platform::kBytesPerSector;

std::string SharedDisc(const std::string& name) { return VORLO_LIBCDIO_DISCS "/" + name; }

TEST(ParanoiaSectorSourceTest, EveryWayOfReadingGivesTheImageBytes)
{
    const Samples image = ReadFile(std::string(VORLO_DEMO_BIN));
    ASSERT_FALSE(image.empty());
    constexpr std::int32_t kTrack2 = 1125;
    for (const auto verification : {ParanoiaSectorSource::Verification::Automatic,
                                    ParanoiaSectorSource::Verification::Verified,
                                    ParanoiaSectorSource::Verification::Direct}) {
        SCOPED_TRACE(static_cast<int>(verification));
        ParanoiaSectorSource source(VORLO_DEMO_CUE, verification);
        std::vector<std::byte> sectors(30 * kBytesPerSector);
        ASSERT_TRUE(source.ReadSectors(kTrack2 - 10, 30, sectors.data()));
        EXPECT_EQ(std::memcmp(sectors.data(), &image[(kTrack2 - 10) * kBytesPerSector], sectors.size()), 0);
        // Not in sequence: a jump back.
        ASSERT_TRUE(source.ReadSectors(3, 2, sectors.data()));
        EXPECT_EQ(std::memcmp(sectors.data(), &image[3 * kBytesPerSector], 2 * kBytesPerSector), 0);
        EXPECT_EQ(source.SkippedSectors(), 0u);
    }
}

TEST(ParanoiaSectorSourceTest, OnlyAudioTracksAreRead)
{
    struct Case {
        std::string disc;
        std::int32_t lsn;
        std::uint32_t count;
        std::uint32_t audio;
    };
    const Case cases[] = {
        {SharedDisc("cd-extra.cue"), 0, 20, 20},      // audio track 1, data from 150
        {SharedDisc("cd-extra.cue"), 140, 20, 10},
        {SharedDisc("cd-extra.cue"), 150, 5, 0},
        {SharedDisc("mixed-mode-cd.cue"), 0, 5, 0},   // data track 1, audio from 150
        {SharedDisc("mixed-mode-cd.cue"), 149, 5, 0},
        {SharedDisc("mixed-mode-cd.cue"), 150, 10, 10},
        {SharedDisc("mixed-mode-cd.cue"), 290, 20, 12},  // the lead-out is at 302
        {VORLO_DEMO_CUE, 1120, 10, 10},                // adjacent audio tracks are one run
        {VORLO_DEMO_CUE, 4490, 20, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.disc + " from " + std::to_string(c.lsn));
        ParanoiaSectorSource source(c.disc);
        EXPECT_EQ(source.AudioSectorsFrom(c.lsn, c.count), c.audio);
        std::vector<std::byte> sectors(c.count * kBytesPerSector);
        EXPECT_EQ(source.ReadSectors(c.lsn, c.count, sectors.data()), c.audio == c.count);
    }
}

TEST(ParanoiaSectorSourceTest, ADiscThatCannotBeOpenedFailsItsReadsWithoutThrowing)
{
    ParanoiaSectorSource source("/nonexistent/disc.cue");
    std::vector<std::byte> sector(kBytesPerSector);
    EXPECT_EQ(source.AudioSectorsFrom(0, 1), 0u);
    EXPECT_FALSE(source.ReadSectors(0, 1, sector.data()));
}

} // namespace
} // namespace vorlo::test
