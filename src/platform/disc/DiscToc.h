#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace vorlo::platform {

struct TrackEntry {
    int number = 0;            // as the disc numbers it (a disc may start at 4)
    std::int32_t startLsn = 0; // INDEX 01
    bool audio = true;
};

// A disc's table of contents, in LSNs. Pure data with pure queries; it never changes once
// built, so any thread may read a published copy.
struct DiscToc {
    std::vector<TrackEntry> tracks; // in disc order, numbers consecutive
    std::int32_t leadOutLsn = 0;

    bool Empty() const { return tracks.empty(); }
    int FirstTrack() const { return tracks.front().number; }
    int LastTrack() const { return tracks.back().number; }
    bool HasTrack(std::int64_t number) const { return !Empty() && number >= FirstTrack() && number <= LastTrack(); }
    const TrackEntry& Track(int number) const { return tracks[static_cast<std::size_t>(number - FirstTrack())]; }

    // Where the track after `number` starts: the next track, or the lead-out after the last.
    std::int32_t EndOf(int number) const;
    // The track that holds `lsn`: the first track for addresses before it, the last one at
    // or after the lead-out.
    int TrackAt(std::int32_t lsn) const;
    // The first audio track's start at or after `lsn`'s track, if there is one: where play
    // that asks for `lsn` really begins (data tracks are never played).
    std::optional<std::int32_t> AudioStartFrom(std::int32_t lsn) const;
    // Where play that begins at `lsn` must end: the next data track or the lead-out.
    std::int32_t AudioEndAfter(std::int32_t lsn) const;
    std::optional<std::int32_t> FirstAudioStart() const;
    // Where a disc just read in, or sought to its start, stands: the first audio track's
    // start, or the first track's on a disc without audio. Not for an empty table.
    std::int32_t StartLsn() const { return FirstAudioStart().value_or(tracks.front().startLsn); }
    // How many of the `count` sectors from `lsn` are audio, in one run up to a data track
    // or the lead-out: what a reader may read from `lsn` at once. 0 outside audio tracks.
    std::uint32_t AudioSectorsFrom(std::int32_t lsn, std::uint32_t count) const;
};

} // namespace vorlo::platform
