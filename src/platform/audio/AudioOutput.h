#pragma once

#include "platform/audio/PlayClock.h"
#include "platform/audio/SampleRing.h"
#include "platform/audio/SectorSource.h"

#include <functional>
#include <memory>

namespace vorlo::platform {

// An output starts to play, and starts again after the ring ran dry, only once the ring
// holds this much (or the rest of the play): a drive that delivers in bursts is then heard
// without a break after its first burst.
inline constexpr std::size_t kStartBytes = kBytesPerSector * kSectorsPerSecond / 5;

// What a ring holds: 16-bit little-endian interleaved samples at this rate.
struct SoundFormat {
    int samplesPerSecond = kSampleRate;
    int channels = 2;

    std::size_t BytesPerFrame() const { return 2 * static_cast<std::size_t>(channels); }
};

// A sound device that plays what a SampleRing holds, in the format it was opened for (the
// disc's: 44.1 kHz 16-bit stereo, unless told otherwise). The engine calls Start, Stop and
// DataAvailable, one call at a time; the output drains the ring on a thread of its own,
// never blocking there. One output is one stream on the device, kept from construction to
// destruction: Stop holds it and drops what it queued, Start sets it going again.
class AudioOutput {
public:
    enum class End { Drained, Failed };
    using EndHandler = std::function<void(End)>;

    virtual ~AudioOutput() = default;

    // Starts a stream that plays `ring` from where it stands and publishes to `clock` how
    // many of its frames have been heard. `ended` runs once on the output's thread when
    // the stream ends by itself: Drained once everything up to the ring's end has been
    // played, Failed when the device went away. It must not call back into the output.
    // Returns false when the device cannot be had (no sound server); nothing runs then.
    virtual bool Start(SampleRing& ring, PlayClock& clock, EndHandler ended) = 0;

    // Drops whatever is queued and ends the stream at once, so that silence follows.
    // Nothing touches the ring, the clock or the handler after it returns.
    virtual void Stop() = 0;

    // The reader has added data or marked the end: a stream waiting for data goes on.
    // Called on the reader thread.
    virtual void DataAvailable() = 0;
};

// True when VORLO_AUDIO is "null": every sound device of the process is then a null one
// that keeps real time. Read at every open; the one place that reads it.
bool UseNullSound();

// An output for this process's environment: the sound server's default sink (PULSE_SERVER,
// PULSE_SINK), or the null device. `streamName` is what desktop mixers list it as; `role`
// tells the server's policy what it plays. Does not wait for the server. Throws
// std::runtime_error when the format cannot be played at all.
std::unique_ptr<AudioOutput> OpenAudioOutput(const SoundFormat& format, const char* streamName, const char* role);

} // namespace vorlo::platform
