#include "platform/Sound.h"

#include "platform/devices/wave/DrivePath.h"
#include "platform/lib/sndfile/SndFile.h"
#include "platform/devices/wave/SoundOutput.h"

#include <vector>

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

} // namespace vorlo::platform
