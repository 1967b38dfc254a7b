// What the sound server sees of the player: one connection, however often the disc is
// opened, played and stopped, and a stream that says who plays it and what it plays.
#include "platform/service/ServiceFixture.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace vorlo::test {
namespace {

// What pactl lists, as one text.
std::string Pactl(const std::string& what)
{
    std::string out;
    if (FILE* pipe = popen(("pactl list " + what + " 2>/dev/null").c_str(), "r")) {
        char buffer[4096];
        while (const std::size_t got = std::fread(buffer, 1, sizeof buffer, pipe))
            out.append(buffer, got);
        pclose(pipe);
    }
    return out;
}

int Count(const std::string& text, const std::string& needle)
{
    int count = 0;
    for (std::size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1))
        ++count;
    return count;
}

TEST(ServerConnectionTest, ThreePlaysMakeOneConnectionAndTheStreamIsMusicOfVorloPlayer)
{
    if (!std::getenv("PULSE_SERVER"))
        GTEST_SKIP() << "needs the private sound server that scripts/test starts";
    ScopedEnv realSound("VORLO_AUDIO", std::nullopt);
    ScopedEnv disc("VORLO_CDROM", VORLO_DEMO_CUE);
    const std::string ours = "application.process.id = \"" + std::to_string(getpid()) + "\"";
    std::string streams;
    for (int click = 0; click < 3; ++click) {  // as the Play button does: stop, close, open, play
        ServiceOnDisc service{ServiceOnDisc::Located{}};
        ASSERT_EQ(service.Timed("open cdaudio").error, 0u);
        ASSERT_EQ(service.Timed("play cdaudio").error, 0u);
        ASSERT_TRUE(service.Eventually("status cdaudio mode", "playing"));
        std::this_thread::sleep_for(200ms);
        streams = Pactl("sink-inputs");
        EXPECT_EQ(service.Timed("stop cdaudio").error, 0u);
        EXPECT_EQ(service.Timed("close cdaudio").error, 0u);
    }
    EXPECT_EQ(Count(Pactl("clients"), ours), 1) << "one connection for the whole process";
    EXPECT_EQ(Count(streams, "media.role = \"music\""), 1) << streams;
    EXPECT_EQ(Count(streams, "application.name = \"Vorlo Player\""), 1) << streams;
    EXPECT_EQ(Count(streams, "application.icon_name = \"vorlo-player\""), 1) << streams;
}

} // namespace
} // namespace vorlo::test
