#include "app/DesktopControl.h"

#include "app/DiscArgument.h"
#include "app/Form1.h"
#include "app/MprisProperties.h"
#include "media/MediaChannel.h"
#include "media/MediaCommands.h"
#include "media/MediaPlatform.h"
#include "transport/TrackStepping.h"

#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace vorlo::app {
namespace {

constexpr std::int64_t kMicrosecondsPerMillisecond = 1000;
constexpr double kFullVolumeWord = 0xFFFF;
constexpr int kRightChannelShift = 16;

void Send(std::string_view command)
{
    media::ReplyBuffer buffer;
    media::SendMediaCommand(command, buffer);
}

} // namespace

DesktopControl::DesktopControl(Form1& window) : window_(window)
{
    Bind();
    state_ = reader_.Read();
}

// The window's buttons run their routines first (the window bound them first); this reads
// what they left. The tick reads after the window has drawn.
void DesktopControl::Bind()
{
    const FormControls& c = window_.Controls();
    const auto after = [this](Routine routine) { return [this, routine] { AfterRoutine(routine, state_); }; };
    connect(c.Command4, &QPushButton::clicked, this, after(Routine::Play));
    connect(c.Command8, &QPushButton::clicked, this, after(Routine::Stop));
    connect(c.Command18, &QPushButton::clicked, this, after(Routine::Eject));
    connect(c.Command16, &QPushButton::clicked, this, after(Routine::Previous));
    connect(c.Command17, &QPushButton::clicked, this, after(Routine::Next));
    connect(c.Timer1, &QTimer::timeout, this, &DesktopControl::Refresh);
}

std::int64_t DesktopControl::PositionUs() const
{
    return reader_.PositionInTrackMs(state_) * kMicrosecondsPerMillisecond;
}

void DesktopControl::RunRoutine(Routine routine)
{
    const DiscState before = state_;
    switch (routine) {
    case Routine::Play: window_.PlayDisc(); break;
    case Routine::Stop: window_.StopDisc(); break;
    case Routine::Eject: window_.EjectDisc(); break;
    case Routine::Next: window_.NextTrack(); break;
    case Routine::Previous: window_.PreviousTrack(); break;
    }
    AfterRoutine(routine, before);
}

void DesktopControl::AfterRoutine(Routine routine, DiscState before)
{
    Refresh();
    const bool stepped = (routine == Routine::Next || routine == Routine::Previous) &&
                         state_.track.number != before.track.number && state_.open;
    const bool restarted = routine == Routine::Play && before.status != PlaybackStatus::Stopped;
    if (stepped || restarted)
        emit Jumped();
}

void DesktopControl::Play()
{
    switch (state_.status) {
    case PlaybackStatus::Playing: return;
    case PlaybackStatus::Paused: Send(media::commands::kResumeCdaudio); Refresh(); return;
    case PlaybackStatus::Stopped: RunRoutine(Routine::Play); return;
    }
}

void DesktopControl::Pause()
{
    if (state_.status != PlaybackStatus::Playing)
        return;
    Send(media::commands::kPauseCdaudio);
    Refresh();
}

void DesktopControl::PlayPause()
{
    if (state_.status == PlaybackStatus::Playing)
        Pause();
    else
        Play();
}

void DesktopControl::Stop() { RunRoutine(Routine::Stop); }
void DesktopControl::Next() { RunRoutine(Routine::Next); }
void DesktopControl::Previous() { RunRoutine(Routine::Previous); }

void DesktopControl::Seek(std::int64_t offsetUs)
{
    if (!state_.open)
        return;
    const std::int64_t target = std::max<std::int64_t>(0, PositionUs() + offsetUs);
    if (target > state_.track.lengthMs * kMicrosecondsPerMillisecond) {
        Next();
        return;
    }
    PlayFrom(state_.track.startMs + target / kMicrosecondsPerMillisecond);
}

void DesktopControl::SetPosition(int track, std::int64_t positionUs)
{
    if (!state_.open || track != state_.track.number || positionUs < 0 ||
        positionUs > state_.track.lengthMs * kMicrosecondsPerMillisecond)
        return;
    PlayFrom(state_.track.startMs + positionUs / kMicrosecondsPerMillisecond);
}

void DesktopControl::PlayFrom(std::int64_t discMs)
{
    const auto position = transport::RoundToInt32(static_cast<double>(discMs));
    if (!position)
        return;
    Send(media::commands::PlayCdaudioFrom(*position));
    Refresh();
    emit Jumped();
}

QString DesktopControl::OpenUri(const QString& uri)
{
    QString why;
    const std::optional<QString> path = ResolveDisc(uri, why);
    if (!path)
        return why;
    ChooseDisc(*path);
    reader_.ForgetDisc();
    RunRoutine(Routine::Play);
    return {};
}

void DesktopControl::SetVolume(double volume)
{
    const auto level = static_cast<std::uint32_t>(std::lround(std::clamp(volume, 0.0, 1.0) * kFullVolumeWord));
    media::CurrentMediaPlatform().SetWaveVolume(media::kWaveMapper, level | level << kRightChannelShift);
    Refresh();
}

void DesktopControl::Raise()
{
    window_.show();
    window_.raise();
    window_.activateWindow();
}

void DesktopControl::Quit() { window_.close(); }

void DesktopControl::Refresh()
{
    const DiscState now = reader_.Read();
    if (now == state_)
        return;
    const DiscState before = std::exchange(state_, now);
    QStringList changed;
    if (now.status != before.status)
        changed << mpris::kPlaybackStatus;
    if (now.track != before.track)
        changed << mpris::kMetadata;
    if (now.volume != before.volume)
        changed << mpris::kVolume;
    for (const auto& [name, can] : mpris::Capabilities())
        if (can(now) != can(before))
            changed << name;
    if (!changed.isEmpty())
        emit Changed(changed);
}

} // namespace vorlo::app
