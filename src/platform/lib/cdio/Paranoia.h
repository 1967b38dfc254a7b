#pragma once

#include <cdio/paranoia/cdda.h>
#include <cdio/paranoia/paranoia.h>

#include <cstdint>

namespace vorlo::platform::cdio {

// Owns libcdio-paranoia's view of a drive (cdrom_drive_t) over a CdIo_t that stays the
// caller's and must outlive it. Identifying the drive does drive I/O.
class CdromDrive {
public:
    // Throws std::runtime_error when the drive holds no audio disc or cannot be opened.
    explicit CdromDrive(CdIo_t* cdio);
    ~CdromDrive();

    CdromDrive(const CdromDrive&) = delete;
    CdromDrive& operator=(const CdromDrive&) = delete;

    cdrom_drive_t* Get() const { return drive_; }

private:
    cdrom_drive_t* drive_;
};

// Owns a cdrom_paranoia_t: verified, jitter-corrected reading of consecutive audio sectors.
class Paranoia {
public:
    using Callback = void (*)(long, paranoia_cb_mode_t);

    // Throws std::runtime_error. `drive` must outlive it. Each pass over the disc reads
    // `sectorsPerPass` sectors at least: cdparanoia reads that far past a sector before it
    // trusts it, to get past a drive's cache, so a large pass delays the first sector.
    // Passes overlap by `overlapSectors`, which must hold the drive's worst jitter.
    Paranoia(CdromDrive& drive, int mode, int sectorsPerPass, int overlapSectors);
    ~Paranoia();

    Paranoia(const Paranoia&) = delete;
    Paranoia& operator=(const Paranoia&) = delete;

    // The next Read returns sector `lsn`.
    void Seek(std::int32_t lsn);
    // Reads the next sector: 2352 bytes of native-endian samples, valid until the next
    // Read, or null when the drive failed beyond repair. Each trouble is reported to
    // `callback`; a sector is tried at most `retries` more times.
    const std::int16_t* Read(Callback callback, int retries);

private:
    cdrom_paranoia_t* paranoia_;
};

} // namespace vorlo::platform::cdio
