#include "platform/Sound.h"

#include "platform/audio/OutputVolume.h"
#include "platform/devices/wave/DrivePath.h"
#include "platform/devices/wave/SoundOutput.h"
#include "platform/lib/sndfile/SndFile.h"

#include <atomic>
#include <filesystem>
#include <system_error>
#include <vector>

// The sound entry points, over the waveaudio device's sound output and drive C:.
namespace vorlo::platform {
namespace {

constexpr std::size_t kFramesPerRead = 4096;
constexpr std::uint32_t kAcceptedFlags = kSndSync | kSndNoDefault;

void PlayToTheEnd(const char* file)
{
    SndFile sound = SndFile::OpenForReading(MapDrivePath(file));
    const auto output = OpenSoundOutput(sound.SampleRate(), sound.Channels());
    std::vector<std::int16_t> samples(kFramesPerRead * static_cast<std::size_t>(sound.Channels()));
    while (const std::size_t frames = sound.ReadFrames(samples.data(), kFramesPerRead))
        output->Write({samples.data(), frames * static_cast<std::size_t>(sound.Channels())});
    output->Drain();
}

constexpr std::uint32_t kFirstDevice = 0;
constexpr std::uint32_t kFullWord = 0xFFFFFFFFu;

// MIDI output device 0 has no synthesizer behind it. Its volume word is held here, read
// back as it was set, and changes nothing that is heard.
std::atomic<std::uint32_t> gMidiWord{kFullWord};

bool IsWaveOutput(std::uint32_t device) { return device == kWaveMapper || device == kFirstDevice; }

} // namespace

int sndPlaySound(const char* file, std::uint32_t flags)
{
    if (!file || (flags & ~kAcceptedFlags) != 0)
        return 0;
    try {
        PlayToTheEnd(file);
        return 1;
    } catch (const std::exception&) {
        return 0;
    }
}

bool DeleteDriveFile(const char* drivePath)
{
    if (!drivePath)
        return false;
    try {
        const std::filesystem::path file = MapDrivePath(drivePath);
        std::error_code error;
        if (std::filesystem::is_directory(std::filesystem::symlink_status(file, error)))
            return false;
        return std::filesystem::remove(file, error);
    } catch (const DrivePathError&) {
        return false;
    }
}

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
