#include "ServiceFixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>

namespace vorlo::test {
namespace {

struct Row {
    std::string command;
    std::string expected; // "ERROR\tREPLY"
};

class ServiceGrammarTest : public ::testing::Test {
protected:
    ScratchDir dir;
    ServiceOnDisc disc{TestDisc::AudioOnly(3, 750).Write(dir.path(), "grammar")};
};

// Every row runs against a service with "cdaudio" open on a three-track disc, in order.
TEST_F(ServiceGrammarTest, CommandsAnswerWithTheirErrorNumbers)
{
    const Row rows[] = {
        {"open cdaudio", "0\t1"},
        // Empty, unknown and incomplete commands.
        {"", "267\t"},
        {"  \t  ", "267\t"},
        {"frobnicate cdaudio", "261\t"},
        {"status", "292\t"},
        {"status cdaudio", "273\t"},
        {"status cdaudio bogus", "259\t"},
        {"status cdaudio mode \"unclosed", "294\t"},
        // Case and blanks do not matter.
        {"STATUS CDAUDIO  Number\tOF   tracks", "0\t3"},
        {"  status   cdaudio position track 1  ", "0\t00:02:00"},
        {"Status CdAudio Time Format", "0\tmsf"},
        {"status cdaudio mode", "0\tstopped"},
        {"status cdaudio current track", "0\t1"},
        {"status cdaudio media present", "0\ttrue"},
        {"status cdaudio ready wait", "0\ttrue"},
        {"status cdaudio type track 3", "0\taudio"},
        // Items that need, refuse or garble a number.
        {"status cdaudio position track", "270\t"},
        {"status cdaudio position track x", "270\t"},
        {"status cdaudio position track 99999999999", "270\t"},
        {"status cdaudio position track 1:2", "270\t"},
        {"status cdaudio position track -1", "270\t"},
        {"status cdaudio type track", "270\t"},
        {"status cdaudio type", "273\t"},
        {"status cdaudio mode track 1", "284\t"},
        {"status cdaudio length position", "284\t"},
        // Aliases that were never opened: no auto-open.
        {"status sound length", "263\t"},
        {"status movie position", "263\t"},
        {"stop midi", "263\t"},
        {"close capture", "263\t"},
        {"record capture", "263\t"},
        // Open.
        {"open cdaudio", "265\t"},
        {"open new type waveaudio", "299\t"},
        {"open new alias x", "287\t"},
        {"open cdaudio alias", "269\t"},
        {"open new type cdaudio alias x", "301\t"},
        {"open sequencer", "263\t"},
        {"open cdaudio sideways", "259\t"},
        // Transport.
        {"play cdaudio from", "270\t"},
        {"play cdaudio from abc", "270\t"},
        {"play cdaudio from 1 from 2", "295\t"},
        {"play cdaudio sideways", "259\t"},
        {"seek cdaudio", "273\t"},
        {"seek cdaudio to", "270\t"},
        {"seek cdaudio to start to end", "295\t"},
        {"seek cdaudio to start", "0\t"},
        {"stop cdaudio wait", "0\t"},
        {"pause cdaudio notify", "0\t"},
        {"resume cdaudio", "0\t"},
        {"stop cdaudio now", "259\t"},
        // Set.
        {"set cdaudio", "273\t"},
        {"set cdaudio time format", "273\t"},
        {"set cdaudio time format furlongs", "290\t"},
        {"set cdaudio time format bytes", "293\t"},
        {"set cdaudio time format ms time format msf", "295\t"},
        {"set cdaudio door sideways", "259\t"},
        {"set cdaudio door closed", "0\t"},
        {"set cdaudio time format ms", "0\t"},
        {"status cdaudio time format", "0\tmilliseconds"},
        // Capability, info, save, record.
        {"capability cdaudio can eject", "0\ttrue"},
        {"capability cdaudio can record", "0\tfalse"},
        {"capability cdaudio device type", "0\tcdaudio"},
        {"capability cdaudio", "273\t"},
        {"info cdaudio product", "0\tVorlo CD audio"},
        {"info cdaudio", "273\t"},
        {"save cdaudio", "304\t"},
        {"save cdaudio \"c:\\my file.wav\"", "274\t"},
        {"record cdaudio", "274\t"},
        // Oversized and garbage input.
        {std::string(100000, 'x'), "261\t"},
        {"status cdaudio " + std::string(50000, 'q'), "259\t"},
        {std::string("\x01\xff\x7f status", 9), "261\t"},
        {"close cdaudio", "0\t"},
        {"status cdaudio length", "263\t"},
        {"close cdaudio", "263\t"},
        {"open cdaudio", "0\t1"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(disc.Send(row.command), row.expected) << "command: " << row.command.substr(0, 80);

    std::string repeated = "status cdaudio";
    for (int i = 0; i < 5000; ++i)
        repeated += " length";
    EXPECT_EQ(disc.Send(repeated), "284\t");
}

// The reply never goes beyond the caller's area; one that does not fit fails, emptied.
TEST_F(ServiceGrammarTest, RepliesStayInsideTheCallersArea)
{
    disc.Send("open cdaudio");
    struct Case {
        std::uint32_t capacity;
        std::string expected;
    };
    const Case cases[] = {{9, "0\t00:02:00"}, {8, "268\t"}, {1, "268\t"}};
    for (const Case& c : cases) {
        std::string area(c.capacity + 8, '#');
        const auto error = disc.service.SendString("status cdaudio position", area.data(), c.capacity);
        EXPECT_EQ(std::to_string(error) + "\t" + area.c_str(), c.expected) << "capacity " << c.capacity;
        EXPECT_EQ(area.substr(c.capacity), std::string(8, '#')) << "capacity " << c.capacity;
    }
    char untouched = '#';
    EXPECT_EQ(disc.service.SendString("status cdaudio position", &untouched, 0), 268u);
    EXPECT_EQ(untouched, '#');
    EXPECT_EQ(disc.service.SendString("status cdaudio position", nullptr, 0), 0u);
    EXPECT_EQ(disc.service.SendString(nullptr, nullptr, 0), 267u);
}

// Every command the player sends is understood: whatever state it meets, it never fails
// as a command the service cannot read.
TEST_F(ServiceGrammarTest, ThePlayersCommandsAreAllUnderstood)
{
    const std::set<platform::MciError> grammarErrors = {259, 261, 267, 269, 270, 273, 284, 290, 292, 294, 295, 304};
    const char* catalogue[] = {
        "stop cdaudio", "close cdaudio", "open cdaudio", "set cdaudio time format milliseconds", "play cdaudio",
        "status cdaudio current track", "status cdaudio position track 2", "play cdaudio from 15334",
        "status sound length", "status sound position", "status movie length", "status movie position",
        "status midi length", "status midi position", "status cdaudio length", "status cdaudio position",
        "open new type waveaudio alias capture", "record capture", "stop capture", "save capture c:\\cdtest.wav",
        "close capture", "stop sound", "stop midi", "stop movie", "stop capture", "close sound", "close midi",
        "close movie", "close capture", "stop cdaudio", "close cdaudio"};
    for (const char* command : catalogue) {
        char reply[128];
        const auto error = disc.service.SendString(command, reply, sizeof reply);
        EXPECT_EQ(grammarErrors.count(error), 0u) << command << " failed with " << error;
    }
}

// Commands stitched together from the vocabulary, numbers and stray bytes: whatever the
// service answers, a failure leaves an empty reply and no reply overruns its area.
TEST_F(ServiceGrammarTest, RandomCommandsNeverBreakTheReplyContract)
{
    const std::vector<std::string> words = {
        "open", "close", "play", "stop", "pause", "resume", "seek", "set", "status", "capability", "info",
        "record", "save", "cdaudio", "capture", "new", "type", "waveaudio", "alias", "from", "to", "start", "end",
        "time", "format", "ms", "msf", "tmsf", "door", "open", "closed", "length", "position", "track", "current",
        "number", "of", "tracks", "mode", "media", "present", "ready", "can", "eject", "product", "wait", "all",
        "0", "1", "2", "99", "2001", "1:02:03", "4294967295", "\"", "\"x y\"", "\t", "\x01", "-"};
    std::uint32_t seed = 12345;
    const auto next = [&seed](std::uint32_t bound) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % bound;
    };
    for (int i = 0; i < 20000; ++i) {
        std::string command;
        for (std::uint32_t n = next(7); n > 0; --n)
            command += words[next(static_cast<std::uint32_t>(words.size()))] + (next(4) ? " " : "");
        const std::uint32_t capacity = 1 + next(12);
        std::string area(capacity + 4, '#');
        const auto error = disc.service.SendString(command.c_str(), area.data(), capacity);
        ASSERT_EQ(area.substr(capacity), "####") << command;
        ASSERT_LT(std::strlen(area.c_str()), capacity) << command;
        if (error) {
            ASSERT_EQ(area[0], '\0') << command;
        }
    }
}

TEST(CommandParserTest, OpenNamesTypeAliasAndElement)
{
    struct Case {
        std::string command;
        platform::MciOpenRequest expected;
    };
    const Case cases[] = {
        {"open cdaudio", {"cdaudio", "", false, "cdaudio"}},
        {"open CDAudio alias Disc shareable wait", {"cdaudio", "", false, "disc"}},
        {"open new type waveaudio alias capture", {"waveaudio", "", true, "capture"}},
        {"open C:\\Take.WAV type WaveAudio alias t", {"waveaudio", "C:\\Take.WAV", false, "t"}},
    };
    for (const Case& c : cases) {
        platform::CommandHead head;
        platform::MciOpenRequest request;
        ASSERT_EQ(platform::ParseHead(c.command, head), 0u) << c.command;
        ASSERT_EQ(platform::ParseOpen(head, request), 0u) << c.command;
        EXPECT_EQ(request.deviceType, c.expected.deviceType) << c.command;
        EXPECT_EQ(request.element, c.expected.element) << c.command;
        EXPECT_EQ(request.isNew, c.expected.isNew) << c.command;
        EXPECT_EQ(request.alias, c.expected.alias) << c.command;
    }
}

TEST(CommandParserTest, TimeValuesPackColonFieldsLowestFirst)
{
    struct Case {
        std::string text;
        std::optional<std::uint32_t> value;
    };
    const Case cases[] = {
        {"0", 0u},           {"4294967295", 0xFFFFFFFFu}, {"4294967296", std::nullopt},
        {"1:02:03", 0x030201u}, {"2:0:1:0", 0x00010002u}, {"255:255", 0xFFFFu},
        {"256:0", std::nullopt}, {"1:2:3:4:5", std::nullopt}, {"1::2", std::nullopt},
        {"", std::nullopt},  {"12a", std::nullopt},       {"-3", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(platform::ParseTimeValue(c.text), c.value) << c.text;
}

TEST(CommandParserTest, SaveKeepsTheFileNameAsWritten)
{
    platform::CommandHead head;
    platform::MciRequest request;
    ASSERT_EQ(platform::ParseHead("save capture \"C:\\My Takes\\One.wav\" wait", head), 0u);
    ASSERT_EQ(platform::ParseRequest(head, request), 0u);
    EXPECT_EQ(request.verb, platform::MciVerb::Save);
    EXPECT_EQ(request.fileName, "C:\\My Takes\\One.wav");
}

} // namespace
} // namespace vorlo::test
