// vorlo-drive-probe: plays a scenario against vorlo-mci on the simulated drive, as the
// window would, and measures it.
//
//   vorlo-drive-probe SCENARIO VORLO_MCI DRIVE_LOG CONTROL_FILE
//
// SCENARIO has one action a line ('#' starts a comment):
//   at SECONDS COMMAND       sends COMMAND, and waits for its reply as the window does
//   ticks FROM UNTIL         the window's tick every 100 ms: each length query, and the
//                            position query of each alias whose length is not zero
//   knob SECONDS NAME=VALUE  appends NAME=VALUE to the drive's control file (at 0: before
//                            the service starts)
//   end SECONDS
// Commands and ticks share one thread, as in the window: a command that blocks delays the
// ticks behind it. Prints, for each command string, its count and its median and worst
// latency; the worst gap between the starts of two ticks; the time from the first play
// to the end of the drive's first read after it (the first audio off the disc; the null
// sound device plays it at once); and the drive's duty cycle, its time spent reading over
// the scenario's wall time, both taken from the drive's log; the steady duty cycle, the
// same over the reads that start from 15 s after the first play until the end, when that
// is at least 10 s (the read-ahead is full then, and the drive reads only to keep it so);
// and when, after the first play, the cdaudio position a tick reads first moves.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock; // CLOCK_MONOTONIC, the drive log's clock
constexpr auto kTickInterval = std::chrono::milliseconds(100);
constexpr const char* kTickAliases[] = {"sound", "movie", "midi", "cdaudio"};
constexpr double kSteadyAfterSeconds = 15;
constexpr double kShortestSteadySeconds = 10;

double Seconds(Clock::time_point at) { return std::chrono::duration<double>(at.time_since_epoch()).count(); }
double Millis(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

struct Action {
    double at = 0;
    enum Kind { Command, Knob, End } kind = Command;
    std::string text;
};

struct Scenario {
    std::vector<Action> actions;
    double ticksFrom = -1, ticksUntil = -1;
};

Scenario ReadScenario(const char* path)
{
    Scenario scenario;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string verb;
        if (!(words >> verb) || verb[0] == '#')
            continue;
        Action action;
        words >> action.at;
        std::getline(words >> std::ws, action.text);
        if (verb == "ticks") {
            scenario.ticksFrom = action.at;
            scenario.ticksUntil = std::stod(action.text);
            continue;
        }
        action.kind = verb == "knob" ? Action::Knob : verb == "end" ? Action::End : Action::Command;
        scenario.actions.push_back(action);
    }
    std::stable_sort(scenario.actions.begin(), scenario.actions.end(),
                     [](const Action& a, const Action& b) { return a.at < b.at; });
    return scenario;
}

// vorlo-mci on two pipes: one command a line in, "ERROR<TAB>REPLY" a line out.
class Service {
public:
    explicit Service(const char* program)
    {
        int in[2], out[2];
        if (pipe(in) || pipe(out))
            throw std::runtime_error("pipe");
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_adddup2(&files, in[0], 0);
        posix_spawn_file_actions_adddup2(&files, out[1], 1);
        posix_spawn_file_actions_addclose(&files, in[1]);
        posix_spawn_file_actions_addclose(&files, out[0]);
        char* argv[] = {const_cast<char*>(program), nullptr};
        if (posix_spawn(&pid_, program, &files, nullptr, argv, environ))
            throw std::runtime_error(std::string("cannot start ") + program);
        posix_spawn_file_actions_destroy(&files);
        close(in[0]);
        close(out[1]);
        to_ = fdopen(in[1], "w");
        from_ = fdopen(out[0], "r");
        // The program's own start (loading its libraries) is not a command's latency: the
        // scenario starts once it has answered a question about no device.
        Send("status vorlo-probe mode");
    }
    ~Service()
    {
        std::fclose(to_); // end of input: vorlo-mci closes what is open and exits
        std::fclose(from_);
        int status;
        waitpid(pid_, &status, 0);
    }
    // Sends COMMAND and returns its reply line ("" when the service is gone).
    std::string Send(const std::string& command)
    {
        std::fprintf(to_, "%s\n", command.c_str());
        std::fflush(to_);
        char line[512];
        if (!std::fgets(line, sizeof line, from_))
            return "";
        std::string reply(line);
        while (!reply.empty() && reply.back() == '\n')
            reply.pop_back();
        return reply;
    }
    Service(const Service&) = delete;
    Service& operator=(const Service&) = delete;

private:
    pid_t pid_ = 0;
    FILE* to_ = nullptr;
    FILE* from_ = nullptr;
};

struct Measures {
    std::map<std::string, std::vector<double>> latencies; // ms, by command
    double worstTickGapMs = 0;
    double firstPlaySent = -1; // monotonic seconds
    double positionAtPlay = 0;
    double positionMoved = -1; // seconds after the first play
    double start = 0, end = 0;
    std::vector<std::string> replies;
};

std::string Timed(Service& service, const std::string& command, Measures& measures)
{
    const auto sent = Clock::now();
    std::string reply = service.Send(command);
    measures.latencies[command].push_back(Millis(Clock::now() - sent));
    return reply;
}

