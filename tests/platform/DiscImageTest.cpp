#include "ServiceFixture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace vorlo::test {
namespace {

// A disc's track table as cd-info prints it.
struct CdInfoTable {
    struct Track {
        int number;
        std::string msf;
        int lsn;
        bool audio;
    };
    std::vector<Track> tracks;
    int leadOutLsn = -1;
};

std::string ToolOutput(const std::string& command)
{
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char chunk[4096];
        for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;)
            out.append(chunk, n);
        ::pclose(pipe);
    }
    return out;
}

bool HaveCdInfo() { return std::system("command -v cd-info >/dev/null 2>&1") == 0; }

CdInfoTable ReadWithCdInfo(const std::string& cue)
{
    CdInfoTable table;
    const std::string out = ToolOutput("cd-info --no-device-info --quiet '" + cue + "' 2>/dev/null");
    std::size_t start = 0;
    while (start < out.size()) {
        const std::size_t end = std::min(out.find('\n', start), out.size());
        const std::string line = out.substr(start, end - start);
        start = end + 1;
        // "  2: 00:04:00  000150 audio  ..." and "170: 00:06:02  000302 leadout ..."
        int number = 0;
        int lsn = 0;
        char msf[9] = {};
        char type[16] = {};
        if (std::sscanf(line.c_str(), " %d: %8s %d %15s", &number, msf, &lsn, type) != 4)
            continue;
        const std::string kind = type;
        if (number == 170 && kind == "leadout")
            table.leadOutLsn = lsn;
        else if (kind == "audio" || kind == "data")
            table.tracks.push_back({number, msf, lsn, kind == "audio"});
    }
    return table;
}

std::string Msf(int frames)
{
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", frames / 4500, frames / 75 % 60, frames % 75);
    return text;
}

// Checks the service's view of `cue` against cd-info's: track starts, types, lengths,
// number of tracks and the current track after open.
void ExpectAgreesWithCdInfo(const std::string& cue)
{
    SCOPED_TRACE(cue);
    const CdInfoTable info = ReadWithCdInfo(cue);
    ASSERT_FALSE(info.tracks.empty()) << "cd-info read no tracks";
    ASSERT_GE(info.leadOutLsn, 0);

    ServiceOnDisc disc(cue);
    ASSERT_EQ(disc.Send("open cdaudio"), "0\t1");
    EXPECT_EQ(disc.Send("status cdaudio number of tracks"), "0\t" + std::to_string(info.tracks.size()));
    EXPECT_EQ(disc.Send("status cdaudio length"), "0\t" + Msf(info.leadOutLsn - info.tracks.front().lsn - 1));
    int firstAudio = info.tracks.front().number;
    for (auto it = info.tracks.rbegin(); it != info.tracks.rend(); ++it)
        if (it->audio)
            firstAudio = it->number;
    EXPECT_EQ(disc.Send("status cdaudio current track"), "0\t" + std::to_string(firstAudio));
    for (std::size_t i = 0; i < info.tracks.size(); ++i) {
        const auto& track = info.tracks[i];
        const std::string n = std::to_string(track.number);
        const bool last = i + 1 == info.tracks.size();
        const int end = last ? info.leadOutLsn : info.tracks[i + 1].lsn;
        EXPECT_EQ(disc.Send("status cdaudio position track " + n), "0\t" + track.msf);
        EXPECT_EQ(disc.Send("status cdaudio type track " + n), std::string("0\t") + (track.audio ? "audio" : "other"));
        EXPECT_EQ(disc.Send("status cdaudio length track " + n), "0\t" + Msf(end - track.lsn - (last ? 1 : 0)));
    }
    EXPECT_EQ(disc.Send("status cdaudio position track " + std::to_string(info.tracks.back().number + 1)), "282\t");
}

struct GeneratedCase {
    std::string name;
    TestDisc disc;
};

void PrintTo(const GeneratedCase& c, std::ostream* out) { *out << c.name; }

std::vector<GeneratedCase> GeneratedDiscs()
{
    TestDisc dataFirst;
    dataFirst.tracks = {{false, 0, 300}, {true, 0, 450}, {true, 0, 300}};
    TestDisc dataLast;
    dataLast.tracks = {{true, 0, 450}, {true, 0, 300}, {false, 0, 600}};
    TestDisc pregaps;
    pregaps.tracks = {{true, 75, 300}, {true, 150, 300}, {true, 0, 200}};
    return {{"audio_only", TestDisc::AudioOnly(4, 200)},
            {"data_first", dataFirst},
            {"data_last", dataLast},
            {"pregaps", pregaps},
            {"ninety_nine", TestDisc::AudioOnly(99, 10)}};
}

class GeneratedDiscTest : public ::testing::TestWithParam<GeneratedCase> {};

