#include "platform/Mci.h"

#include "platform/service/MciService.h"

namespace vorlo::platform {

MciError mciSendString(const char* command, char* returnString, std::uint32_t returnLength, std::uintptr_t)
{
    return MciService::Instance().SendString(command, returnString, returnLength);
}

MciDeviceId mciGetDeviceID(const char* device) { return MciService::Instance().DeviceId(device); }

MciError mciSendCommand(MciDeviceId device, std::uint32_t message, std::uintptr_t param1, std::uintptr_t param2)
{
    return MciService::Instance().SendCommand(device, message, param1, param2);
}

} // namespace vorlo::platform
