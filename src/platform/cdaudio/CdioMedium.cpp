#include "platform/cdaudio/CdioHandle.h"
#include "platform/cdaudio/DiscMedium.h"

namespace vorlo::platform {
namespace {

// Reads audio sectors through a handle of its own, so that the playback engine's reader
// thread never shares a handle with the thread that reads the TOC or ejects.
class CdioSectorSource final : public SectorSource {
public:
    explicit CdioSectorSource(CdioHandle handle) : handle_(std::move(handle)) {}

    bool ReadSectors(std::int32_t lsn, std::uint32_t count, std::byte* out) override
    {
        return cdio_read_audio_sectors(handle_.get(), out, lsn, count) == DRIVER_OP_SUCCESS;
    }

private:
    CdioHandle handle_;
};

class CdioMedium final : public DiscMedium {
public:
    explicit CdioMedium(const DiscLocation& location) : location_(location), handle_(Open(location)) {}

    DiscToc ReadToc() override { return handle_.ReadToc(); }

    std::unique_ptr<SectorSource> CreateSource() override
    {
        return std::make_unique<CdioSectorSource>(Open(location_));
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
    if (open)
        cdio_eject_media_drive(location.path.c_str());
    else
        cdio_close_tray(location.path.c_str(), nullptr);
}

} // namespace vorlo::platform
