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

std::string StatusCdaudioLengthTrack(std::int32_t track)
{
    return "status cdaudio length track " + std::to_string(track);
}

std::string StatusCdaudioTypeTrack(std::int32_t track)
{
    return "status cdaudio type track " + std::to_string(track);
}

std::string InfoCdaudioTitleTrack(std::int32_t track)
{
    return "info cdaudio title track " + std::to_string(track);
}

std::string InfoCdaudioPerformerTrack(std::int32_t track)
{
    return "info cdaudio performer track " + std::to_string(track);
}

} // namespace vorlo::media::commands
