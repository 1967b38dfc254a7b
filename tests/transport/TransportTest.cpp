#include "RecordingPlatform.h"
#include "RecordingSurface.h"

#include "transport/TrackStepping.h"
#include "transport/Transport.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace vorlo::transport {
namespace {

using Log = std::vector<std::string>;

Log Concat(std::initializer_list<Log> parts)
{
    Log all;
    for (const Log& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

const Log kStop = {"stop cdaudio", "close cdaudio"};
const Log kPlay = Concat({kStop, {"open cdaudio", "set cdaudio time format milliseconds", "play cdaudio"}});
const std::string kCurrentTrack = "status cdaudio current track";
const std::pair<std::string, std::string> kOnTrack5{kCurrentTrack, "5"};
const std::string kBarFill = "fill 0 0 2160 255 E0E0E0";

struct Sequence {
    const char* name;
    // Replies by command; a command without one fails with an emptied reply.
    std::vector<std::pair<std::string, std::string>> replies;
    std::function<void(DrawingSurface&)> press;
    Log log;
    std::vector<std::string> barFills;
    std::uint32_t cdaudioDeviceId = 0;
};

void Play(DrawingSurface&) { PlayDisc(); }
void Previous(DrawingSurface& bar) { PreviousTrack(bar); }
void Next(DrawingSurface&) { NextTrack(); }

class TransportSequence : public testing::TestWithParam<Sequence> {};

TEST_P(TransportSequence, SendsExactlyTheseCommands)
{
    const Sequence& s = GetParam();
    test::RecordingPlatform platform;
    platform.SetDeviceId("cdaudio", s.cdaudioDeviceId);
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

const Log kEjectDoor = {"open cdaudio", "deviceid cdaudio"};

INSTANTIATE_TEST_SUITE_P(Table, TransportSequence, testing::Values(
    Sequence{"Play", {}, Play, kPlay, {}},
    Sequence{"PlayTwiceReopens", {}, [](auto& bar) { Play(bar); Play(bar); }, Concat({kPlay, kPlay}), {}},
    Sequence{"StopWithNothingOpen", {}, [](auto&) { StopDisc(); }, kStop, {}},
    Sequence{"EjectOpensTheDoorOfTheOpenDevice", {}, [](auto&) { EjectDisc(); },
             Concat({kStop, kEjectDoor, {"command 7 2061 256"}, kStop}), {}, 7},
    Sequence{"EjectWithNoDeviceTriesDeviceZero", {}, [](auto&) { EjectDisc(); },
             Concat({kStop, kEjectDoor, {"command 0 2061 256"}, kStop}), {}},
    Sequence{"PreviousOnTrack5", {kOnTrack5, {"status cdaudio position track 4", "183000"}}, Previous,
             {kCurrentTrack, "status cdaudio position track 4", "play cdaudio from 183000"}, {kBarFill}},
    Sequence{"PreviousOnFirstTrackPlaysNothing", {{kCurrentTrack, "1"}}, Previous,
             {kCurrentTrack, "status cdaudio position track 0"}, {}},
    Sequence{"NextOnTrack5KeepsTheBar", {kOnTrack5, {"status cdaudio position track 6", "301000"}}, Next,
             {kCurrentTrack, "status cdaudio position track 6", "play cdaudio from 301000"}, {}},
    Sequence{"NextOnLastTrackPlaysNothing", {{kCurrentTrack, "12"}}, Next,
             {kCurrentTrack, "status cdaudio position track 13"}, {}},
    Sequence{"PreviousWithDeviceClosed", {}, Previous, {kCurrentTrack}, {}},
    Sequence{"ColonPositionPlaysFromItsFirstField", {kOnTrack5, {"status cdaudio position track 6", "4:10:00"}},
             Next, {kCurrentTrack, "status cdaudio position track 6", "play cdaudio from 4"}, {}},
    Sequence{"HalvesRoundToEven", {{kCurrentTrack, "4.5"}, {"status cdaudio position track 6", "2.5"}}, Next,
             {kCurrentTrack, "status cdaudio position track 6", "play cdaudio from 2"}, {}},
    // Values beyond 32 bits end the step quietly, as if there were no answer.
    Sequence{"TrackBeyond32BitsEndsQuietly", {{kCurrentTrack, "2147483647"}}, Next, {kCurrentTrack}, {}},
    Sequence{"PositionBeyond32BitsEndsQuietly", {kOnTrack5, {"status cdaudio position track 4", "1E12"}},
             Previous, {kCurrentTrack, "status cdaudio position track 4"}, {}}),
    [](const testing::TestParamInfo<Sequence>& info) { return std::string(info.param.name); });

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

} // namespace
} // namespace vorlo::transport
