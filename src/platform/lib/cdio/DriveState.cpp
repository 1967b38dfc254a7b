#include "platform/lib/cdio/DriveState.h"

#include <fcntl.h>
#include <climits>
#include <linux/cdrom.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace vorlo::platform {

DriveState QueryDriveState(const std::string& device)
{
    // O_NONBLOCK opens a drive whatever its tray holds.
    const int fd = ::open(device.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return DriveState::Unknown;
    const int status = ::ioctl(fd, CDROM_DRIVE_STATUS, CDSL_CURRENT);
    ::close(fd);
    switch (status) {
    case CDS_DISC_OK: return DriveState::DiscReady;
    case CDS_DRIVE_NOT_READY: return DriveState::NotReady;
    case CDS_NO_DISC: return DriveState::NoDisc;
    case CDS_TRAY_OPEN: return DriveState::TrayOpen;
    default: return DriveState::Unknown;
    }
}

} // namespace vorlo::platform
