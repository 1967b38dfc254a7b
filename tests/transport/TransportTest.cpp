#include "RecordingPlatform.h"
#include "RecordingSurface.h"

#include "transport/TrackStepping.h"
#include "transport/Transport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace vorlo::transport {
namespace {

using Log = std::vector<std::string>;

const Log kStop = {"stop cdaudio", "close cdaudio"};
const Log kPlay = {"stop cdaudio", "close cdaudio", "open cdaudio", "set cdaudio time format milliseconds",
                   "play cdaudio"};
const std::string kCurrentTrack = "status cdaudio current track";
const std::string kBarFill = "fill 0 0 2160 255 E0E0E0";

Log Concat(std::initializer_list<Log> parts)
{
    Log all;
    for (const Log& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

struct Sequence {
    const char* name;
    // Replies keyed by command; a command without one fails with an emptied reply.
    std::vector<std::pair<std::string, std::string>> replies;
    std::function<void(DrawingSurface&)> press;
    Log log;
    std::vector<std::string> barFills;
};

void Previous(DrawingSurface& bar) { PreviousTrack(bar); }
void Next(DrawingSurface&) { NextTrack(); }

class TransportSequence : public testing::TestWithParam<Sequence> {};

TEST_P(TransportSequence, SendsExactlyTheseCommands)
{
    const Sequence& s = GetParam();
    test::RecordingPlatform platform;
    for (const auto& [command, reply] : s.replies)
        platform.ReplyTo(command, reply);
    media::ScopedMediaPlatform bound(platform);
    test::RecordingSurface bar(2160, 255, 0xE0E0E0);

    s.press(bar);

    EXPECT_EQ(platform.Log(), s.log);
    EXPECT_EQ(bar.Fills(), s.barFills);
    for (std::uint32_t capacity : platform.Capacities())
        EXPECT_EQ(capacity, 128u);
}

const std::pair<std::string, std::string> kOnTrack5{kCurrentTrack, "5"};

INSTANTIATE_TEST_SUITE_P(Table, TransportSequence, testing::Values(
    Sequence{"Play", {}, [](auto&) { PlayDisc(); }, kPlay, {}},
    Sequence{"PlayTwiceReopens", {}, [](auto&) { PlayDisc(); PlayDisc(); }, Concat({kPlay, kPlay}), {}},
    Sequence{"StopWithNothingOpen", {}, [](auto&) { StopDisc(); }, kStop, {}},
    Sequence{"EjectOpensTheDoorOfDeviceZeroWhenNoneIsOpen", {}, [](auto&) { EjectDisc(); },
             Concat({kStop, {"open cdaudio", "deviceid cdaudio", "command 0 2061 256"}, kStop}), {}},
    Sequence{"PreviousOnTrack5", {kOnTrack5, {"status cdaudio position track 4", "183000"}}, Previous,
             {kCurrentTrack, "status cdaudio position track 4", "play cdaudio from 183000"}, {kBarFill}},
    Sequence{"PreviousOnFirstTrackPlaysNothing", {{kCurrentTrack, "1"}}, Previous,
             {kCurrentTrack, "status cdaudio position track 0"}, {}},
    Sequence{"NextOnTrack5KeepsTheBar", {kOnTrack5, {"status cdaudio position track 6", "301000"}}, Next,
             {kCurrentTrack, "status cdaudio position track 6", "play cdaudio from 301000"}, {}},
    Sequence{"NextOnLastTrackPlaysNothing", {{kCurrentTrack, "12"}}, Next,
             {kCurrentTrack, "status cdaudio position track 13"}, {}},
    Sequence{"PreviousWithDeviceClosed", {}, Previous, {kCurrentTrack}, {}},
    Sequence{"NextWithDeviceClosed", {}, Next, {kCurrentTrack}, {}},
    Sequence{"ColonPositionPlaysFromItsFirstField", {kOnTrack5, {"status cdaudio position track 6", "4:10:00"}},
             Next, {kCurrentTrack, "status cdaudio position track 6", "play cdaudio from 4"}, {}},
    Sequence{"TrackHalvesRoundToEvenDown", {{kCurrentTrack, "3.5"}}, Previous,
             {kCurrentTrack, "status cdaudio position track 2"}, {}},
    Sequence{"TrackHalvesRoundToEvenUp", {{kCurrentTrack, "4.5"}}, Next,
             {kCurrentTrack, "status cdaudio position track 6"}, {}},
    Sequence{"PositionHalvesRoundToEven", {kOnTrack5, {"status cdaudio position track 6", "2.5"}}, Next,
             {kCurrentTrack, "status cdaudio position track 6", "play cdaudio from 2"}, {}},
    // Values beyond 32 bits end the step quietly, as if there were no answer.
    Sequence{"TrackBeyond32BitsEndsQuietly", {{kCurrentTrack, "2147483647"}}, Next, {kCurrentTrack}, {}},
    Sequence{"NegativeTrackBeyond32BitsEndsQuietly", {{kCurrentTrack, "-2147483648"}}, Previous,
             {kCurrentTrack}, {}},
    Sequence{"InfiniteTrackEndsQuietly", {{kCurrentTrack, "1E400"}}, Next, {kCurrentTrack}, {}},
    Sequence{"PositionBeyond32BitsEndsQuietly", {kOnTrack5, {"status cdaudio position track 4", "1E12"}},
             Previous, {kCurrentTrack, "status cdaudio position track 4"}, {}}),
    [](const testing::TestParamInfo<Sequence>& info) { return std::string(info.param.name); });

TEST(Eject, SendsTheDoorCommandToTheOpenDevice)
{
    test::RecordingPlatform platform;
    platform.SetDeviceId("cdaudio", 7);
    media::ScopedMediaPlatform bound(platform);
    EjectDisc();
    EXPECT_EQ(platform.Log(), Concat({kStop, {"open cdaudio", "deviceid cdaudio", "command 7 2061 256"}, kStop}));
}

TEST(PreviousTrack, EmptiesTheBarInItsBackgroundColourOfTheMoment)
{
    test::RecordingPlatform platform;
    platform.ReplyTo(kCurrentTrack, "5");
    platform.ReplyTo("status cdaudio position track 4", "1000");
    media::ScopedMediaPlatform bound(platform);
    test::RecordingSurface bar(2160, 255, 0xE0E0E0);
    bar.SetBackColor(0x123456);
    PreviousTrack(bar);
    EXPECT_EQ(bar.Fills(), std::vector<std::string>{"fill 0 0 2160 255 123456"});
}

TEST(RoundToInt32, RoundsHalvesToEvenAndRefusesWhatDoesNotFit)
{
    EXPECT_EQ(RoundToInt32(0.5), 0);
    EXPECT_EQ(RoundToInt32(1.5), 2);
    EXPECT_EQ(RoundToInt32(-2.5), -2);
    EXPECT_EQ(RoundToInt32(2147483647.4), 2147483647);
    EXPECT_EQ(RoundToInt32(-2147483648.5), -2147483648);
    EXPECT_EQ(RoundToInt32(2147483647.5), std::nullopt);
    EXPECT_EQ(RoundToInt32(-2147483648.6), std::nullopt);
    EXPECT_EQ(RoundToInt32(std::nan("")), std::nullopt);
}

} // namespace
} // namespace vorlo::transport
