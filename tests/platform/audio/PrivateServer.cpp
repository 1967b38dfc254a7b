#include "PulseTestSupport.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <thread>
#include <vector>

namespace vorlo::test {

PrivateServer::PrivateServer()
{
    char pattern[] = "/tmp/vorlo-sound-test.XXXXXX";
    dir_ = mkdtemp(pattern);
}

PrivateServer::~PrivateServer()
{
    Kill();
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
}

bool PrivateServer::Start()
{
    std::vector<std::string> args = {
        "pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no", "--log-target=stderr",
        "--log-level=error", "-L", "module-null-sink sink_name=vorlo_loss",
        "-L", "module-native-protocol-unix auth-anonymous=1 socket=" + (dir_ / "native").string()};
    std::vector<std::string> environment = {"HOME=" + dir_.string(), "XDG_RUNTIME_DIR=" + dir_.string(), "PATH=/usr/bin:/bin"};
    std::vector<char*> argv, envp;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    for (std::string& variable : environment)
        envp.push_back(variable.data());
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    if (posix_spawnp(&pid_, "pulseaudio", nullptr, nullptr, argv.data(), envp.data()) != 0)
        return false;
    for (int i = 0; i < 100 && !std::filesystem::exists(dir_ / "native"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return std::filesystem::exists(dir_ / "native");
}

void PrivateServer::Kill()
{
    if (pid_ <= 0)
        return;
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
    std::error_code ignored;
    std::filesystem::remove(dir_ / "native", ignored);
}

} // namespace vorlo::test
