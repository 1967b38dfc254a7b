#pragma once

#include <cstddef>

namespace vorlo::platform {

// The PCM format of a waveaudio recording. The defaults are those of a new waveaudio
// instance on the platform we stand in for: 11025 Hz, 8-bit, mono. Samples of 8 bits are
// unsigned, of 16 bits signed little-endian, channels interleaved: the bytes a WAV file
// stores.
struct WaveFormat {
    int samplesPerSecond = 11025;
    int bitsPerSample = 8;
    int channels = 1;

    std::size_t BytesPerFrame() const { return static_cast<std::size_t>(bitsPerSample / 8 * channels); }
    std::size_t BytesPerSecond() const { return BytesPerFrame() * static_cast<std::size_t>(samplesPerSecond); }
};

} // namespace vorlo::platform