TEST_P(GeneratedDiscTest, TrackTableMatchesTheWriterAndCdInfo)
{
    ScratchDir dir;
    const TestDisc& made = GetParam().disc;
    const std::string cue = made.Write(dir.path(), GetParam().name);

    // The writer's own arithmetic, read back through the service.
    ServiceOnDisc disc(cue);
    ASSERT_EQ(disc.Send("open cdaudio"), "0\t1");
    for (std::size_t i = 0; i < made.tracks.size(); ++i)
        EXPECT_EQ(disc.Send("status cdaudio position track " + std::to_string(i + 1)),
                  "0\t" + Msf(made.StartLsn(i) + 150));
    EXPECT_EQ(disc.Send("status cdaudio length"), "0\t" + Msf(made.LeadOutLsn() - made.StartLsn(0) - 1));

    if (!HaveCdInfo())
        GTEST_SKIP() << "cd-info is not installed";
    ExpectAgreesWithCdInfo(cue);
}

INSTANTIATE_TEST_SUITE_P(Discs, GeneratedDiscTest, ::testing::ValuesIn(GeneratedDiscs()),
                         [](const auto& info) { return info.param.name; });

std::string SharedDiscs()
{
    const char* root = std::getenv("VORLO_SHARED_DISCS");
    return root ? std::string(root) + "/libcdio" : std::string();
}

TEST(SharedDiscTest, TrackTablesMatchCdInfo)
{
    if (!HaveCdInfo() || !std::filesystem::exists(SharedDiscs()))
        GTEST_SKIP() << "cd-info or the shared discs are missing";
    for (const char* name : {"cdda", "cdda_4_5", "p1", "hidden-track", "cd-extra", "mixed-mode-cd", "isofs-m1"})
        ExpectAgreesWithCdInfo(SharedDiscs() + "/" + name + ".cue");
}

TEST(SharedDiscTest, MalformedSheetsAreRefused)
{
    if (!std::filesystem::exists(SharedDiscs()))
        GTEST_SKIP() << "the shared discs are missing";
    for (const char* name : {"bad-cat1", "bad-cat2", "bad-cat3", "bad-mode1", "bad-msf-1", "bad-msf-2", "bad-msf-3"}) {
        ServiceOnDisc disc(SharedDiscs() + "/" + name + ".cue");
        EXPECT_EQ(disc.Send("open cdaudio"), "296\t") << name;
        EXPECT_NE(disc.service.TakeFailureDetail().find(name), std::string::npos) << name;
        EXPECT_EQ(disc.Send("status cdaudio mode"), "263\t") << name;
    }
}

// Where play starts and ends on discs with data tracks, and what follows the end.
TEST(DataTrackTest, PlayKeepsToAudioTracks)
{
    ScratchDir dir;
    TestDisc made;
    made.tracks = {{false, 0, 300}, {true, 0, 450}, {true, 0, 300}, {false, 0, 600}};
    ServiceOnDisc disc(made.Write(dir.path(), "mixed"));
    FakeEngineState& engine = *disc.engine;
    disc.Send("open cdaudio");

    EXPECT_EQ(disc.Send("status cdaudio current track"), "0\t2") << "right after open: the first audio track";
    EXPECT_EQ(disc.Send("status cdaudio position"), "0\t00:06:00");
    EXPECT_EQ(disc.Send("set cdaudio time format tmsf"), "0\t");
    EXPECT_EQ(disc.Send("play cdaudio from 1:00:01:00"), "0\t") << "a play inside a data track";
    EXPECT_EQ(engine.first, 300) << "moves to the next audio track";
    EXPECT_EQ(engine.end, 1050) << "and ends at the data track";
    EXPECT_EQ(disc.Send("status cdaudio mode"), "0\tplaying");

    engine.Hear(900);
    EXPECT_EQ(disc.Send("status cdaudio current track"), "0\t3");
    EXPECT_EQ(disc.Send("status cdaudio position"), "0\t03:00:02:00");
    engine.Hear(1050);
    EXPECT_EQ(disc.Send("status cdaudio mode"), "0\tstopped");
    EXPECT_EQ(disc.Send("status cdaudio position"), "0\t04:00:00:00");

    EXPECT_EQ(disc.Send("play cdaudio"), "0\t") << "play at the end starts over";
    EXPECT_EQ(engine.first, 300);
    EXPECT_EQ(disc.Send("pause cdaudio"), "0\t");
    engine.heard = 400;
    EXPECT_EQ(disc.Send("status cdaudio mode"), "0\tpaused");
    EXPECT_EQ(disc.Send("stop cdaudio"), "0\t");
    EXPECT_EQ(disc.Send("status cdaudio mode"), "0\tstopped");
    EXPECT_EQ(disc.Send("status cdaudio position"), "0\t02:00:01:25");
    EXPECT_EQ(disc.Send("play cdaudio from 2 to 3"), "0\t");
    EXPECT_EQ(engine.first, 300);
    EXPECT_EQ(engine.end, 750);
}

TEST(DataTrackTest, DataOnlyDiscHasNothingToPlay)
{
    ScratchDir dir;
    TestDisc made;
    made.tracks = {{false, 0, 300}};
    ServiceOnDisc disc(made.Write(dir.path(), "data"));
    disc.Send("open cdaudio");
    EXPECT_EQ(disc.Send("status cdaudio current track"), "0\t1");
    EXPECT_EQ(disc.Send("play cdaudio"), "262\t");
    EXPECT_EQ(disc.engine->plays, 0);
    EXPECT_EQ(disc.Send("status cdaudio mode"), "0\tstopped");
}

} // namespace
} // namespace vorlo::test
