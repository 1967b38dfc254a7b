#include "platform/audio/ParanoiaSectorSource.h"
#include "platform/cdaudio/CdioHandle.h"
#include "platform/cdaudio/DiscMedium.h"
#include "platform/audio/cdio/LibraryLock.h"

namespace vorlo::platform {
namespace {

class CdioMedium final : public DiscMedium {
public:
    explicit CdioMedium(const DiscLocation& location) : location_(location), handle_(Open(location)) {}

    DiscToc ReadToc() override { return handle_.ReadToc(); }

    // Paranoia-verified reads on a drive, direct reads on an image, through a handle of
    // the source's own that it opens on the engine's reader thread.
    std::unique_ptr<SectorSource> CreateSource() override
    {
        return std::make_unique<ParanoiaSectorSource>(location_.path);
    }

private:
    static CdioHandle Open(const DiscLocation& location)
    {
        return location.kind == DiscLocation::Kind::Image ? CdioHandle::OpenImage(location.path)
                                                          : CdioHandle::OpenDrive(location.path);
    }

    DiscLocation location_;
    CdioHandle handle_;
};

} // namespace

std::unique_ptr<DiscMedium> OpenCdioMedium(const DiscLocation& location)
{
    return std::make_unique<CdioMedium>(location);
}

void MoveCdioDoor(const DiscLocation& location, bool open)
{
    if (location.kind != DiscLocation::Kind::Drive)
        return;
    const cdio::LibraryLock lock(cdio::LibraryMutex());
    if (open)
        cdio_eject_media_drive(location.path.c_str());
    else
        cdio_close_tray(location.path.c_str(), nullptr);
}

} // namespace vorlo::platform
