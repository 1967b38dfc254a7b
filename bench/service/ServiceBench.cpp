// Median latency of the status queries the position display sends every tick, through the
// service's command-string entry, with a disc image open and playing.
//
//   build/bench/service/service_bench --benchmark_repetitions=9 --benchmark_report_aggregates_only
#include "platform/devices/cdaudio/CdAudioDevice.h"
#include "platform/service/MciService.h"
#include "support/TestDisc.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <filesystem>
#include <unistd.h>

namespace {

using namespace vorlo::platform;

// Plays by the clock without making a sound: what a status query meets while the disc plays.
class ClockEngine final : public PlaybackEngine {
public:
    PlayError Play(std::shared_ptr<SectorSource>, std::int32_t first, std::int32_t) override
    {
        heard_ = first;
        return PlayError::None;
    }
    void Stop() override {}
    void Pause() override {}
    void Resume() override {}
    State CurrentState() const override { return State::Playing; }
    std::int32_t HeardLsn() const override { return heard_.fetch_add(1, std::memory_order_relaxed) % 1000; }

private:
    mutable std::atomic<std::int32_t> heard_{0};
};

class OpenDisc {
public:
    explicit OpenDisc(bool traced)
        : dir_(std::filesystem::temp_directory_path() / ("vorlo-bench-" + std::to_string(::getpid()))),
          cue_((std::filesystem::create_directories(dir_), vorlo::test::TestDisc::AudioOnly(12, 1000).Write(dir_, "bench"))),
          service_(
              {.cdaudio =
                   [this](const MciOpenRequest&, MciError& error, std::string& why) {
                       CdAudioParts parts;
                       parts.createEngine = [] { return std::make_unique<ClockEngine>(); };
                       return std::unique_ptr<MciDevice>(
                           CdAudioDevice::Open({DiscLocation::Kind::Image, cue_}, parts, error, why));
                   },
               .waveaudio = {}},
              traced ? std::make_unique<TraceWriter>((dir_ / "trace").string()) : nullptr)
    {
        for (const char* command : {"open cdaudio", "set cdaudio time format milliseconds", "play cdaudio"})
            Send(command);
    }
    ~OpenDisc() { std::filesystem::remove_all(dir_); }

    MciError Send(const char* command) { return service_.SendString(command, reply_, sizeof reply_); }

private:
    std::filesystem::path dir_;
    std::string cue_;
    MciService service_;
    char reply_[128];
};

constexpr const char* kTick[] = {
    "status sound length",  "status sound position",  "status movie length",   "status movie position",
    "status midi length",   "status midi position",   "status cdaudio length", "status cdaudio position",
};

void StatusPosition(benchmark::State& state)
{
    OpenDisc disc(state.range(0) != 0);
    for (auto _ : state)
        benchmark::DoNotOptimize(disc.Send("status cdaudio position"));
}

void WholeTick(benchmark::State& state)
{
    OpenDisc disc(state.range(0) != 0);
    for (auto _ : state)
        for (const char* command : kTick)
            benchmark::DoNotOptimize(disc.Send(command));
}

BENCHMARK(StatusPosition)->ArgName("traced")->Arg(0)->Arg(1)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(WholeTick)->ArgName("traced")->Arg(0)->Arg(1)->Repetitions(9)->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
