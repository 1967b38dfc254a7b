#include "platform/service/ServiceFixture.h"
#include "platform/disc/CdTime.h"

#include <gtest/gtest.h>

namespace vorlo::test {
namespace {

struct Row {
    std::string command;
    std::string expected;
    std::int32_t playFrom = -1; // when >= 0: the first sector the engine was asked to play
};

// The rows run in order on one open device; "set" rows switch the format for those after.
// Status answers for a given TOC and position have a table of their own (StatusResponderTest).
TEST(TimeFormatTest, RepliesAndRangesFollowThePlatformsRules)
{
    TempFolder dir;
    TestDisc made; // tracks at LSN 0, 1000 and 1500 (absolute sectors 150, 1150, 1650); lead-out 1800
    made.tracks = {{.sectors = 1000}, {.sectors = 500}, {.sectors = 300}};
    ServiceOnDisc disc(made.Write(dir.Path(), "three"));
    const Row rows[] = {
        {"open cdaudio", "0\t1"},
        // msf right after open; positions are absolute, so track 1 is at 00:02:00.
        {"status cdaudio time format", "0\tmsf"},
        {"status cdaudio position", "0\t00:02:00"},
        {"play cdaudio from 00:02:00", "0\t", 0},
        {"play cdaudio from 00:01:74", "282\t"},
        {"play cdaudio from 00:25:74", "0\t", 1799},
        {"play cdaudio from 00:26:00", "282\t"}, // the lead-out
        {"play cdaudio from 00:20:00 to 00:10:00", "282\t"},
        {"play cdaudio from 00:02:00 to 00:26:01", "282\t"},
        {"play cdaudio from 2", "282\t"}, // a plain 2 is 02:00:00, past this disc
        {"seek cdaudio to 00:26:00", "0\t"},
        {"seek cdaudio to 00:26:01", "282\t"},
        // Milliseconds: frames * 1000 / 75 + 1, and back with ((ms - 1) * 75 + 500) / 1000.
        {"set cdaudio time format ms", "0\t"},
        {"status cdaudio time format", "0\tmilliseconds"},
        {"play cdaudio from 1980", "282\t"}, // frame 148
        {"play cdaudio from 1999", "0\t", 0},
        {"play cdaudio from 15334", "0\t", 1000},
        {"status cdaudio position", "0\t15334"},
        {"status cdaudio current track", "0\t2"},
        {"play cdaudio from 25988", "0\t", 1799},
        {"play cdaudio from 26001", "282\t"}, // frame 1950: the lead-out
        // tmsf: positions relative to their track.
        {"set cdaudio time format tmsf", "0\t"},
        {"play cdaudio from 3", "0\t", 1500},
        {"play cdaudio from 2:00:01:00", "0\t", 1075},
        {"status cdaudio position", "0\t02:00:01:00"},
        {"play cdaudio from 4", "282\t"},
        {"play cdaudio from 0", "282\t"},
    };
    for (const Row& row : rows) {
        const int plays = disc.engine->plays;
        EXPECT_EQ(disc.Send(row.command), row.expected) << row.command;
        if (row.playFrom >= 0) {
            EXPECT_EQ(std::pair(disc.engine->plays, disc.engine->first), std::pair(plays + 1, row.playFrom))
                << row.command;
        }
    }
}

// A position read in milliseconds and played from again lands on the same sector.
TEST(TimeFormatTest, MillisecondsRoundTripOnEverySector)
{
    namespace ct = platform::cdtime;
    for (std::int64_t sector = 0; sector < platform::kSectorsPerMinute * 80; ++sector)
        ASSERT_EQ(ct::MillisecondsToSectors(ct::SectorsToMilliseconds(sector)), sector) << sector;
}

} // namespace
} // namespace vorlo::test
