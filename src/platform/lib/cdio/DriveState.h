#pragma once

#include <string>

namespace vorlo::platform {

// What a Linux CD drive says of its tray and disc.
enum class DriveState {
    DiscReady,  // a disc is in and can be read
    NotReady,   // a disc is in but the drive is not ready yet (spinning up)
    NoDisc,     // the tray is closed and empty
    TrayOpen,
    Unknown,    // not a drive, or it would not say
};

// Asks the drive at `device` (the kernel's CDROM_DRIVE_STATUS). No sector is read, and the
// drive answers at once unless the kernel is busy with another command to it. Never throws.
DriveState QueryDriveState(const std::string& device);

} // namespace vorlo::platform
