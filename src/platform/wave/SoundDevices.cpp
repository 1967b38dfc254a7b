#include "platform/wave/Capture.h"
#include "platform/wave/SoundOutput.h"

#include <cstdlib>
#include <string_view>

// Chooses between the sound server and the null devices for the wave area.
namespace vorlo::platform {

bool UseNullSound()
{
    const char* audio = std::getenv("VORLO_AUDIO");
    return audio && std::string_view(audio) == "null";
}

std::unique_ptr<Capture> StartCapture(const WaveFormat& format, CaptureSink sink)
{
    return UseNullSound() ? StartNullCapture(format, std::move(sink)) : StartPulseCapture(format, std::move(sink));
}

std::unique_ptr<SoundOutput> OpenSoundOutput(int samplesPerSecond, int channels)
{
    return UseNullSound() ? OpenNullSoundOutput(samplesPerSecond, channels)
                          : OpenPulseSoundOutput(samplesPerSecond, channels);
}

} // namespace vorlo::platform
