#include "RecordingPlatform.h"
#include "app/WindowTestSupport.h"

#include "app/Form1.h"
#include "auxiliary/TestCapture.h"

#include <QElapsedTimer>
#include <QPointer>

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>

namespace vorlo::auxiliary {
namespace {

using Log = std::vector<std::string>;

// Every step of the capture, in order; the last five follow the wait.
const Log kSteps = {"remove c:\\cdtest.wav", "stop cdaudio", "close cdaudio", "open cdaudio",
                    "set cdaudio time format milliseconds", "play cdaudio", "open new type waveaudio alias capture",
                    "record capture", "stop capture", "save capture c:\\cdtest.wav", "close capture",
                    "stop cdaudio", "close cdaudio"};
const Log kAfterTheWait(kSteps.end() - 5, kSteps.end());

class TestCapture : public testing::Test {
protected:
    test::RecordingPlatform platform;
    media::ScopedMediaPlatform binding{platform};
};

// Every step runs, in order, though each one fails: there is no file to delete, no disc
// and no capture device. The one-second wait lets timer ticks run (nothing else here lets
// events in), and sleeps.
TEST_F(TestCapture, RecordRunsEveryStepAndWaitsASecondWhileTicksRun)
{
    int ticks = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] { ++ticks; });
    tick.start(100);
    QElapsedTimer elapsed;
    elapsed.start();
    const std::clock_t cpu = std::clock();

    RecordTestCapture();

    EXPECT_GE(elapsed.elapsed(), 1000);
    EXPECT_GE(ticks, 5);
    EXPECT_LT(static_cast<double>(std::clock() - cpu) / CLOCKS_PER_SEC, 0.3) << "the wait must sleep, not spin";
    EXPECT_EQ(platform.Log(), kSteps);
}

TEST_F(TestCapture, ClosingTheWindowDuringTheWaitFinishesTheRemainingCommands)
{
    QPointer<app::Form1> window = new app::Form1;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    QTimer::singleShot(0, window, [window] { window->RecordTestCapture(); });
    QTimer::singleShot(300, window, &QWidget::close);
    QTimer::singleShot(10000, [] { QCoreApplication::exit(1); });
    QElapsedTimer elapsed;
    elapsed.start();
    // The window is a tool window, which Qt need not count as the last one: closing it
    // must still end the event loop.
    EXPECT_EQ(QApplication::exec(), 0);

    // Closing released the capture alias and destroyed the window; the capture then went
    // on with its remaining commands, which found nothing open.
    EXPECT_TRUE(window.isNull());
    const Log& log = platform.Log();
    ASSERT_GT(log.size(), 5u);
    EXPECT_EQ(Log(log.end() - 5, log.end()), kAfterTheWait);
    EXPECT_NE(std::find(log.begin(), log.end() - 5, "close capture"), log.end() - 5) << "closing released nothing";
    EXPECT_LT(elapsed.elapsed(), 900) << "quitting must end the wait at once";
}

TEST_F(TestCapture, PlayShowsTheBoxExactlyWhenTheSoundFails)
{
    QGuiApplication::setApplicationDisplayName("Capture Test Title");
    const QString box = "Capture Test Title|Error! Probably file not found. Modify the code to record and play a "
                        ".WAV file on your system.|0|" + QString::number(QMessageBox::Ok);
    for (const std::int32_t played : {0, 1}) {
        platform.SetPlaySoundResult(played);
        test::BoxAnswerer answerer(QMessageBox::Ok);
        PlayTestCapture(nullptr);
        EXPECT_EQ(answerer.Boxes(), played ? QStringList{} : QStringList{box}) << played;
    }
    EXPECT_EQ(platform.Log(), Log(2, "playsound c:\\cdtest.wav 0"));
}

} // namespace
} // namespace vorlo::auxiliary
