#include "auxiliary/TestCapture.h"

#include "media/MediaChannel.h"
#include "media/MediaCommands.h"
#include "media/MediaPlatform.h"
#include "transport/Transport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include <chrono>
#include <thread>

namespace vorlo::auxiliary {
namespace {

using namespace media::commands;

constexpr std::chrono::milliseconds kCaptureLength{1000};
constexpr const char* kFileNotFoundPrompt =
    "Error! Probably file not found. Modify the code to record and play a .WAV file on your system.";

template <typename Step>
void IgnoringErrors(Step&& step) noexcept
{
    try {
        step();
    } catch (...) {
        // A step's failure must not keep the capture from going on.
    }
}

// Lets window events and timer ticks run until `length` has passed on the monotonic clock,
// sleeping in the event loop in between. Quitting the application ends every event loop;
// the wait then ends too, rather than start loops that would return at once.
void WaitLettingEventsRun(std::chrono::milliseconds length)
{
    const QDeadlineTimer deadline(length, Qt::PreciseTimer);
    if (!QCoreApplication::instance()) {
        std::this_thread::sleep_for(length);
        return;
    }
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    while (!deadline.hasExpired()) {
        timer.start(std::chrono::milliseconds(deadline.remainingTime()));
        loop.exec();
        if (timer.isActive())
            return;
    }
}

} // namespace

void RecordTestCapture()
{
    media::ReplyBuffer buffer;
    const auto send = [&buffer](std::string_view command) {
        IgnoringErrors([&] { media::SendMediaCommand(command, buffer); });
    };

    IgnoringErrors([] { media::CurrentMediaPlatform().RemoveFile(kTestCaptureFile); });
    IgnoringErrors(transport::PlayDisc);
    send(kOpenCapture);
    send(kRecordCapture);
    IgnoringErrors([] { WaitLettingEventsRun(kCaptureLength); });
    send(kStopCapture);
    send(kSaveCaptureTestFile);
    send(kCloseCapture);
    IgnoringErrors(transport::StopDisc);
}

void PlayTestCapture(QWidget* owner)
{
    if (media::CurrentMediaPlatform().PlaySound(kTestCaptureFile, media::kSndSync) != 0)
        return;
    // The owner may be destroyed while the box is open, and the box with it.
    QPointer<QMessageBox> box = new QMessageBox(QMessageBox::NoIcon, QGuiApplication::applicationDisplayName(),
                                                QString::fromLatin1(kFileNotFoundPrompt), QMessageBox::Ok, owner);
    box->exec();
    delete box.data();
}

} // namespace vorlo::auxiliary
