#include "platform/lib/cdio/CdioHandle.h"
#include "platform/devices/cdaudio/DiscMedium.h"
#include "platform/mci/MciErrors.h"

#include <sys/stat.h>

#include <cstdlib>

namespace vorlo::platform {

MciError LocateDisc(DiscLocation& location, std::string& why)
{
    const char* named = std::getenv("VORLO_CDROM");
    if (named && *named) {
        struct stat info {};
        if (::stat(named, &info) != 0) {
            why = std::string("VORLO_CDROM names nothing that exists: ") + named;
            return mcierr::kFileNotFound;
        }
        location.path = named;
        location.kind = S_ISBLK(info.st_mode) || S_ISCHR(info.st_mode) ? DiscLocation::Kind::Drive
                                                                        : DiscLocation::Kind::Image;
        if (location.kind == DiscLocation::Kind::Image && !S_ISREG(info.st_mode)) {
            why = std::string("VORLO_CDROM names neither a device node nor a disc image: ") + named;
            return mcierr::kInvalidFile;
        }
        // libcdio would take an empty sheet for a bare .bin and complain about a file no
        // one named.
        if (location.kind == DiscLocation::Kind::Image && info.st_size == 0) {
            why = std::string("VORLO_CDROM names an empty file: ") + named;
            return mcierr::kInvalidFile;
        }
        return mcierr::kNone;
    }
    // Looked for once: the search may touch the drives, and a drive in a long read could
    // hold it up.
    static const std::string defaultDrive = DefaultDrive();
    location.path = defaultDrive;
    location.kind = DiscLocation::Kind::Drive;
    if (location.path.empty()) {
        why = "this machine has no CD drive (set VORLO_CDROM to a drive or a disc image)";
        return mcierr::kDeviceNotInstalled;
    }
    return mcierr::kNone;
}

} // namespace vorlo::platform
