#include "ServiceFixture.h"
#include "platform/cdaudio/CdTime.h"

#include <gtest/gtest.h>

namespace vorlo::test {
namespace {

// Tracks start at LSN 0, 1000 and 1500 (absolute frames 150, 1150, 1650); lead-out 1800.
TestDisc ThreeTracks()
{
    TestDisc disc;
    disc.tracks = {{true, 0, 1000}, {true, 0, 500}, {true, 0, 300}};
    return disc;
}

struct Row {
    std::string command;
    std::string expected;
    std::int32_t playFrom = -1; // when >= 0: the first sector the engine was asked to play
};

// The rows run in order on one open device; "set" rows switch the format for those after.
TEST(TimeFormatTest, RepliesAndRangesFollowThePlatformsRules)
{
    ScratchDir dir;
    ServiceOnDisc disc(ThreeTracks().Write(dir.path(), "three"));
    const Row rows[] = {
        {"open cdaudio", "0\t1"},
        // msf right after open; positions are absolute, so track 1 is at 00:02:00.
        {"status cdaudio time format", "0\tmsf"},
        {"status cdaudio position", "0\t00:02:00"},
        {"status cdaudio position track 2", "0\t00:15:25"},
        {"status cdaudio start position", "0\t00:02:00"},
        {"status cdaudio length", "0\t00:23:74"},        // 1800 - 0 - 1 frames
        {"status cdaudio length track 1", "0\t00:13:25"}, // 1000 frames
        {"status cdaudio length track 3", "0\t00:03:74"}, // the last track is one frame short
        {"play cdaudio from 00:02:00", "0\t", 0},
        {"play cdaudio from 00:01:74", "282\t"},
        {"play cdaudio from 00:26:00", "282\t"}, // the lead-out
        {"play cdaudio from 00:25:74", "0\t", 1799},
        {"play cdaudio from 00:20:00 to 00:10:00", "282\t"},
        {"play cdaudio from 00:02:00 to 00:26:01", "282\t"},
        {"play cdaudio from 2", "282\t"}, // a plain 2 is 02:00:00, past this disc
        {"seek cdaudio to 00:26:00", "0\t"},
        {"status cdaudio position", "0\t00:26:00"},
        {"seek cdaudio to 00:26:01", "282\t"},
        // Milliseconds: frames * 1000 / 75 + 1, and back with ((ms - 1) * 75 + 500) / 1000.
        {"set cdaudio time format milliseconds", "0\t"},
        {"status cdaudio position track 1", "0\t2001"},
        {"status cdaudio position track 2", "0\t15334"},
        {"status cdaudio length", "0\t23987"},
        {"status cdaudio length track 3", "0\t3987"},
        {"status cdaudio position track 0", "282\t"},
        {"status cdaudio position track 4", "282\t"},
        {"status cdaudio length track 4", "282\t"},
        {"play cdaudio from 0", "282\t"},
        {"play cdaudio from 1980", "282\t"}, // frame 148
        {"play cdaudio from 1999", "0\t", 0},
        {"play cdaudio from 15334", "0\t", 1000},
        {"status cdaudio position", "0\t15334"},
        {"status cdaudio current track", "0\t2"},
        {"play cdaudio from 26001", "282\t"}, // frame 1950: the lead-out
        {"play cdaudio from 25988", "0\t", 1799},
        {"set cdaudio time format ms", "0\t"},
        {"status cdaudio time format", "0\tmilliseconds"},
        // tmsf: positions relative to their track; lengths stay msf.
        {"set cdaudio time format tmsf", "0\t"},
        {"status cdaudio position track 2", "0\t02:00:00:00"},
        {"status cdaudio length", "0\t00:23:74"},
        {"status cdaudio length track 2", "0\t00:06:50"},
        {"play cdaudio from 3", "0\t", 1500},
        {"status cdaudio position", "0\t03:00:00:00"},
        {"play cdaudio from 2:00:01:00", "0\t", 1075},
        {"status cdaudio position", "0\t02:00:01:00"},
        {"play cdaudio from 4", "282\t"},
        {"play cdaudio from 0", "282\t"},
        {"set cdaudio time format samples", "293\t"},
        {"status cdaudio time format", "0\ttmsf"},
    };
    for (const Row& row : rows) {
        const int plays = disc.engine->plays;
        EXPECT_EQ(disc.Send(row.command), row.expected) << row.command;
        if (row.playFrom >= 0) {
            EXPECT_EQ(disc.engine->plays, plays + 1) << row.command;
            EXPECT_EQ(disc.engine->first, row.playFrom) << row.command;
        }
    }
}

TEST(TimeFormatTest, ConversionsRoundTripOnEveryFrame)
{
    namespace ct = platform::cdtime;
    for (std::int64_t frame = 0; frame < 75 * 80 * 60; ++frame)
        ASSERT_EQ(ct::MillisecondsToFrames(ct::FramesToMilliseconds(frame)), frame) << frame;

    const struct {
        platform::TimeFormat format;
        std::int64_t frames;
        std::string length;
    } lengths[] = {
        {platform::TimeFormat::Milliseconds, 0, "1"},
        {platform::TimeFormat::Msf, 99 * 4500 + 59 * 75 + 74, "99:59:74"},
        {platform::TimeFormat::Msf, 100 * 4500, "100:00:00"},
        {platform::TimeFormat::Tmsf, 75, "00:01:00"},
    };
    for (const auto& c : lengths) {
        std::string out;
        ct::AppendLength(out, c.format, c.frames);
        EXPECT_EQ(out, c.length);
    }
}

} // namespace
} // namespace vorlo::test
