#include "transport/Transport.h"

#include "media/MediaChannel.h"
#include "media/MediaCommands.h"

namespace vorlo::transport {

using namespace media;

void StopDisc()
{
    ReplyBuffer buffer;
    SendMediaCommand(commands::kStopCdaudio, buffer);
    SendMediaCommand(commands::kCloseCdaudio, buffer);
}

} // namespace vorlo::transport
