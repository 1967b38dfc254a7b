#pragma once

#include "app/DiscState.h"

#include <QString>
#include <QVariantMap>

#include <span>

// The names of the player on the session bus and of its properties, and how each property
// follows the disc's state (org.mpris.MediaPlayer2 and its Player interface).
namespace vorlo::app::mpris {

inline constexpr const char* kServiceName = "org.mpris.MediaPlayer2.vorloplayer";
inline constexpr const char* kObjectPath = "/org/mpris/MediaPlayer2";
inline constexpr const char* kRootInterface = "org.mpris.MediaPlayer2";
inline constexpr const char* kPlayerInterface = "org.mpris.MediaPlayer2.Player";
inline constexpr const char* kPropertiesInterface = "org.freedesktop.DBus.Properties";
// Track ids are object paths in the program's own namespace; the one for no track is MPRIS's.
inline constexpr const char* kTrackIdPrefix = "/com/vorloproductions/vorloplayer/track/";
inline constexpr const char* kNoTrack = "/org/mpris/MediaPlayer2/TrackList/NoTrack";

// Player properties that announce their changes.
inline constexpr const char* kPlaybackStatus = "PlaybackStatus";
inline constexpr const char* kMetadata = "Metadata";
inline constexpr const char* kVolume = "Volume";

// The Can* properties that follow the disc, each with how it reads the state. CanControl
// is not among them: it is always true, so that a media key can start a disc that is not
// open yet.
struct Capability {
    const char* name;
    bool (*of)(const DiscState&);
};
std::span<const Capability> Capabilities();

// "Playing", "Paused" or "Stopped".
QString PlaybackStatusName(PlaybackStatus status);

// The object path that names track `number`, or kNoTrack for 0.
QString TrackId(int number);
// The track number that a track id names, 0 for any other path.
int TrackNumberOf(const QString& trackId);

// mpris:trackid (an object path), mpris:length (µs), xesam:trackNumber, and xesam:title,
// xesam:artist (a list), xesam:album and xesam:albumArtist from the disc's CD-Text; a
// track without a title is "Track N". Only mpris:trackid (kNoTrack) without a track.
QVariantMap Metadata(const TrackState& track);

} // namespace vorlo::app::mpris
