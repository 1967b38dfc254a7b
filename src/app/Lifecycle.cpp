#include "app/Lifecycle.h"

#include "app/Twips.h"
#include "media/MediaChannel.h"
#include "media/MediaCommands.h"
#include "resources/Identity.h"

#include <QEvent>
#include <QGuiApplication>
#include <QMessageBox>
#include <QObject>
#include <QScreen>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <stdexcept>
#include <string_view>

namespace vorlo::app {

namespace {

namespace cmd = media::commands;

// Every alias the program may have opened, stopped first and then closed.
constexpr std::array<std::string_view, 10> kReleaseAllCommands{
    cmd::kStopSound,  cmd::kStopMidi,  cmd::kStopMovie,  cmd::kStopCdaudio,  cmd::kStopCapture,
    cmd::kCloseSound, cmd::kCloseMidi, cmd::kCloseMovie, cmd::kCloseCdaudio, cmd::kCloseCapture,
};
constexpr std::array<std::string_view, 2> kReleaseDiscCommands{cmd::kStopCdaudio, cmd::kCloseCdaudio};

// Screen and window sizes arrive in pixels; the centring works in twips, as the layout does.
double PixelsToTwips(int pixels, double dotsPerInch) { return pixels * kTwipsPerInch / dotsPerInch; }

void SendAll(const auto& commands)
{
    media::ReplyBuffer reply;
    for (const std::string_view command : commands)
        media::SendMediaCommand(command, reply);
}

// Ends the process on the spot: no window handler, destructor or atexit handler runs, so
// nothing releases a device. What C stdio has buffered is written out first, and handlers
// registered with at_quick_exit still run (for flushing logs, never for releasing).
[[noreturn]] void EndProgramAtOnce()
{
    std::fflush(nullptr);
    std::quick_exit(EXIT_SUCCESS);
}

// Moves the window so that its outer size, as far as it is known, is centred on its screen,
// and returns that size.
QSize PlaceCentred(QWidget& window)
{
    const QScreen* screen = window.screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QSize outer = window.frameGeometry().size();
    if (!screen)
        return outer;
    const Density density = ScreenDensity(&window);
    const QRect area = screen->geometry();
    const std::int32_t left =
        CentredEdge(PixelsToTwips(area.width(), density.x), PixelsToTwips(outer.width(), density.x));
    const std::int32_t top =
        CentredEdge(PixelsToTwips(area.height(), density.y), PixelsToTwips(outer.height(), density.y));
    // Positions count from the screen's own corner, so the window centres on the screen it is on.
    window.move(area.topLeft() + QPoint(TwipsToPixels(left, density.x), TwipsToPixels(top, density.y)));
    return outer;
}

// Before a window is first shown its frame is unknown: the window system adds it when the
// window appears (an X11 window manager only after it has reparented the window). This
// watcher centres the window once more as soon as its outer size differs from the one it
// was centred on, so that the frame ends up centred and not the bare client area. It
// gives up a few seconds after the window was shown.
class FrameWatcher final : public QObject {
public:
    FrameWatcher(QWidget& window, QSize centredOn) : QObject(&window), window_(window), centredOn_(centredOn)
    {
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != &window_)
            return false;
        switch (event->type()) {
        case QEvent::Show:
            QTimer::singleShot(kFrameWaitMs, this, &QObject::deleteLater);
            [[fallthrough]];
        case QEvent::Move:
        case QEvent::Resize:
            if (window_.frameGeometry().size() != centredOn_) {
                window_.removeEventFilter(this);
                deleteLater();
                PlaceCentred(window_);
            }
            break;
        default:
            break;
        }
        return false;
    }

private:
    static constexpr int kFrameWaitMs = 3000;

    QWidget& window_;
    QSize centredOn_;
};

} // namespace

std::int32_t CentredEdge(double screenTwips, double windowTwips)
{
    const double slack = screenTwips - windowTwips;
    // remainder() rounds the quotient to the nearest integer with halves to even, whatever
    // the floating-point rounding mode, so this is the nearest integer with halves to even.
    const double nearest = slack - std::remainder(slack, 1.0);
    if (!(nearest >= std::numeric_limits<std::int32_t>::min() && nearest <= std::numeric_limits<std::int32_t>::max()))
        throw std::overflow_error("window centring: the free space does not fit in 32 bits");
    return static_cast<std::int32_t>(nearest) / 2;
}

void CentreWindow(QWidget& window)
{
    const QSize centredOn = PlaceCentred(window);
    if (!window.isVisible())
        new FrameWatcher(window, centredOn);
}

void ConfirmExit(QWidget& window)
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Exit?"), QStringLiteral("Are you sure you want to Exit?"),
                    QMessageBox::Yes | QMessageBox::No, &window);
    if (box.exec() == QMessageBox::Yes)
        EndProgramAtOnce();
}

void ShowAbout(QWidget& window)
{
    const QString credit = QStringLiteral("%1 %2, by %3")
                               .arg(QString::fromUtf8(identity::kProductName), QString::fromUtf8(identity::kDisplayVersion),
                                    QString::fromUtf8(identity::kCompanyName));
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("About %1").arg(QString::fromUtf8(identity::kProductName)),
                    credit, QMessageBox::Ok, &window);
    box.exec();
}

void ReleaseAllDevices() { SendAll(kReleaseAllCommands); }

void ReleaseDisc() { SendAll(kReleaseDiscCommands); }

} // namespace vorlo::app
