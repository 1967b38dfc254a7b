#include "platform/audio/ParanoiaSectorSource.h"
#include "platform/audio/cdio/CdioHandle.h"
#include "platform/audio/cdio/LibraryLock.h"
#include "platform/cdaudio/DiscMedium.h"

#include <array>

namespace vorlo::platform {
namespace {

class CdioMedium final : public DiscMedium {
public:
    explicit CdioMedium(const DiscLocation& location) : location_(location), handle_(Open(location)) {}

    // A table that cannot be used is refused with a reason that names the drive or image.
    DiscToc ReadToc() override
    {
        try {
            DiscToc toc = handle_.ReadToc();
            text_ = toc.Empty() ? DiscText{} : ReadDiscText(handle_.get());
            return toc;
        } catch (const CdioError& error) {
            throw CdioError(location_.path + ": " + error.what());
        }
    }

    DiscText Text() const override { return text_; }

    // On an image: its files are still there, and the span's first and last sectors read.
    bool Readable(std::int32_t firstLsn, std::int32_t endLsn) override
    {
        if (location_.kind != DiscLocation::Kind::Image)
            return true;
        return handle_.FilesPresent() && ReadsSector(firstLsn) && ReadsSector(endLsn - 1);
    }

    // Paranoia-verified reads on a drive, direct reads on an image, through a handle of
    // the source's own that it opens on the engine's reader thread.
    std::unique_ptr<SectorSource> CreateSource() override
    {
        return std::make_unique<ParanoiaSectorSource>(location_.path);
    }

private:
    bool ReadsSector(std::int32_t lsn)
    {
        std::array<std::byte, kBytesPerSector> sector;
        const cdio::LibraryLock lock(cdio::LibraryMutex());
        return cdio_read_audio_sectors(handle_.get(), sector.data(), lsn, 1) == DRIVER_OP_SUCCESS;
    }

    static CdioHandle Open(const DiscLocation& location)
    {
        return location.kind == DiscLocation::Kind::Image ? CdioHandle::OpenImage(location.path)
                                                          : CdioHandle::OpenDrive(location.path);
    }

    DiscLocation location_;
    CdioHandle handle_;
    DiscText text_;
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
