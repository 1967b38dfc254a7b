#include "platform/audio/DiscSectorSource.h"
#include "platform/lib/cdio/CdioHandle.h"
#include "platform/lib/cdio/LibraryLock.h"
#include "platform/devices/cdaudio/DiscMedium.h"

#include <cdio/cdtext.h>

#include <array>
#include <memory>

namespace vorlo::platform {
namespace {

// How fast a drive is asked to read while it plays: ahead of the sound with room to spare
// (cdparanoia reads each sector about twice), and far quieter than flat out.
constexpr int kPlayingSpeed = 4;

std::string TextField(const cdtext_t* text, cdtext_field_t field, int track)
{
    const char* value = cdtext_get_const(text, field, static_cast<track_t>(track));
    return value ? value : "";
}

// The CD-Text libcdio finds on an open handle: the TITLE and PERFORMER lines of a cue
// sheet, the text packs of a drive's disc. The first language block is read. Takes the
// library lock; on a drive it reads the disc. A disc without CD-Text, or one whose text
// libcdio cannot read, gives an empty DiscText. Never throws.
DiscText ReadDiscText(CdIo_t* handle)
{
    DiscText read;
    const cdio::LibraryLock lock(cdio::LibraryMutex());
    const cdtext_t* text = handle ? cdio_get_cdtext(handle) : nullptr;
    if (!text)
        return read;
    const int first = cdio_get_first_track_num(handle);
    const int last = cdio_get_last_track_num(handle);
    if (first == CDIO_INVALID_TRACK || last == CDIO_INVALID_TRACK)
        return read;
    const auto keep = [&](int number) {
        DiscText::Entry entry{TextField(text, CDTEXT_FIELD_TITLE, number), TextField(text, CDTEXT_FIELD_PERFORMER, number)};
        if (!entry.title.empty() || !entry.performer.empty())
            read.entries[number] = std::move(entry);
    };
    keep(DiscText::kDisc);
    for (int number = first; number <= last; ++number)
        keep(number);
    return read;
}

class CdioMedium final : public DiscMedium {
public:
    explicit CdioMedium(const DiscLocation& location) : location_(location), handle_(Open(location)) {}

    // A table that cannot be used is refused with a reason that names the drive or image.
    // The table read here is the only one: the sectors are read against it.
    DiscToc ReadToc() override
    {
        try {
            // A drive says "changed" once after a disc comes in, to whoever asks first:
            // asked now, it says so later only for a disc changed after this one was read.
            DriveSaysChanged();
            DiscToc toc = ReadDiscToc(handle_);
            if (toc.Empty())
                return toc;
            text_ = ReadDiscText(handle_.get());
            if (location_.kind == DiscLocation::Kind::Image) {
                sectors_ = std::make_unique<DirectSectorSource>(handle_, toc);
            } else {
                handle_.RequestSpeed(kPlayingSpeed);
                auto verified = std::make_unique<ParanoiaSectorSource>(handle_, toc);
                verifiedSectors_ = verified.get();
                sectors_ = std::move(verified);
            }
            return toc;
        } catch (const std::runtime_error& error) {
            throw CdioError(location_.path + ": " + error.what());
        }
    }

    DiscText Text() const override { return text_; }
    SectorSource& Sectors() override { return *sectors_; }

    bool ReadSectors(std::int32_t lsn, std::uint32_t count, std::byte* out,
                     const std::function<bool()>& unwanted) override
    {
        return verifiedSectors_ ? verifiedSectors_->ReadSectorsUnless(lsn, count, out, unwanted)
                                : sectors_->ReadSectors(lsn, count, out);
    }

    void CueUp(std::int32_t lsn, const CueStops& stops) override
    {
        if (verifiedSectors_)
            verifiedSectors_->CueUp(lsn, stops);
    }

    // On an image: its files are still there, and the span's first and last sectors read.
    bool Readable(std::int32_t firstLsn, std::int32_t endLsn) override
    {
        if (location_.kind != DiscLocation::Kind::Image)
            return true;
        return handle_.FilesPresent() && ReadsSector(firstLsn) && ReadsSector(endLsn - 1);
    }

    // Once changed, for good: the drive says so only once, and whoever asked first may
    // have had no use for the answer (a check gone stale).
    bool Changed() override
    {
        changed_ = changed_ || DriveSaysChanged();
        return changed_;
    }

private:
    bool DriveSaysChanged()
    {
        if (location_.kind != DiscLocation::Kind::Drive)
            return false;
        const cdio::LibraryLock lock(cdio::LibraryMutex());
        return cdio_get_media_changed(handle_.get()) == 1;
    }

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
    // Declared after the handle it reads through, so that it goes first.
    std::unique_ptr<DiscSectorSource> sectors_;
    ParanoiaSectorSource* verifiedSectors_ = nullptr;  // sectors_, on a drive
    bool changed_ = false;  // the disc changed since it was read
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

DriveState ProbeCdioDrive(const DiscLocation& location)
{
    return location.kind == DiscLocation::Kind::Drive ? QueryDriveState(location.path) : DriveState::DiscReady;
}

} // namespace vorlo::platform
