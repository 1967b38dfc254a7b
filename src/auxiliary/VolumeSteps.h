#pragma once

#include <cstdint>

namespace vorlo::auxiliary {

// The two channel levels of a volume word, 0 silence to 65535 full.
struct StereoVolume {
    std::uint16_t left = 0;
    std::uint16_t right = 0;

    // The word keeps the left level in its low 16 bits and the right in its high 16 bits.
    static StereoVolume FromWord(std::uint32_t word);
    std::uint32_t ToWord() const;

    bool operator==(const StereoVolume&) const = default;
};

// The amount by which one volume step moves each channel.
inline constexpr int kVolumeStep = 4095;

// Moves each channel by `delta` and holds it within 0..65535, so that a step up never
// lowers a channel and a step down never raises one.
StereoVolume Stepped(StereoVolume volume, int delta);

// Each reads a volume word, moves both channels one step and writes the word back. A read
// that fails counts as silence. The wave steps address the default wave output; the MIDI
// steps address the MIDI output whose id the device-id lookup of "midi" gives (0 when no
// alias of that name is open). No result is examined. UI thread only.
void WaveVolumeUp();
void WaveVolumeDown();
void MidiVolumeUp();
void MidiVolumeDown();

} // namespace vorlo::auxiliary
