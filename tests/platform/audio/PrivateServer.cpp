#include "PulseTestSupport.h"

#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <thread>
#include <vector>

extern char** environ;

namespace vorlo::test {

namespace {

bool Accepts(const std::filesystem::path& socketPath)
{
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0)
        return false;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
    const bool connected = connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return connected;
}

} // namespace

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
    const std::string home = "HOME=" + dir_.string();
    const std::string runtime = "XDG_RUNTIME_DIR=" + dir_.string();
    const std::string log = "--log-target=file:" + (dir_ / "log").string();
    const std::string socket = "module-native-protocol-unix auth-anonymous=1 socket=" + (dir_ / "native").string();
    std::vector<std::string> args = {"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1",
                                     "--use-pid-file=no", "--log-level=error", log,
                                     "-L", "module-null-sink sink_name=vorlo_loss rate=44100 channels=2",
                                     "-L", socket};
    std::vector<std::string> environment = {home, runtime, "PATH=/usr/bin:/bin"};
    std::vector<char*> argv, envp;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    for (std::string& variable : environment)
        envp.push_back(variable.data());
    envp.push_back(nullptr);

    pid_t pid = -1;
    if (posix_spawnp(&pid, "pulseaudio", nullptr, nullptr, argv.data(), envp.data()) != 0)
        return false;
    pid_ = pid;
    for (int i = 0; i < 100; ++i) {
        if (Accepts(dir_ / "native"))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
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
