#include "RecordingPlatform.h"

#include "transport/TrackStepping.h"
#include "transport/Transport.h"

#include <gtest/gtest.h>

#include <ostream>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace vorlo::transport {
namespace {

using Log = std::vector<std::string>;

// The disc bar: 2160 x 255 twips, recording its fills as "fill X1 Y1 X2 Y2 BBGGRR".
struct RecordingBar final : DrawingSurface {
    BgrColour backColor = 0xE0E0E0;
    Log fills;

    float Width() const override { return 2160; }
    float Height() const override { return 255; }
    BgrColour BackColor() const override { return backColor; }
    void FillRectangle(float x1, float y1, float x2, float y2, BgrColour colour) override
    {
        char line[96];
        std::snprintf(line, sizeof line, "fill %g %g %g %g %06X", x1, y1, x2, y2, colour);
        fills.emplace_back(line);
    }
};

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

struct Sequence {
    const char* name;
    // Replies by command; a command without one fails with an emptied reply.
    std::vector<std::pair<std::string, std::string>> replies;
    std::function<void(RecordingBar&)> press;
    Log log;
    Log barFills;
};

// gtest names a row in its messages by this, not by its bytes.
void PrintTo(const Sequence& row, std::ostream* os) { *os << row.name; }

void Play(RecordingBar&) { PlayDisc(); }
void Previous(RecordingBar& bar) { PreviousTrack(bar); }
void Next(RecordingBar&) { NextTrack(); }

class TransportSequence : public testing::TestWithParam<Sequence> {};

TEST_P(TransportSequence, SendsExactlyTheseCommands)
{
    const Sequence& s = GetParam();
    test::RecordingPlatform platform;
    platform.SetDeviceId("cdaudio", 7);
    for (const auto& [command, reply] : s.replies)
        platform.ReplyTo(command, reply);
    media::ScopedMediaPlatform bound(platform);
    RecordingBar bar;

    s.press(bar);

    EXPECT_EQ(platform.Log(), s.log);
    EXPECT_EQ(bar.fills, s.barFills);
}

INSTANTIATE_TEST_SUITE_P(Table, TransportSequence, testing::Values(
    Sequence{"Play", {}, Play, kPlay, {}},
    Sequence{"PlayTwiceReopens", {}, [](auto& bar) { Play(bar); Play(bar); }, Concat({kPlay, kPlay}), {}},
    Sequence{"StopWithNothingOpen", {}, [](auto&) { StopDisc(); }, kStop, {}},
    Sequence{"EjectOpensTheDoorOfTheOpenDevice", {}, [](auto&) { EjectDisc(); },
             Concat({kStop, {"open cdaudio", "deviceid cdaudio", "command 7 2061 256"}, kStop}), {}},
    // The bar is emptied in the background colour it has at that moment.
    Sequence{"PreviousOnTrack5", {kOnTrack5, {"status cdaudio position track 4", "183000"}},
             [](auto& bar) { bar.backColor = 0x123456; PreviousTrack(bar); },
             {kCurrentTrack, "status cdaudio position track 4", "play cdaudio from 183000"},
             {"fill 0 0 2160 255 123456"}},
    Sequence{"PreviousOnFirstTrackPlaysNothing", {{kCurrentTrack, "1"}}, Previous,
             {kCurrentTrack, "status cdaudio position track 0"}, {}},
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

} // namespace
} // namespace vorlo::transport
