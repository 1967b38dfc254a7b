#pragma once

#include <QString>

#include <cstdint>

// What the desktop's media controls show of the disc, read from the media service through
// the command channel. UI thread only.
namespace vorlo::app {

enum class PlaybackStatus { Stopped, Playing, Paused };

// The track under the play position. Number 0 means no track (the disc is not open).
// Times are in milliseconds on the disc's own scale, as the service answers them.
struct TrackState {
    int number = 0;
    std::int64_t startMs = 0;
    std::int64_t lengthMs = 0;
    bool hasPrevious = false; // a track before it that play can step back to
    bool hasNext = false;
    QString title;            // CD-Text, empty when the disc says nothing
    QString performer;
    QString album;            // the disc's own title and performer
    QString albumPerformer;

    bool operator==(const TrackState&) const = default;
};

struct DiscState {
    PlaybackStatus status = PlaybackStatus::Stopped;
    bool open = false;       // the disc is open with its tracks known: play can move on it
    bool mayPlay = true;     // false only when the open device says it holds no disc
    TrackState track;
    double volume = 1.0;     // the playback stream's volume, 0 to 1

    bool operator==(const DiscState&) const = default;
};

// Reads the disc's state. Every read asks for the device's mode, and while the disc is
// open for the current track; the track's details (its span, neighbours and CD-Text) are
// asked again only when the track number changes or after ForgetDisc. Sends queries only,
// never a command that changes anything.
class DiscStateReader {
public:
    DiscState Read();
    // The next read asks for every detail again: the disc may have been changed.
    void ForgetDisc() { last_ = {}; }
    // The play position within `track` in milliseconds, 0 while the disc is not open.
    std::int64_t PositionInTrackMs(const DiscState& state) const;

private:
    TrackState ReadTrack(int number) const;

    TrackState last_;
};

} // namespace vorlo::app
