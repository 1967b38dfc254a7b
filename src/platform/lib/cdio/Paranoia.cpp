#include "platform/lib/cdio/Paranoia.h"

#include "platform/lib/cdio/LibraryLock.h"

#include <cstdio>
#include <stdexcept>

namespace vorlo::platform::cdio {

namespace {

cdrom_drive_t* Identify(CdIo_t* cdio)
{
    const LibraryLock lock(LibraryMutex());
    return cdio_cddap_identify_cdio(cdio, CDDA_MESSAGE_FORGETIT, nullptr);
}

cdrom_paranoia_t* InitParanoia(cdrom_drive_t* drive)
{
    const LibraryLock lock(LibraryMutex());
    return cdio_paranoia_init(drive);
}

} // namespace

CdromDrive::CdromDrive(CdIo_t* cdio) : drive_(Identify(cdio))
{
    if (!drive_)
        throw std::runtime_error("the drive holds no audio disc");
    const LibraryLock lock(LibraryMutex());
    // Drives deliver CD audio little-endian. Settled before the open, the library does
    // not guess it from the music: a guess reads from the start of every audio track,
    // a seek each, and can guess wrong on quiet passages.
    drive_->bigendianp = 0;
    if (cdio_cddap_open(drive_) != 0) {
        cdio_cddap_close_no_free_cdio(drive_);
        throw std::runtime_error("cannot open the drive for audio reading");
    }
}

CdromDrive::~CdromDrive()
{
    const LibraryLock lock(LibraryMutex());
    cdio_cddap_close_no_free_cdio(drive_);
}

Paranoia::Paranoia(CdromDrive& drive, int mode, int sectorsPerPass, int overlapSectors)
    : paranoia_(InitParanoia(drive.Get()))
{
    if (!paranoia_)
        throw std::runtime_error("cannot set up verified reading");
    const LibraryLock lock(LibraryMutex());
    cdio_paranoia_modeset(paranoia_, mode);
    cdio_paranoia_cachemodel_size(paranoia_, sectorsPerPass);
    cdio_paranoia_overlapset(paranoia_, overlapSectors);
}

Paranoia::~Paranoia()
{
    const LibraryLock lock(LibraryMutex());
    cdio_paranoia_free(paranoia_);
}

void Paranoia::Seek(std::int32_t lsn)
{
    const LibraryLock lock(LibraryMutex());
    cdio_paranoia_seek(paranoia_, lsn, SEEK_SET);
}

const std::int16_t* Paranoia::Read(Callback callback, int retries)
{
    const LibraryLock lock(LibraryMutex());
    return cdio_paranoia_read_limited(paranoia_, callback, retries);
}

} // namespace vorlo::platform::cdio
