#include "platform/disc/DiscToc.h"

#include <algorithm>

namespace vorlo::platform {

std::int32_t DiscToc::EndOf(int number) const
{
    return number >= LastTrack() ? leadOutLsn : Track(number + 1).startLsn;
}

int DiscToc::TrackAt(std::int32_t lsn) const
{
    int holder = FirstTrack();
    for (const TrackEntry& track : tracks) {
        if (track.startLsn > lsn)
            break;
        holder = track.number;
    }
    return holder;
}

std::optional<std::int32_t> DiscToc::AudioStartFrom(std::int32_t lsn) const
{
    if (lsn >= leadOutLsn)
        return std::nullopt;
    for (int number = TrackAt(lsn); number <= LastTrack(); ++number) {
        const TrackEntry& track = Track(number);
        if (track.audio)
            return track.startLsn > lsn ? track.startLsn : lsn;
    }
    return std::nullopt;
}

std::int32_t DiscToc::AudioEndAfter(std::int32_t lsn) const
{
    for (const TrackEntry& track : tracks)
        if (track.startLsn > lsn && !track.audio)
            return track.startLsn;
    return leadOutLsn;
}

std::optional<std::int32_t> DiscToc::FirstAudioStart() const
{
    for (const TrackEntry& track : tracks)
        if (track.audio)
            return track.startLsn;
    return std::nullopt;
}

std::uint32_t DiscToc::AudioSectorsFrom(std::int32_t lsn, std::uint32_t count) const
{
    if (Empty() || lsn < tracks.front().startLsn || lsn >= leadOutLsn || !Track(TrackAt(lsn)).audio)
        return 0;
    return static_cast<std::uint32_t>(std::min<std::int64_t>(count, AudioEndAfter(lsn) - lsn));
}

} // namespace vorlo::platform
