#include "platform/service/ServiceFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace vorlo::test {
namespace {

struct CdInfoTrack {
    int number;
    std::string msf; // where it starts
    int lsn;
    bool audio;
};

// The track table that cd-info prints for a sheet, with the lead-out (track 170) last.
std::vector<CdInfoTrack> ReadWithCdInfo(const std::string& cue)
{
    std::vector<CdInfoTrack> tracks;
    FILE* pipe = ::popen(("cd-info --no-device-info --quiet '" + cue + "' 2>/dev/null").c_str(), "r");
    char line[512];
    while (pipe && std::fgets(line, sizeof line, pipe)) {
        // "  2: 00:04:00  000150 audio  ..." and "170: 00:06:02  000302 leadout ..."
        CdInfoTrack track{};
        char msf[9] = {};
        char type[16] = {};
        if (std::sscanf(line, " %d: %8s %d %15s", &track.number, msf, &track.lsn, type) == 4 &&
            (!std::strcmp(type, "audio") || !std::strcmp(type, "data") || !std::strcmp(type, "leadout")))
            tracks.push_back({track.number, msf, track.lsn, !std::strcmp(type, "audio")});
    }
    if (pipe)
        ::pclose(pipe);
    return tracks;
}

// The service's view of a sheet agrees with cd-info's: track starts, types and lengths, the
// number of tracks, the disc's length, and the current track after open (the first audio one).
void ExpectAgreesWithCdInfo(const std::string& cue)
{
    SCOPED_TRACE(cue);
    const std::vector<CdInfoTrack> info = ReadWithCdInfo(cue);
    ASSERT_TRUE(info.size() >= 2 && info.back().number == 170) << "cd-info gave no track table";
    const std::size_t count = info.size() - 1;
    const auto firstAudio = std::find_if(info.begin(), info.end() - 1, [](const auto& t) { return t.audio; });
    const int current = firstAudio == info.end() - 1 ? info.front().number : firstAudio->number;

    ServiceOnDisc disc(cue);
    ASSERT_EQ(disc.Send("open cdaudio"), "0\t1");
    EXPECT_EQ(disc.Send("status cdaudio number of tracks"), "0\t" + std::to_string(count));
    EXPECT_EQ(disc.Send("status cdaudio length"), "0\t" + Msf(info.back().lsn - info.front().lsn - 1));
    EXPECT_EQ(disc.Send("status cdaudio current track"), "0\t" + std::to_string(current));
    for (std::size_t i = 0; i < count; ++i) {
        const std::string n = std::to_string(info[i].number);
        const int length = info[i + 1].lsn - info[i].lsn - (i + 1 == count ? 1 : 0); // the last is a frame short
        EXPECT_EQ(disc.Send("status cdaudio position track " + n), "0\t" + info[i].msf);
        EXPECT_EQ(disc.Send("status cdaudio type track " + n), std::string("0\t") + (info[i].audio ? "audio" : "other"));
        EXPECT_EQ(disc.Send("status cdaudio length track " + n), "0\t" + Msf(length));
    }
    EXPECT_EQ(disc.Send("status cdaudio position track " + std::to_string(info[count - 1].number + 1)), "282\t");
}

TEST(DiscImageTest, GeneratedImagesAgreeWithCdInfo)
{
    TempFolder dir;
    const std::pair<const char*, TestDisc> discs[] = {
        {"audio_only", TestDisc::AudioOnly(4, 200)},
        {"data_first", {{{false, 0, 300}, {true, 0, 450}, {true, 0, 300}}}},
        {"data_last", {{{true, 0, 450}, {true, 0, 300}, {false, 0, 600}}}},
        {"data_only", {{{false, 0, 300}}}},
        {"pregaps", {{{true, 75, 300}, {true, 150, 300}, {true, 0, 200}}}},
        {"ninety_nine", TestDisc::AudioOnly(99, 10)},
    };
    for (const auto& [name, disc] : discs)
        ExpectAgreesWithCdInfo(disc.Write(dir.Path(), name));
}

TEST(DiscImageTest, LibcdioImagesAgreeWithCdInfo)
{
    for (const char* name : {"cdda", "cdda_4_5", "p1", "hidden-track", "cd-extra", "mixed-mode-cd", "isofs-m1"})
        ExpectAgreesWithCdInfo(std::string(VORLO_LIBCDIO_DISCS "/") + name + ".cue");
}

// Play starts in the first audio track at or after where it was asked to, ends before a
// data track, and starts over once the span has been heard; a disc with no audio has
// nothing to play.
TEST(DiscImageTest, PlayKeepsToAudioTracks)
{
    TempFolder dir;
    const TestDisc mixed{{{false, 0, 300}, {true, 0, 450}, {true, 0, 300}, {false, 0, 600}}};
    ServiceOnDisc disc(mixed.Write(dir.Path(), "mixed"));
    FakeEngineState& engine = *disc.engine;
    disc.Send("open cdaudio");
    disc.Send("set cdaudio time format tmsf");
    EXPECT_EQ(disc.Send("play cdaudio from 1:00:01:00"), "0\t") << "a play inside a data track";
    EXPECT_EQ(std::pair(engine.first, engine.end), std::pair(300, 1050));
    engine = {platform::PlaybackEngine::State::Stopped, 300, 1050, 1050}; // heard up to the data track
    EXPECT_EQ(disc.Send("play cdaudio"), "0\t");
    EXPECT_EQ(std::pair(engine.first, engine.plays), std::pair(300, 1)) << "a play at the end starts over";
    EXPECT_EQ(disc.Send("play cdaudio from 2 to 3"), "0\t");
    EXPECT_EQ(std::pair(engine.first, engine.end), std::pair(300, 750));

    ServiceOnDisc data(TestDisc{{{false, 0, 300}}}.Write(dir.Path(), "data"));
    data.Send("open cdaudio");
    EXPECT_EQ(data.Send("play cdaudio"), "262\t");
    EXPECT_EQ(data.engine->plays, 0);
}

// A play given right after a stop or a seek answers at once: an image is not read ahead,
// and nothing else holds its thread meanwhile.
TEST(DiscImageTest, APlayRightAfterAStopOrASeekAnswersAtOnce)
{
    TempFolder dir;
    ServiceOnDisc disc(TestDisc::AudioOnly(2, 300).Write(dir.Path(), "quick"));
    disc.Send("open cdaudio");
    for (const char* before : {"stop cdaudio", "seek cdaudio to start"}) {
        ASSERT_EQ(disc.Send("play cdaudio"), "0\t");
        ASSERT_EQ(disc.Send(before), "0\t");
        const TimedReply reply = disc.Timed("play cdaudio");
        EXPECT_EQ(reply.error, 0u) << before;
        EXPECT_LT(reply.took, kCommandBound) << before;
    }
}

} // namespace
} // namespace vorlo::test
