#include "platform/audio/AudioOutput.h"
#include "platform/audio/NullOutput.h"
#include "platform/audio/PulseOutput.h"

#include <cstdlib>
#include <string_view>

namespace vorlo::platform {

bool UseNullSound()
{
    const char* audio = std::getenv("VORLO_AUDIO");
    return audio && std::string_view(audio) == "null";
}

std::unique_ptr<AudioOutput> OpenAudioOutput(const SoundFormat& format, const char* streamName, const char* role)
{
    if (UseNullSound())
        return std::make_unique<NullOutput>(format);
    return std::make_unique<PulseOutput>(format, streamName, role);
}

} // namespace vorlo::platform
