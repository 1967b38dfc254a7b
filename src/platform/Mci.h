#pragma once

#include <cstdint>

// The media service's entry points, in the shape of the Windows MCI calls they stand in for.
// Any thread may call them; each returns promptly, answering from state the service keeps.
namespace vorlo::platform {

using MciError = std::uint32_t;
using MciDeviceId = std::uint32_t;

// Runs one command string. The reply is written NUL-terminated into
// returnString[0..returnLength) and never beyond; on any error it is emptied.
// Returns 0 on success, otherwise an MCI error number. callbackWindow is accepted for
// shape and ignored: there are no notifications.
MciError mciSendString(const char* command, char* returnString, std::uint32_t returnLength,
                       std::uintptr_t callbackWindow);

// The device id of an open alias, 0 when nothing is open under that name.
MciDeviceId mciGetDeviceID(const char* device);

// The one command message the service answers: MCI_SET with MCI_SET_DOOR_OPEN opens the door.
inline constexpr std::uint32_t kMciSet = 0x080D;
inline constexpr std::uintptr_t kMciSetDoorOpen = 0x100;

// Sends a command message to an open device.
MciError mciSendCommand(MciDeviceId device, std::uint32_t message, std::uintptr_t param1, std::uintptr_t param2);

} // namespace vorlo::platform
