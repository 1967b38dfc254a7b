#include "auxiliary/VolumeSteps.h"

#include "media/MediaCommands.h"
#include "media/MediaPlatform.h"

#include <algorithm>

namespace vorlo::auxiliary {
namespace {

constexpr int kSilent = 0;
constexpr int kFull = 0xFFFF;
constexpr int kBitsPerChannel = 16;

std::uint16_t MoveLevel(std::uint16_t level, int delta)
{
    return static_cast<std::uint16_t>(std::clamp(level + delta, kSilent, kFull));
}

void StepWave(int delta)
{
    media::MediaPlatform& platform = media::CurrentMediaPlatform();
    std::uint32_t word = 0;
    platform.GetWaveVolume(media::kWaveMapper, &word);
    platform.SetWaveVolume(media::kWaveMapper, Stepped(StereoVolume::FromWord(word), delta).ToWord());
}

void StepMidi(int delta)
{
    media::MediaPlatform& platform = media::CurrentMediaPlatform();
    const std::uint32_t device = platform.GetDeviceId(media::commands::kMidiDevice);
    std::uint32_t word = 0;
    platform.GetMidiVolume(device, &word);
    platform.SetMidiVolume(device, Stepped(StereoVolume::FromWord(word), delta).ToWord());
}

} // namespace

StereoVolume StereoVolume::FromWord(std::uint32_t word)
{
    return {static_cast<std::uint16_t>(word & kFull), static_cast<std::uint16_t>(word >> kBitsPerChannel)};
}

std::uint32_t StereoVolume::ToWord() const
{
    return static_cast<std::uint32_t>(left) | (static_cast<std::uint32_t>(right) << kBitsPerChannel);
}

StereoVolume Stepped(StereoVolume volume, int delta)
{
    return {MoveLevel(volume.left, delta), MoveLevel(volume.right, delta)};
}

void WaveVolumeUp() { StepWave(kVolumeStep); }
void WaveVolumeDown() { StepWave(-kVolumeStep); }
void MidiVolumeUp() { StepMidi(kVolumeStep); }
void MidiVolumeDown() { StepMidi(-kVolumeStep); }

} // namespace vorlo::auxiliary
