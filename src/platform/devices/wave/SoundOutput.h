#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>

namespace vorlo::platform {

class SoundOutputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A blocking output for one sound of 16-bit interleaved samples, at the service's output
// volume. One thread uses it, and blocks in it while the sound plays.
class SoundOutput {
public:
    virtual ~SoundOutput() = default;

    // Queues whole frames, waiting while the output is full.
    // Throws SoundOutputError when the output has failed.
    virtual void Write(std::span<const std::int16_t> samples) = 0;
    // Waits until everything written has been heard. Throws SoundOutputError.
    virtual void Drain() = 0;
};

// An output on the process's sound device (see OpenAudioOutput): the sound server's default
// sink, or the null device that takes the sound's own time when VORLO_AUDIO is "null".
// Throws SoundOutputError when no server listens or the format cannot be played.
std::unique_ptr<SoundOutput> OpenSoundOutput(int samplesPerSecond, int channels);

} // namespace vorlo::platform
