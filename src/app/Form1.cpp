#include "app/Form1.h"

#include "app/Lifecycle.h"
#include "app/PositionBarWidget.h"
#include "app/PositionDisplay.h"
#include "app/ProgressAnnouncement.h"
#include "transport/TrackStepping.h"
#include "transport/Transport.h"

#include <QCloseEvent>
#include <QPushButton>
#include <QTimer>

namespace vorlo::app {

Form1::Form1(QWidget* parent) : QWidget(parent), controls_(LayOutForm(*this))
{
    Bind();
    // The window has loaded: place it before it is first shown.
    CentreWindow(*this);
}

// The window object is going away after it was closed (or the program is ending).
Form1::~Form1() { ReleaseDisc(); }

void Form1::Bind()
{
    const FormControls& c = controls_;
    connect(c.Command4, &QPushButton::clicked, this, &Form1::PlayDisc);
    connect(c.Command8, &QPushButton::clicked, this, &Form1::StopDisc);
    connect(c.Command18, &QPushButton::clicked, this, &Form1::EjectDisc);
    connect(c.Command16, &QPushButton::clicked, this, &Form1::PreviousTrack);
    connect(c.Command17, &QPushButton::clicked, this, &Form1::NextTrack);
    connect(c.Command2, &QPushButton::clicked, this, &Form1::ShowAbout);
    connect(c.Command1, &QPushButton::clicked, this, &Form1::ConfirmExit);
    connect(c.Timer1, &QTimer::timeout, this, &Form1::RefreshPositionBars);
}

// The window is being unloaded: by its close box, or by the session at logout. The
// unload always goes on.
void Form1::closeEvent(QCloseEvent* event)
{
    ReleaseAllDevices();
    event->accept();
}

void Form1::PlayDisc() { transport::PlayDisc(); }
void Form1::StopDisc() { transport::StopDisc(); }
void Form1::EjectDisc() { transport::EjectDisc(); }
void Form1::PreviousTrack() { transport::PreviousTrack(*controls_.ProgressBar4); }
void Form1::NextTrack() { transport::NextTrack(); }
void Form1::ShowAbout() { app::ShowAbout(*this); }
void Form1::ConfirmExit() { app::ConfirmExit(*this); }

void Form1::RefreshPositionBars()
{
    const FormControls& c = controls_;
    const auto discPlayed = app::RefreshPositionBars({*c.ProgressBar1, *c.ProgressBar2, *c.ProgressBar3, *c.ProgressBar4});
    c.ProgressBar4->SetPlayedPercent(WholePercentPlayed(discPlayed));
}

} // namespace vorlo::app
