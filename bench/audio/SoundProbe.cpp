// Measures, against the sound server's monitor of its sink, how soon a stop is followed by
// silence and how far the reported position is from the sample on the monitor: once for
// the playback engine itself (its sample-exact position) and once through the service's
// command strings ("status cdaudio position" in milliseconds, which counts whole sectors).
//
//   vorlo-sound-probe DEMO.cue [ROUNDS]
//
// Needs PULSE_SERVER naming a server whose default sink is a null sink with its monitor as
// the default source (bench/audio/run.sh starts one). Each round plays from the start of a
// track, samples the position ten times, stops, and finds the round's sound in the
// recording. Prints the median and the maximum of each figure in milliseconds.
#include "MonitorRecorder.h"
#include "SoundMatch.h"

#include "platform/Mci.h"
#include "platform/audio/DiscSectorSource.h"
#include "platform/audio/PulseOutput.h"
#include "platform/audio/StreamEngine.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using namespace std::chrono_literals;
using namespace vorlo;

namespace {

constexpr std::array<std::int32_t, 4> kTrackStarts{0, 1125, 2175, 3375};
constexpr int kSamplesPerRound = 10;

double Ms(std::int64_t frames) { return static_cast<double>(frames) * 1000.0 / platform::kSampleRate; }

// What is measured: something that plays from a sector, says which frame it plays, stops.
class Player {
public:
    virtual ~Player() = default;
    virtual bool Play(std::int32_t lsn) = 0;
    virtual std::int64_t Frame() = 0;
    virtual void Stop() = 0;
};

class EnginePlayer final : public Player {
public:
    explicit EnginePlayer(const std::string& cue)
        : disc_(platform::CdioHandle::OpenImage(cue)), source_(std::make_shared<platform::DirectSectorSource>(disc_, platform::ReadDiscToc(disc_)))
    {
    }
    bool Play(std::int32_t lsn) override { return engine_.Play(source_, lsn, lsn + 4 * platform::kSectorsPerSecond) == platform::PlayError::None; }
    std::int64_t Frame() override { return engine_.HeardFrame(); }
    void Stop() override { engine_.Stop(); }

private:
    platform::CdioHandle disc_;
    std::shared_ptr<platform::SectorSource> source_;
    platform::StreamEngine engine_{std::make_unique<platform::PulseOutput>()};
};

class ServicePlayer final : public Player {
public:
    explicit ServicePlayer(const std::string& cue)
    {
        setenv("VORLO_CDROM", cue.c_str(), 1);
        Send("open cdaudio");
        Send("set cdaudio time format milliseconds");
    }
    ~ServicePlayer() override { Send("close cdaudio"); }

    bool Play(std::int32_t lsn) override
    {
        // Milliseconds of the absolute frame (track 1 starts two seconds in), as the service counts.
        const std::int64_t ms = (lsn + 2 * platform::kSectorsPerSecond) * 1000LL / platform::kSectorsPerSecond + 1;
        return Send("play cdaudio from " + std::to_string(ms)) == 0;
    }
    std::int64_t Frame() override
    {
        char reply[128];
        platform::mciSendString("status cdaudio position", reply, sizeof reply, 0);
        // The service's own reading of milliseconds as a frame: ((P - 1) * 75 + 500) / 1000.
        const std::int64_t sectors = ((std::atoll(reply) - 1) * platform::kSectorsPerSecond + 500) / 1000;
        return (sectors - 2 * platform::kSectorsPerSecond) * static_cast<std::int64_t>(platform::kFramesPerSector);
    }
    void Stop() override { Send("stop cdaudio"); }

private:
    static platform::MciError Send(const std::string& command)
    {
        char reply[128];
        return platform::mciSendString(command.c_str(), reply, sizeof reply, 0);
    }
};

struct Figures {
    std::vector<double> stopLatency;
    std::vector<double> positionError;
};

bool Measure(Player& player, test::MonitorRecorder& recorder, const test::Samples& image, int rounds, Figures& figures)
{
    for (int round = 0; round < rounds; ++round) {
        const std::int32_t first = kTrackStarts[static_cast<std::size_t>(round) % kTrackStarts.size()];
        const std::int64_t roundStart = recorder.NowFrame();
        if (!player.Play(first)) {
            std::fprintf(stderr, "play failed: no sound server?\n");
            return false;
        }
        std::vector<std::pair<std::int64_t, std::int64_t>> samples;  // reported frame, monitor frame
        std::this_thread::sleep_for(300ms);
        for (int i = 0; i < kSamplesPerRound; ++i) {
            const std::int64_t reported = player.Frame();
            samples.emplace_back(reported, recorder.NowFrame());
            std::this_thread::sleep_for(97ms);
        }
        const std::int64_t stopAt = recorder.NowFrame();
        player.Stop();
        std::this_thread::sleep_for(300ms);
        recorder.WaitForFrames(recorder.NowFrame());

        const test::Samples recording = recorder.Recording();
        const std::int64_t firstFrame = first * test::kFramesPerSector;
        const auto base = test::Locate(recording, image, firstFrame, roundStart);
        if (!base) {
            std::fprintf(stderr, "round %d: the played sound is not on the monitor\n", round);
            return false;
        }
        for (const auto& [reported, monitor] : samples)
            figures.positionError.push_back(std::abs(Ms(reported - (firstFrame + monitor - *base))));
        figures.stopLatency.push_back(Ms(test::LastSound(recording, *base) + 1 - stopAt));
    }
    return true;
}

void Print(const char* what, std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    std::printf("  %-42s median %5.1f ms, max %5.1f ms\n", what, values[values.size() / 2], values.back());
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: vorlo-sound-probe DEMO.cue [ROUNDS]\n");
        return 2;
    }
    const std::string cue = argv[1];
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 8;
    const test::Samples image = test::ReadFile(cue.substr(0, cue.size() - 4) + ".bin");
    unsetenv("VORLO_AUDIO");
    test::MonitorRecorder recorder;

    Figures engine, service;
    {
        EnginePlayer player(cue);
        if (!Measure(player, recorder, image, rounds, engine))
            return 1;
    }
    {
        ServicePlayer player(cue);
        if (!Measure(player, recorder, image, rounds, service))
            return 1;
    }
    std::printf("Playback engine (sample-exact position):\n");
    Print("stop latency (stop -> silence on monitor)", engine.stopLatency);
    Print("position error (reported vs monitor)", engine.positionError);
    std::printf("Through the command strings (position in whole sectors):\n");
    Print("stop latency (\"stop cdaudio\" -> silence)", service.stopLatency);
    Print("position error (\"status cdaudio position\")", service.positionError);
    return 0;
}
