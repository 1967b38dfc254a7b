// The sound server is killed while the disc plays: status queries keep answering at
// once, play stops by itself, and once a server is back "play" works again. The test
// runs a server of its own, so that the suite's shared one lives on.
#include "platform/mci/MciErrors.h"
#include "platform/service/ServiceFixture.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>

namespace vorlo::test {
namespace {

// A PulseAudio server of the test's own with one null sink, which the test may kill as a
// crash would and start again at the same address. The sink is the suite's kind: without
// rewinds it keeps a short buffer from the start, where the default null sink renders two
// seconds ahead before the first stream arrives, and plays it only that much later.
class PrivateServer {
public:
    ~PrivateServer() { Kill(); }
    std::string Address() const { return "unix:" + Socket().string(); }

    // Starts the server and waits until it accepts connections; false if it does not.
    bool Start()
    {
        std::string home = "HOME=" + dir_.Path().string(), runtime = "XDG_RUNTIME_DIR=" + dir_.Path().string();
        char path[] = "PATH=/usr/bin:/bin";
        char* const environment[] = {home.data(), runtime.data(), path, nullptr};
        const std::string protocol = "module-native-protocol-unix auth-anonymous=1 socket=" + Socket().string();
        const char* const args[] = {"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
                                    "--log-level=error", "-L", "module-null-sink sink_name=vorlo_loss norewinds=1",
                                    "-L", protocol.c_str(), nullptr};
        // posix_spawnp takes its lists as exec does, as char* const[], and changes neither.
        if (posix_spawnp(&pid_, "pulseaudio", nullptr, nullptr, const_cast<char* const*>(args), environment))
            return false;
        for (int i = 0; i < 100 && !std::filesystem::exists(Socket()); ++i)
            std::this_thread::sleep_for(50ms);
        return std::filesystem::exists(Socket());
    }
    // Kills the server as a crash would.
    void Kill()
    {
        if (pid_ > 0 && kill(pid_, SIGKILL) == 0)
            waitpid(pid_, nullptr, 0);
        pid_ = -1;
        std::error_code ignored;
        std::filesystem::remove(Socket(), ignored);
    }

private:
    std::filesystem::path Socket() const { return dir_.Path() / "native"; }

    TempFolder dir_;
    pid_t pid_ = -1;
};

const char* const kTick[] = {
    "status sound length", "status movie length", "status midi length",
    "status cdaudio length", "status cdaudio position", "status cdaudio mode",
    "status cdaudio current track",
};

// Asks the display's queries over and over for `span`; returns the slowest answer.
Clock::duration SlowestQueryOver(ServiceOnDisc& service, Clock::duration span)
{
    Clock::duration slowest{};
    for (const auto until = Clock::now() + span; Clock::now() < until; std::this_thread::sleep_for(5ms))
        for (const char* query : kTick)
            slowest = std::max(slowest, service.Timed(query).took);
    return slowest;
}

TEST(ServerKilledTest, QueriesAnswerAtOncePlayStopsAndWorksAgainOnceTheServerIsBack)
{
    PrivateServer server;
    ASSERT_TRUE(server.Start());
    ScopedEnv address("PULSE_SERVER", server.Address());
    ScopedEnv realSound("VORLO_AUDIO", std::nullopt);
    ScopedEnv disc("VORLO_CDROM", VORLO_DEMO_CUE);
    ServiceOnDisc service{ServiceOnDisc::Located{}};
    ASSERT_EQ(service.Timed("open cdaudio").error, 0u);
    ASSERT_EQ(service.Timed("set cdaudio time format milliseconds").error, 0u);
    ASSERT_EQ(service.Timed("play cdaudio").error, 0u);
    std::this_thread::sleep_for(500ms);
    ASSERT_EQ(service.Text("status cdaudio mode"), "playing");

    server.Kill();
    const Clock::duration slowest = SlowestQueryOver(service, 1500ms);
    EXPECT_LT(slowest, kCommandBound) << "the slowest query took " << Micros(slowest) << " us";
    EXPECT_TRUE(service.Eventually("status cdaudio mode", "stopped", 2s));
    const std::string held = service.Text("status cdaudio position");
    EXPECT_GT(std::stoi(held), 2001) << "the position went back to the start";
    EXPECT_EQ(service.Text("status cdaudio position"), held);

    const TimedReply refused = service.Timed("play cdaudio");
    EXPECT_EQ(refused.error, platform::mcierr::kHardware);
    EXPECT_EQ(refused.text, "");
    EXPECT_LT(Micros(SlowestQueryOver(service, 200ms)), Micros(kCommandBound)) << "after a play that found no server";

    ASSERT_TRUE(server.Start());
    EXPECT_EQ(service.Timed("play cdaudio").error, 0u);
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(service.Text("status cdaudio mode"), "playing");
    EXPECT_GT(std::stoi(service.Text("status cdaudio position")), std::stoi(held));
    EXPECT_EQ(service.Timed("stop cdaudio").error, 0u);
    EXPECT_EQ(service.Timed("close cdaudio").error, 0u);
}

} // namespace
} // namespace vorlo::test
