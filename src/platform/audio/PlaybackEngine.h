#pragma once

#include "platform/audio/SectorSource.h"

#include <cstdint>
#include <memory>

namespace vorlo::platform {

// Plays a span of a disc's audio sectors and tells which sector is being heard.
//
// Reading happens on the engine's own reader thread, into a read-ahead buffer; sound goes
// out through PulseAudio, or through a null device that keeps real time when VORLO_AUDIO
// is "null". Every method returns promptly, never waiting for the drive or the server, and
// may be called from any thread, one call at a time.
// Why a play did not start. The engine knows nothing of media commands: whoever answers
// a command says what each of these means there.
enum class PlayError { None, NoSoundServer };

class PlaybackEngine {
public:
    enum class State { Stopped, Playing, Paused };

    virtual ~PlaybackEngine() = default;

    // The engine for this process's environment (VORLO_AUDIO, PULSE_SERVER, PULSE_SINK),
    // with its output's stream opened as soon as the server is there. Null when the sound
    // library cannot start at all. Does not wait for the server.
    static std::unique_ptr<PlaybackEngine> Create();

    // Drops anything queued and starts playing sectors [firstLsn, endLsn) of `source`.
    // The engine keeps a reference to the source until Stop or the next Play, and the
    // reader thread may drop the last one, so neither Stop nor Play ever waits for the drive.
    // Returns PlayError::NoSoundServer when no sound server listens (state Stopped then). A
    // server that is there but slow to answer is waited for off the caller's thread; if it
    // never answers, the play ends by itself (CurrentState reads Stopped).
    virtual PlayError Play(std::shared_ptr<SectorSource> source, std::int32_t firstLsn, std::int32_t endLsn) = 0;

    // Ends play and flushes what is queued, so that silence follows at once.
    virtual void Stop() = 0;
    // Holds play where it is heard, flushing what is queued; Resume continues from exactly
    // that sample. Each does nothing in any other state. If Resume cannot reach the sound
    // server, the state becomes Stopped and the position stays.
    virtual void Pause() = 0;
    virtual void Resume() = 0;

    // Playing until the whole span has been heard, a read fails for good or the server goes
    // away; then Stopped, by itself.
    virtual State CurrentState() const = 0;

    // The sector being heard now (latency-corrected, interpolated between timing updates).
    // It holds still while paused or stopped; after the span has been heard it is endLsn.
    // Before the first Play it is 0. Lock-free and cheap: fit for every status query.
    virtual std::int32_t HeardLsn() const = 0;
};

} // namespace vorlo::platform
