#pragma once

#include "app/DiscState.h"

#include <QObject>
#include <QStringList>

#include <cstdint>

namespace vorlo::app {

class Form1;

// What the desktop's media controls (media keys, panels, lock screens) do to the player and
// what they see of it, in the terms of MPRIS. Each control runs the window's own routine,
// the one its button runs, so that the service sees the commands a click sends; pause and
// resume, which the window has no button for, send "pause cdaudio" and "resume cdaudio".
//
// The state is read again after every routine, whether a control or the window's button
// ran it, and on every tick of the window's timer: nothing polls on its own. Changed
// names the player properties whose values differ from the last read, and fires only
// then; Jumped fires when play moved other than by playing on (a track step, a seek, a
// restart). UI thread only; nothing throws.
class DesktopControl : public QObject {
    Q_OBJECT
public:
    explicit DesktopControl(Form1& window);

    const DiscState& State() const { return state_; }
    // The play position in the current track, in microseconds; asks the service.
    std::int64_t PositionUs() const;

    void Play();
    void Pause();
    void PlayPause();
    void Stop();
    void Next();
    void Previous();
    // Plays from `offsetUs` after (or before) the position in the current track: from the
    // track's start when that lies before it, from the next track when beyond its end.
    void Seek(std::int64_t offsetUs);
    // Plays from `positionUs` into track `track`; ignored unless that is the current track
    // and the position lies within it.
    void SetPosition(int track, std::int64_t positionUs);
    // Makes `uri` (what ResolveDisc takes) the disc and plays it as the Play button does.
    // Returns why it was refused, or an empty text.
    QString OpenUri(const QString& uri);
    // Sets the playback stream's volume, 0 to 1 (beyond is held at the bounds).
    void SetVolume(double volume);
    void Raise();
    void Quit();

signals:
    void Changed(const QStringList& playerProperties);
    void Jumped();

private:
    enum class Routine { Play, Stop, Eject, Next, Previous };
    void RunRoutine(Routine routine);
    // `before` is a copy: the read that follows replaces the state it was taken from.
    void AfterRoutine(Routine routine, DiscState before);
    void PlayFrom(std::int64_t discMs);
    void Refresh();
    void Bind();

    Form1& window_;
    DiscStateReader reader_;
    DiscState state_;
};

} // namespace vorlo::app
