#include "platform/service/ServiceFixture.h"

#include <gtest/gtest.h>

#include <set>

namespace vorlo::test {
namespace {

class ServiceGrammarTest : public ::testing::Test {
protected:
    TempFolder dir;
    ServiceOnDisc disc{TestDisc::AudioOnly(3, 750).Write(dir.Path(), "grammar")};
};

// The rows run in order, with "cdaudio" open on a three-track disc from the first row on.
TEST_F(ServiceGrammarTest, CommandsAnswerWithTheirErrorNumbers)
{
    const std::pair<std::string, std::string> rows[] = {
        {"open cdaudio", "0\t1"},
        // Empty, unknown, unfinished, garbled and oversized commands.
        {"", "267\t"},
        {"  \t  ", "267\t"},
        {"frobnicate cdaudio", "261\t"},
        {std::string("\x01\xff\x7f status", 9), "261\t"},
        {std::string(100000, 'x'), "261\t"},
        {"status", "292\t"},
        {"status cdaudio", "273\t"},
        {"status cdaudio bogus", "259\t"},
        {"status cdaudio mode \"unclosed", "294\t"},
        // Case and blanks do not matter.
        {"STATUS CDAUDIO  Number\tOF   tracks", "0\t3"},
        {"  Status CdAudio Time Format ", "0\tmsf"},
        {"status\rcdaudio\r\nmode\n", "0\tstopped"},
        // The status vocabulary beyond positions and lengths (those have a table of their own).
        {"status cdaudio media present", "0\ttrue"},
        {"status cdaudio ready wait", "0\ttrue"},
        // Numbers that are missing, garbled or too large.
        {"status cdaudio position track", "270\t"},
        {"status cdaudio position track x", "270\t"},
        {"status cdaudio position track 99999999999", "270\t"},
        {"seek cdaudio to 4294967296", "270\t"},
        {"seek cdaudio to 256:0", "270\t"},
        {"seek cdaudio to 1::2", "270\t"},
        // Items that do not go together.
        {"status cdaudio mode track 1", "284\t"},
        {"status cdaudio length position", "284\t"},
        {"capability cdaudio can play can eject", "284\t"},
        {"info cdaudio title performer", "295\t"},
        {"play cdaudio from 1 from 2", "295\t"},
        {"set cdaudio time format ms time format msf", "295\t"},
        // Aliases that were never opened: no auto-open.
        {"status sound length", "263\t"},
        {"stop midi", "263\t"},
        {"close capture", "263\t"},
        // Open.
        {"open cdaudio", "265\t"},
        {"open new type waveaudio", "299\t"},
        {"open new alias x", "287\t"},
        {"open cdaudio alias", "269\t"},
        {"open new type cdaudio alias x", "301\t"},
        {"open sequencer", "263\t"},
        // Transport, set, capability, info, save and record.
        {"seek cdaudio to start", "0\t"},
        {"pause cdaudio notify", "0\t"},
        {"resume cdaudio", "0\t"},
        {"stop cdaudio wait", "0\t"},
        {"stop cdaudio now", "259\t"},
        {"set cdaudio time format furlongs", "290\t"},
        {"set cdaudio time format bytes", "293\t"},
        {"set cdaudio door closed", "0\t"},
        {"capability cdaudio can eject", "0\ttrue"},
        {"info cdaudio product", "0\tVorlo CD audio"},
        {"save cdaudio", "304\t"},
        {"save cdaudio \"c:\\my file.wav\"", "274\t"},
        {"record cdaudio", "274\t"},
        {"close cdaudio", "0\t"},
        {"status cdaudio length", "263\t"},
    };
    for (const auto& [command, expected] : rows)
        EXPECT_EQ(disc.Send(command), expected) << "command: " << command.substr(0, 80);
}

// The reply never goes beyond the caller's area; one that does not fit fails, emptied.
TEST_F(ServiceGrammarTest, RepliesStayInsideTheCallersArea)
{
    disc.Send("open cdaudio");
    const std::pair<std::uint32_t, std::string> cases[] = {{9, "0\t00:02:00"}, {8, "268\t"}, {1, "268\t"}};
    for (const auto& [capacity, expected] : cases) {
        std::string area(capacity + 8, '#');
        const auto error = disc.service.SendString("status cdaudio position", area.data(), capacity);
        EXPECT_EQ(std::to_string(error) + "\t" + area.c_str(), expected) << capacity;
        EXPECT_EQ(area.substr(capacity), std::string(8, '#')) << capacity;
    }
    char untouched = '#';
    EXPECT_EQ(disc.service.SendString("status cdaudio position", &untouched, 0), 268u);
    EXPECT_EQ(untouched, '#');
    EXPECT_EQ(disc.service.SendString("status cdaudio position", nullptr, 0), 0u) << "the reply is not wanted";
    EXPECT_EQ(disc.service.SendString(nullptr, nullptr, 0), 267u);
}

// Every command the player sends is understood, in whatever state it meets.
TEST_F(ServiceGrammarTest, ThePlayersCommandsAreAllUnderstood)
{
    const std::set<platform::MciError> grammarErrors = {259, 261, 267, 269, 270, 273, 284, 290, 292, 294, 295, 304};
    for (const char* command :
         {"stop cdaudio", "close cdaudio", "open cdaudio", "set cdaudio time format milliseconds", "play cdaudio",
          "status cdaudio current track", "status cdaudio position track 2", "play cdaudio from 15334",
          "status sound length", "status sound position", "status movie length", "status movie position",
          "status midi length", "status midi position", "status cdaudio length", "status cdaudio position",
          "open new type waveaudio alias capture", "record capture", "stop capture", "save capture c:\\cdtest.wav",
          "close capture", "stop sound", "stop midi", "stop movie", "close sound", "close midi", "close movie"}) {
        char reply[128];
        const auto error = disc.service.SendString(command, reply, sizeof reply);
        EXPECT_EQ(grammarErrors.count(error), 0u) << command << " failed with " << error;
    }
}

} // namespace
} // namespace vorlo::test
