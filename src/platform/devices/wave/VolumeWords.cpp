#include "platform/Sound.h"

#include "platform/audio/OutputVolume.h"

#include <atomic>

namespace vorlo::platform {
namespace {

constexpr std::uint32_t kFirstDevice = 0;
constexpr std::uint32_t kFullWord = 0xFFFFFFFFu;

// MIDI output device 0 has no synthesizer behind it. Its volume word is held here, read
// back as it was set, and changes nothing that is heard.
std::atomic<std::uint32_t> gMidiWord{kFullWord};

bool IsWaveOutput(std::uint32_t device) { return device == kWaveMapper || device == kFirstDevice; }

} // namespace

MmResult waveOutGetVolume(std::uint32_t device, std::uint32_t* volume)
{
    if (!IsWaveOutput(device))
        return kMmBadDeviceId;
    if (!volume)
        return kMmInvalidParam;
    *volume = OutputVolume::Word();
    return kMmNoError;
}

MmResult waveOutSetVolume(std::uint32_t device, std::uint32_t volume)
{
    if (!IsWaveOutput(device))
        return kMmBadDeviceId;
    OutputVolume::SetWord(volume);
    return kMmNoError;
}

MmResult midiOutGetVolume(std::uint32_t device, std::uint32_t* volume)
{
    if (device != kFirstDevice)
        return kMmBadDeviceId;
    if (!volume)
        return kMmInvalidParam;
    *volume = gMidiWord.load(std::memory_order_relaxed);
    return kMmNoError;
}

MmResult midiOutSetVolume(std::uint32_t device, std::uint32_t volume)
{
    if (device != kFirstDevice)
        return kMmBadDeviceId;
    gMidiWord.store(volume, std::memory_order_relaxed);
    return kMmNoError;
}

} // namespace vorlo::platform
