#pragma once

#include "platform/Mci.h"
#include "platform/audio/SectorSource.h"

#include <cstdint>
#include <memory>

namespace vorlo::platform {

// Plays a span of a disc's audio sectors and tells which sector is being heard.
//
// Reading happens on the engine's own reader thread, into a read-ahead buffer; sound goes
// out through PulseAudio, or through a null device that keeps real time when VORLO_AUDIO
// is "null". Every method returns promptly (no drive or server round trips beyond
// connecting in Play) and may be called from any thread, one call at a time.
class PlaybackEngine {
public:
    enum class State { Stopped, Playing, Paused };

    virtual ~PlaybackEngine() = default;

    // The engine for this process's environment (VORLO_AUDIO, PULSE_SERVER, PULSE_SINK).
    static std::unique_ptr<PlaybackEngine> Create();

    // Drops anything queued and starts playing sectors [firstLsn, endLsn) of `source`,
    // which must outlive the play (until Stop returns or the state reads Stopped).
    // Returns 0, or an MCI error number: a hardware error when no sound server is reachable.
    virtual MciError Play(SectorSource& source, std::int32_t firstLsn, std::int32_t endLsn) = 0;

    // Ends play and flushes what is queued, so that silence follows at once.
    virtual void Stop() = 0;
    // Holds play where it is heard, flushing what is queued; Resume continues from there.
    virtual void Pause() = 0;
    virtual void Resume() = 0;

    // Playing until the whole span has been heard, a read fails for good or the server goes
    // away; then Stopped, by itself.
    virtual State CurrentState() const = 0;

    // The sector being heard now (latency-corrected, interpolated between timing updates).
    // It holds still while paused or stopped; after the span has been heard it is endLsn.
    // Before the first Play it is 0.
    virtual std::int32_t HeardLsn() const = 0;
};

} // namespace vorlo::platform
