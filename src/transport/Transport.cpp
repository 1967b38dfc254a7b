#include "transport/Transport.h"

#include "media/MediaChannel.h"
#include "media/MediaCommands.h"
#include "media/MediaPlatform.h"

namespace vorlo::transport {

using namespace media;

void StopDisc()
{
    ReplyBuffer buffer;
    SendMediaCommand(commands::kStopCdaudio, buffer);
    SendMediaCommand(commands::kCloseCdaudio, buffer);
}

void PlayDisc()
{
    StopDisc();
    ReplyBuffer buffer;
    SendMediaCommand(commands::kOpenCdaudio, buffer);
    SendMediaCommand(commands::kSetCdaudioMilliseconds, buffer);
    SendMediaCommand(commands::kPlayCdaudio, buffer);
}

void EjectDisc()
{
    StopDisc();
    ReplyBuffer buffer;
    SendMediaCommand(commands::kOpenCdaudio, buffer);
    // The door is opened by command message rather than command string. When the open
    // failed the lookup yields 0 and the message goes to device 0 all the same; its
    // result is ignored either way.
    MediaPlatform& platform = CurrentMediaPlatform();
    const auto device = platform.GetDeviceId(commands::kCdaudioDevice);
    platform.SendCommand(device, kMciSet, kMciSetDoorOpen, nullptr);
    StopDisc();
}

} // namespace vorlo::transport
