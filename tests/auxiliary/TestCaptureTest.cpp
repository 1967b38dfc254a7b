#include "app/Form1.h"
#include "auxiliary/TestCapture.h"
#include "RecordingPlatform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <time.h>

#include <algorithm>
#include <string>
#include <vector>

namespace vorlo::auxiliary {
namespace {

using Log = std::vector<std::string>;

double ThreadCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

const Log kPlayDisc = {"stop cdaudio", "close cdaudio", "open cdaudio", "set cdaudio time format milliseconds",
                       "play cdaudio"};
const Log kCaptureUntilWait = {"open new type waveaudio alias capture", "record capture"};
const Log kCaptureAfterWait = {"stop capture", "save capture c:\\cdtest.wav", "close capture"};
const Log kStopDisc = {"stop cdaudio", "close cdaudio"};

Log Concat(std::initializer_list<Log> parts)
{
    Log all;
    for (const Log& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

class TestCapture : public testing::Test {
protected:
    test::RecordingPlatform platform;
    media::ScopedMediaPlatform binding{platform};
};

TEST_F(TestCapture, RecordRunsEveryStepInOrderWhateverFails)
{
    for (const bool earlierCapture : {false, true}) {
        platform.ClearLog();
        if (earlierCapture)
            platform.AddFile("c:\\cdtest.wav");
        RecordTestCapture();
        EXPECT_FALSE(platform.HasFile("c:\\cdtest.wav"));
        EXPECT_EQ(platform.Log(),
                  Concat({{"remove c:\\cdtest.wav"}, kPlayDisc, kCaptureUntilWait, kCaptureAfterWait, kStopDisc}));
    }
}

TEST_F(TestCapture, WaitLastsASecondLetsTicksRunAndDoesNotSpin)
{
    int ticksWhileRecording = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const Log& log = platform.Log();
        if (!log.empty() && log.back() == "record capture")
            ++ticksWhileRecording;
    });
    tick.start(100);

    QElapsedTimer elapsed;
    elapsed.start();
    const double cpuBefore = ThreadCpuSeconds();
    RecordTestCapture();
    const double cpuUsed = ThreadCpuSeconds() - cpuBefore;

    EXPECT_GE(elapsed.elapsed(), 1000);
    EXPECT_GE(ticksWhileRecording, 5);
    EXPECT_LT(cpuUsed, 0.3) << "the wait must sleep, not spin";
}

TEST_F(TestCapture, ClosingTheWindowDuringTheWaitFinishesTheRemainingCommands)
{
    QPointer<app::Form1> window = new app::Form1;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    QTimer::singleShot(0, window, [window] { window->RecordTestCapture(); });
    QTimer::singleShot(300, window, &QWidget::close);

    QElapsedTimer elapsed;
    elapsed.start();
    QApplication::exec();

    // Closing released the capture alias and destroyed the window, which released the
    // disc; the capture then went on with its remaining commands, which found no alias.
    EXPECT_TRUE(window.isNull());
    const Log commands = platform.Commands();
    const Log tail(commands.end() - 5, commands.end());
    EXPECT_EQ(tail, Concat({kCaptureAfterWait, kStopDisc}));
    const auto released = std::find(commands.begin(), commands.end(), "close capture");
    EXPECT_LT(released - commands.begin(), static_cast<std::ptrdiff_t>(commands.size()) - 5);
    EXPECT_LT(elapsed.elapsed(), 900) << "quitting must end the wait at once";
}

// Answers every modal box that appears with OK, remembering each as "title|text|icon|buttons".
class BoxAnswerer {
public:
    BoxAnswerer()
    {
        QObject::connect(&poll_, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
                return;
            seen_.push_back(box->windowTitle() + '|' + box->text() + '|' + QString::number(box->icon()) + '|' +
                            QString::number(box->standardButtons()));
            box->button(QMessageBox::Ok)->click();
        });
        poll_.start(10);
    }
    const QStringList& Boxes() const { return seen_; }

private:
    QTimer poll_;
    QStringList seen_;
};

TEST_F(TestCapture, PlayShowsTheBoxExactlyWhenTheSoundFails)
{
    QGuiApplication::setApplicationDisplayName("Capture Test Title");
    for (const std::int32_t result : {0, 1}) {
        SCOPED_TRACE(result);
        platform.ClearLog();
        platform.SetPlaySoundResult(result);
        BoxAnswerer answerer;
        QWidget owner;

        PlayTestCapture(&owner);
        QApplication::processEvents();

        EXPECT_EQ(platform.Log(), Log{"playsound c:\\cdtest.wav 0"});
        const QString expected = "Capture Test Title|Error! Probably file not found. Modify the code to record and "
                                 "play a .WAV file on your system.|0|" + QString::number(QMessageBox::Ok);
        EXPECT_EQ(answerer.Boxes(), result == 0 ? QStringList{expected} : QStringList{});
    }
}

} // namespace
} // namespace vorlo::auxiliary
