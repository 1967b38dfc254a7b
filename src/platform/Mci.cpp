#include "platform/Mci.h"

// Placeholder until the service lands: every command fails as an unrecognised command.
namespace vorlo::platform {

namespace {
constexpr MciError kUnrecognizedCommand = 261;
constexpr MciError kInvalidDeviceId = 257;
}

MciError mciSendString(const char*, char* returnString, std::uint32_t returnLength, std::uintptr_t)
{
    if (returnString && returnLength > 0)
        returnString[0] = '\0';
    return kUnrecognizedCommand;
}

MciDeviceId mciGetDeviceID(const char*) { return 0; }

MciError mciSendCommand(MciDeviceId, std::uint32_t, std::uintptr_t, std::uintptr_t) { return kInvalidDeviceId; }

} // namespace vorlo::platform
