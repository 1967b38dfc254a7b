#include "media/MediaCommands.h"

namespace vorlo::media::commands {

std::string StatusCdaudioPositionTrack(std::int32_t track)
{
    return "status cdaudio position track " + std::to_string(track);
}

std::string PlayCdaudioFrom(std::int32_t position)
{
    return "play cdaudio from " + std::to_string(position);
}

} // namespace vorlo::media::commands
