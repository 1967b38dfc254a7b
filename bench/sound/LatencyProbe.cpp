// Measures, through the command strings and against the sink's monitor, how soon sound
// follows "play" (where the disc rests, and somewhere else at once), the window's Play
// (which closes the device and opens it again first: the first after start-up, one after
// the window's Stop and a rest, and one during play), a jump ("play ... from") and
// "stop", and how far "status cdaudio position" is from what the monitor hears. The sound
// is found by its level and, for a jump, by its shape, so the figures hold on a sink that
// resamples (PipeWire) as well.
//
//   vorlo-latency-probe DEMO.cue [ROUNDS]      the figures above
//   vorlo-latency-probe --no-server DEMO.cue   how long "play" takes with no server
//
// Needs PULSE_SERVER naming a server whose default source is its null sink's monitor.
// The disc played is DEMO.cue, or the drive VORLO_CDROM names when it is set (holding the
// same disc: bench/drive plays it from the simulated drive).
// Prints "NAME MEDIAN MIN MAX P90" lines in milliseconds.
#include "MonitorRecorder.h"
#include "SoundMatch.h"

#include "platform/Mci.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

using namespace std::chrono_literals;
using namespace vorlo;
using Clock = std::chrono::steady_clock;

namespace {

constexpr std::int64_t kRate = platform::kSampleRate;
// A second into each track of the demo disc, where its drone sounds from the first frame.
constexpr std::int32_t kLoudLsns[] = {75, 1125 + 75, 2175 + 75, 3375 + 75};
constexpr std::int64_t kShapeFrames = 441;  // 10 ms of the jump's target, looked for by shape

double Ms(std::int64_t frames) { return static_cast<double>(frames) * 1000.0 / kRate; }

platform::MciError Send(const std::string& command, std::string* text = nullptr)
{
    char reply[128] = {};
    const platform::MciError error = platform::mciSendString(command.c_str(), reply, sizeof reply, 0);
    if (text)
        *text = reply;
    return error;
}

// "play cdaudio from" in milliseconds for an LSN (track 1 starts two seconds in).
std::string PlayFrom(std::int32_t lsn)
{
    return "play cdaudio from " + std::to_string((lsn + 2 * platform::kSectorsPerSecond) * 1000LL / platform::kSectorsPerSecond + 1);
}

std::string SeekTo(std::int32_t lsn)
{
    return "seek cdaudio to " + std::to_string((lsn + 2 * platform::kSectorsPerSecond) * 1000LL / platform::kSectorsPerSecond + 1);
}

std::int64_t ReportedFrame()
{
    std::string reply;
    Send("status cdaudio position", &reply);
    const std::int64_t sectors = ((std::atoll(reply.c_str()) - 1) * platform::kSectorsPerSecond + 500) / 1000;
    return (sectors - 2 * platform::kSectorsPerSecond) * static_cast<std::int64_t>(platform::kFramesPerSector);
}

std::int16_t Left(const test::Samples& samples, std::int64_t frame)
{
    std::int16_t value = 0;
    std::memcpy(&value, samples.data() + frame * test::kFrameBytes, sizeof value);
    return value;
}

// Where, from `from` to `to`, the recording best takes the image's shape at `imageFrame`;
// -1 when nothing there is close (within a fifth of the image's own level).
std::int64_t FindShape(const test::Samples& recording, std::int64_t from, std::int64_t to, const test::Samples& image,
                       std::int64_t imageFrame)
{
    double level = 0;
    for (std::int64_t i = 0; i < kShapeFrames; ++i)
        level += std::abs(Left(image, imageFrame + i));
    const std::int64_t frames = static_cast<std::int64_t>(recording.size()) / test::kFrameBytes;
    std::int64_t best = -1;
    double bestDistance = 0.2 * level;
    for (std::int64_t at = std::max<std::int64_t>(0, from); at < std::min(to, frames - kShapeFrames); ++at) {
        double distance = 0;
        for (std::int64_t i = 0; i < kShapeFrames && distance < bestDistance; ++i)
            distance += std::abs(Left(recording, at + i) - Left(image, imageFrame + i));
        if (distance < bestDistance) {
            bestDistance = distance;
            best = at;
        }
    }
    return best;
}

// A drive's disc is read in after "open" has answered; a seek needs it in.
void AwaitDisc()
{
    std::string mode;
    for (const auto until = Clock::now() + 20s; Send("status cdaudio mode", &mode) == 0 && mode != "stopped" &&
                                                  Clock::now() < until;)
        std::this_thread::sleep_for(10ms);
}

// The window's Stop and Play buttons, command for command.
void WindowStop()
{
    Send("stop cdaudio");
    Send("close cdaudio");
}

void WindowPlay()
{
    WindowStop();
    Send("open cdaudio");
    Send("set cdaudio time format milliseconds");
    Send("play cdaudio");
}

// The first frame at or after `from` that begins 10 ms of digital silence.
std::int64_t QuietFrom(const test::Samples& recording, std::int64_t from)
{
    const std::int64_t frames = static_cast<std::int64_t>(recording.size()) / test::kFrameBytes;
    std::int64_t run = 0;
    for (std::int64_t frame = from; frame < frames; ++frame) {
        std::uint32_t both = 0;
        std::memcpy(&both, recording.data() + frame * test::kFrameBytes, sizeof both);
        run = both == 0 ? run + 1 : 0;
        if (run == kShapeFrames)
            return frame + 1 - run;
    }
    return frames;
}

void Print(const char* name, std::vector<double> values)
{
    if (values.empty()) {
        std::printf("%s - - - -\n", name);
        return;
    }
    std::sort(values.begin(), values.end());
    const auto at = [&](double q) { return values[std::min(values.size() - 1, static_cast<std::size_t>(q * values.size()))]; };
    std::printf("%s %.1f %.1f %.1f %.1f\n", name, at(0.5), values.front(), values.back(), at(0.9));
}

int NoServer(const std::string& cue)
{
    setenv("VORLO_CDROM", cue.c_str(), 1);
    setenv("PULSE_SERVER", "unix:/nonexistent/vorlo-no-server", 1);
    std::vector<double> took;
    for (int i = 0; i < 5; ++i) {
        Send("open cdaudio");
        const auto t0 = Clock::now();
        Send("play cdaudio");
        took.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
        Send("stop cdaudio");
        Send("close cdaudio");
    }
    Print("no_server_play", took);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 2 && std::string(argv[1]) == "--no-server")
        return NoServer(argv[2]);
    if (argc < 2) {
        std::fprintf(stderr, "usage: vorlo-latency-probe [--no-server] DEMO.cue [ROUNDS]\n");
        return 2;
    }
    const std::string cue = argv[1];
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
    const test::Samples image = test::ReadFile(cue.substr(0, cue.size() - 4) + ".bin");
    unsetenv("VORLO_AUDIO");
    setenv("VORLO_CDROM", cue.c_str(), 0);
    test::MonitorRecorder recorder;
    // How long after a Play, given at `at`, the first sound is heard.
    const auto heardAfter = [&](std::int64_t at) {
        recorder.WaitForFrames(recorder.NowFrame());
        const test::Samples recording = recorder.Recording();
        return Ms(test::FirstSound(test::Samples(recording.begin() + at * test::kFrameBytes, recording.end())));
    };
    // The window's first Play, which finds the device closed.
    std::vector<double> windowFirst, windowRested, windowPlaying;
    {
        const std::int64_t at = recorder.NowFrame();
        WindowPlay();
        std::this_thread::sleep_for(1500ms);
        WindowStop();
        std::this_thread::sleep_for(300ms);
        windowFirst.push_back(heardAfter(at));
    }
    Send("open cdaudio");
    Send("set cdaudio time format milliseconds");
    AwaitDisc();

