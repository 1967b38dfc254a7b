// The cost of one tick of the position display: the eight status queries, the four bar
// fills, and the window repainting on the offscreen platform, with a disc playing.
#include "RecordingPlatform.h"
#include "support/TestDisc.h"

#include "app/Form1.h"
#include "media/MediaChannel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

namespace {

constexpr int kLogBound = 1 << 12;

// Ticks with the recording double answering as a playing disc would.
void BM_TickRecordingDouble(benchmark::State& state)
{
    vorlo::test::RecordingPlatform platform;
    platform.ReplyTo("status cdaudio length", "3000000");
    platform.ReplyTo("status cdaudio position", "1500000");
    vorlo::media::ScopedMediaPlatform bound(platform);
    vorlo::app::Form1 form;
    form.Controls().Timer1->stop();
    form.show();
    QCoreApplication::processEvents();

    int ticks = 0;
    for (auto _ : state) {
        form.RefreshPositionBars();
        QCoreApplication::processEvents();
        if (++ticks % kLogBound == 0)
            platform.ClearLog();
    }
}
BENCHMARK(BM_TickRecordingDouble);

std::string Ask(std::string_view query)
{
    vorlo::media::ReplyBuffer buffer;
    vorlo::media::SendMediaCommand(query, buffer);
    return std::string(buffer.Reply());
}

// Ticks with the media service playing a generated disc image through the null sound
// device. The image is written before the service first looks for its disc.
void BM_TickRealService(benchmark::State& state)
{
    QTemporaryDir dir;
    const auto cue = vorlo::test::TestDisc::AudioOnly(3, 75 * 20).Write(dir.path().toStdString(), "bench");
    setenv("VORLO_CDROM", cue.c_str(), 1);
    setenv("VORLO_AUDIO", "null", 0);
    vorlo::app::Form1 form;
    form.Controls().Timer1->stop();
    form.show();
    form.PlayDisc();
    QElapsedTimer waited;
    waited.start();
    while (Ask("status cdaudio mode") != "playing" && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    if (Ask("status cdaudio mode") != "playing") {
        state.SkipWithError("the disc is not playing");
        return;
    }

    for (auto _ : state) {
        form.RefreshPositionBars();
        QCoreApplication::processEvents();
    }
    form.StopDisc();
}
BENCHMARK(BM_TickRealService)->MinTime(3);

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
