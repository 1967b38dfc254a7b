// The cost of one tick of the position display: the eight status queries, the four bar
// fills, and the window repainting on the offscreen platform, with a disc playing.
#include "RecordingPlatform.h"

#include "app/Form1.h"

#include <QApplication>
#include <QTimer>

#include <benchmark/benchmark.h>

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
