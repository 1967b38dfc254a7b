#pragma once

#include "platform/disc/CdTime.h"

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace vorlo::platform {

// In the sound path a frame is one sample of every channel: four bytes of CD audio.
inline constexpr std::size_t kBytesPerSector = 2352;     // one CD-DA sector
inline constexpr std::size_t kFramesPerSector = 588;     // 16-bit stereo sample frames per sector
inline constexpr std::size_t kBytesPerFrame = kBytesPerSector / kFramesPerSector;
inline constexpr int kSampleRate = 44100;

// Supplies raw CD-DA sectors: 2352 bytes each, 16-bit little-endian stereo.
// Only the playback engine's reader thread calls it, one call at a time.
class SectorSource {
public:
    virtual ~SectorSource() = default;

    // Reads `count` sectors from `lsn` into out[0 .. count * kBytesPerSector).
    // Returns false when the sectors cannot be had (after whatever retries the source
    // makes); the engine then ends play. May block for as long as the drive takes.
    virtual bool ReadSectors(std::int32_t lsn, std::uint32_t count, std::byte* out) = 0;

    // How many of the `count` sectors from `lsn` are audio, before a data track or the
    // end of the disc. The reader never asks for more, so play ends where the audio does
    // even when a span reaches further. The default: all of them.
    virtual std::uint32_t AudioSectorsFrom(std::int32_t lsn, std::uint32_t count)
    {
        (void)lsn;
        return count;
    }

    // Says where the next play will probably start, while nothing plays: a source that is
    // slow to start may read ahead from there, once nothing else was asked of it for
    // `settle`. Called by the source's owner, not by the reader; returns promptly. The
    // default does nothing.
    virtual void CueUp(std::int32_t lsn, std::chrono::milliseconds settle)
    {
        (void)lsn;
        (void)settle;
    }

    // The read in progress, if any, is no longer wanted: it may end early and fail. Any
    // thread; returns promptly. The default lets it run on.
    virtual void Abandon() {}
};

} // namespace vorlo::platform
