#include "platform/audio/PlaybackEngine.h"

#include "platform/audio/NullOutput.h"
#include "platform/audio/PulseOutput.h"
#include "platform/audio/StreamEngine.h"

#include <cstdlib>
#include <string_view>

namespace vorlo::platform {

std::unique_ptr<PlaybackEngine> PlaybackEngine::Create()
{
    const char* device = std::getenv("VORLO_AUDIO");
    if (device && std::string_view(device) == "null")
        return std::make_unique<StreamEngine>(std::make_unique<NullOutput>());
    return std::make_unique<StreamEngine>(std::make_unique<PulseOutput>());
}

} // namespace vorlo::platform