    std::vector<double> start, coldStart, jump, stop, position;
    for (int round = 0; round < rounds; ++round) {
        const std::int32_t first = kLoudLsns[round % 4], target = kLoudLsns[(round + 2) % 4],
                           elsewhere = kLoudLsns[(round + 1) % 4];
        // The disc rests where the play starts, as it does after a stop or a track chosen
        // while stopped: a drive has read ahead of it by then.
        Send(SeekTo(first));
        std::this_thread::sleep_for(1500ms);
        const std::int64_t playAt = recorder.NowFrame();
        Send("play cdaudio");
        std::vector<std::pair<std::int64_t, std::int64_t>> samples;  // reported, monitor
        // The position is compared with the sound once both have begun (a drive's first
        // sound comes later than an image's).
        for (const std::int64_t held = ReportedFrame(), until = playAt + 3 * kRate;
             ReportedFrame() == held && recorder.NowFrame() < until;)
            std::this_thread::sleep_for(1ms);
        std::this_thread::sleep_for(100ms);
        for (int i = 0; i < 10; ++i) {
            samples.emplace_back(ReportedFrame(), recorder.NowFrame());
            std::this_thread::sleep_for(97ms);
        }
        const std::int64_t jumpAt = recorder.NowFrame();
        Send(PlayFrom(target));
        std::this_thread::sleep_for(1200ms);  // a drive takes most of a second to jump
        const std::int64_t stopAt = recorder.NowFrame();
        Send("stop cdaudio");
        std::this_thread::sleep_for(300ms);
        recorder.WaitForFrames(recorder.NowFrame());
        const test::Samples recording = recorder.Recording();

        const std::int64_t heardFrom =
            playAt + test::FirstSound(test::Samples(recording.begin() + playAt * test::kFrameBytes, recording.end()));
        start.push_back(Ms(heardFrom - playAt));
        const std::int64_t firstFrame = first * static_cast<std::int64_t>(platform::kFramesPerSector);
        for (const auto& [reported, monitor] : samples)
            position.push_back(std::abs(Ms(reported - (firstFrame + monitor - heardFrom))));
        const std::int64_t landed = FindShape(recording, jumpAt - kRate / 50, jumpAt + kRate * 11 / 10, image,
                                              target * static_cast<std::int64_t>(platform::kFramesPerSector));
        if (landed >= 0)
            jump.push_back(Ms(landed - jumpAt));
        stop.push_back(Ms(test::LastSound(recording, jumpAt) + 1 - stopAt));

        // A play somewhere else than where the disc rests: what was read ahead is of no use,
        // and the drive first ends the read under way.
        std::this_thread::sleep_for(300ms);
        const std::int64_t coldAt = recorder.NowFrame();
        Send(PlayFrom(elsewhere));
        std::this_thread::sleep_for(1200ms);
        Send("stop cdaudio");
        std::this_thread::sleep_for(300ms);
        coldStart.push_back(heardAfter(coldAt));

        // The window's Play after its Stop and a rest, then again while that plays.
        WindowStop();
        std::this_thread::sleep_for(1500ms);
        const std::int64_t restedAt = recorder.NowFrame();
        WindowPlay();
        std::this_thread::sleep_for(1500ms);
        const std::int64_t playingAt = recorder.NowFrame();
        WindowPlay();
        std::this_thread::sleep_for(1500ms);
        WindowStop();
        std::this_thread::sleep_for(300ms);
        windowRested.push_back(heardAfter(restedAt));
        // The restart is heard as the first sound after the gap it leaves.
        recorder.WaitForFrames(recorder.NowFrame());
        const test::Samples again = recorder.Recording();
        const std::int64_t quiet = QuietFrom(again, playingAt);
        windowPlaying.push_back(Ms(quiet - playingAt) + heardAfter(quiet));
        Send("open cdaudio");
        Send("set cdaudio time format milliseconds");
        AwaitDisc();
    }
    Send("close cdaudio");
    Print("play_to_first_sample", start);
    Print("play_elsewhere_to_first_sample", coldStart);
    Print("window_first_play_to_first_sample", windowFirst);
    Print("window_play_after_stop_to_first_sample", windowRested);
    Print("window_play_during_play_to_first_sample", windowPlaying);
    Print("stop_to_silence", stop);
    Print("jump_to_new_audio", jump);
    Print("position_error", position);
    return 0;
}