// The number a reply carries, or 0 for an error or no number.
double ReplyNumber(const std::string& reply)
{
    const auto tab = reply.find('\t');
    return reply.rfind("0\t", 0) == 0 && tab != std::string::npos ? std::atof(reply.c_str() + tab + 1) : 0;
}

void Tick(Service& service, Measures& measures)
{
    for (const char* alias : kTickAliases) {
        if (ReplyNumber(Timed(service, std::string("status ") + alias + " length", measures)) == 0)
            continue;
        const auto asked = Clock::now();
        const double position = ReplyNumber(Timed(service, std::string("status ") + alias + " position", measures));
        if (measures.firstPlaySent >= 0 && measures.positionMoved < 0 && position > measures.positionAtPlay)
            measures.positionMoved = Seconds(asked) - measures.firstPlaySent;
        if (measures.firstPlaySent < 0)
            measures.positionAtPlay = position;
    }
}

Measures Run(const Scenario& scenario, const char* program, const std::string& control)
{
    Measures measures;
    for (const Action& action : scenario.actions) // the drive's state before the service starts
        if (action.kind == Action::Knob && action.at <= 0)
            std::ofstream(control, std::ios::app) << action.text << "\n";
    Service service(program);
    const auto start = Clock::now();
    measures.start = Seconds(start);
    auto at = [&](double seconds) { return start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds)); };
    auto nextTick = scenario.ticksFrom >= 0 ? at(scenario.ticksFrom) : Clock::time_point::max();
    const auto ticksUntil = at(scenario.ticksUntil);
    Clock::time_point lastTick{};
    for (std::size_t next = 0; next < scenario.actions.size();) {
        const Action& action = scenario.actions[next];
        if (nextTick <= at(action.at) && nextTick < ticksUntil) {
            std::this_thread::sleep_until(nextTick);
            const auto began = Clock::now();
            if (lastTick != Clock::time_point{})
                measures.worstTickGapMs = std::max(measures.worstTickGapMs, Millis(began - lastTick));
            lastTick = began;
            Tick(service, measures);
            nextTick = std::max(nextTick + kTickInterval, Clock::now());
            continue;
        }
        std::this_thread::sleep_until(at(action.at));
        ++next;
        if (action.kind == Action::End)
            break;
        if (action.kind == Action::Knob) {
            if (action.at > 0)
                std::ofstream(control, std::ios::app) << action.text << "\n";
            continue;
        }
        if (measures.firstPlaySent < 0 && action.text.rfind("play ", 0) == 0)
            measures.firstPlaySent = Seconds(Clock::now());
        measures.replies.push_back(action.text + " -> " + Timed(service, action.text, measures));
    }
    measures.end = Seconds(Clock::now());
    return measures;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The value of "NAME=" in a drive log line, or -1.
double Field(const std::string& line, const char* name)
{
    const auto at = line.find(std::string(" ") + name + "=");
    return at == std::string::npos ? -1 : std::atof(line.c_str() + at + std::strlen(name) + 2);
}

void Report(const Measures& measures, const char* driveLog)
{
    for (const auto& [command, values] : measures.latencies)
        std::printf("command\t%s\t%zu\t%.2f\t%.2f\n", command.c_str(), values.size(), Median(values),
                    *std::max_element(values.begin(), values.end()));
    for (const std::string& reply : measures.replies)
        std::printf("reply\t%s\n", reply.c_str());
    std::printf("tick_gap_ms\t%.1f\n", measures.worstTickGapMs);
    double busyMs = 0, firstSound = -1, steadyBusyMs = 0;
    const double steadyFrom = measures.firstPlaySent + kSteadyAfterSeconds;
    std::ifstream log(driveLog);
    std::string line;
    while (std::getline(log, line)) {
        if (line.find("\tread\t") == std::string::npos)
            continue;
        const double start = Field(line, "start"), busy = Field(line, "busy_ms");
        if (start < measures.start || start > measures.end)
            continue;
        busyMs += busy;
        if (measures.firstPlaySent >= 0 && start >= steadyFrom)
            steadyBusyMs += busy;
        if (firstSound < 0 && measures.firstPlaySent >= 0 && start >= measures.firstPlaySent &&
            line.find("result=ok") != std::string::npos)
            firstSound = start + busy / 1000 - measures.firstPlaySent;
    }
    std::printf("first_read_after_play_ms\t%.0f\n", firstSound < 0 ? -1 : firstSound * 1000);
    std::printf("position_moves_after_play_ms\t%.0f\n", measures.positionMoved < 0 ? -1 : measures.positionMoved * 1000);
    std::printf("duty_percent\t%.1f\n", 100 * busyMs / 1000 / (measures.end - measures.start));
    if (measures.firstPlaySent >= 0 && measures.end - steadyFrom >= kShortestSteadySeconds)
        std::printf("steady_duty_percent\t%.1f\n", 100 * steadyBusyMs / 1000 / (measures.end - steadyFrom));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s SCENARIO VORLO_MCI DRIVE_LOG CONTROL_FILE\n", argv[0]);
        return 2;
    }
    const Measures measures = Run(ReadScenario(argv[1]), argv[2], argv[4]);
    Report(measures, argv[3]);
    return 0;
}
