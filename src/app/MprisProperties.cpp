#include "app/MprisProperties.h"

#include <QDBusObjectPath>

#include <array>

namespace vorlo::app::mpris {
namespace {

constexpr qint64 kMicrosecondsPerMillisecond = 1000;

constexpr std::array kCapabilities{
    Capability{"CanGoNext", [](const DiscState& s) { return s.open && s.track.hasNext; }},
    Capability{"CanGoPrevious", [](const DiscState& s) { return s.open && s.track.hasPrevious; }},
    Capability{"CanPlay", [](const DiscState& s) { return s.mayPlay; }},
    Capability{"CanPause", [](const DiscState& s) { return s.status != PlaybackStatus::Stopped; }},
    Capability{"CanSeek", [](const DiscState& s) { return s.open; }},
};

} // namespace

std::span<const Capability> Capabilities() { return kCapabilities; }

QString PlaybackStatusName(PlaybackStatus status)
{
    switch (status) {
    case PlaybackStatus::Playing: return QStringLiteral("Playing");
    case PlaybackStatus::Paused: return QStringLiteral("Paused");
    case PlaybackStatus::Stopped: break;
    }
    return QStringLiteral("Stopped");
}

QString TrackId(int number)
{
    return number > 0 ? QLatin1String(kTrackIdPrefix) + QString::number(number) : QLatin1String(kNoTrack);
}

int TrackNumberOf(const QString& trackId)
{
    if (!trackId.startsWith(QLatin1String(kTrackIdPrefix)))
        return 0;
    bool ok = false;
    const int number = trackId.mid(qsizetype(std::char_traits<char>::length(kTrackIdPrefix))).toInt(&ok);
    return ok && number > 0 ? number : 0;
}

QVariantMap Metadata(const TrackState& track)
{
    QVariantMap metadata;
    metadata.insert(QStringLiteral("mpris:trackid"), QVariant::fromValue(QDBusObjectPath(TrackId(track.number))));
    if (track.number == 0)
        return metadata;
    metadata.insert(QStringLiteral("mpris:length"), qint64{track.lengthMs * kMicrosecondsPerMillisecond});
    metadata.insert(QStringLiteral("xesam:trackNumber"), track.number);
    metadata.insert(QStringLiteral("xesam:title"),
                    track.title.isEmpty() ? QStringLiteral("Track %1").arg(track.number) : track.title);
    const QString artist = track.performer.isEmpty() ? track.albumPerformer : track.performer;
    if (!artist.isEmpty())
        metadata.insert(QStringLiteral("xesam:artist"), QStringList{artist});
    if (!track.album.isEmpty())
        metadata.insert(QStringLiteral("xesam:album"), track.album);
    if (!track.albumPerformer.isEmpty())
        metadata.insert(QStringLiteral("xesam:albumArtist"), QStringList{track.albumPerformer});
    return metadata;
}

} // namespace vorlo::app::mpris
