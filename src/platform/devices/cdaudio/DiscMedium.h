#pragma once

#include "platform/Mci.h"
#include "platform/audio/DiscSectorSource.h"
#include "platform/audio/SectorSource.h"
#include "platform/lib/cdio/DriveState.h"
#include "platform/disc/DiscText.h"
#include "platform/disc/DiscToc.h"

#include <functional>
#include <memory>
#include <string>

namespace vorlo::platform {

// Where the cdaudio device finds its disc.
struct DiscLocation {
    enum class Kind { Image, Drive };
    Kind kind = Kind::Image;
    std::string path;
};

// Finds the disc for "open cdaudio": VORLO_CDROM (a device node or an image file) or else
// the system's default drive. Looks at file types and device nodes only, never at media,
// so it returns promptly. On failure returns an MCI error (no drive, no such file) and a
// sentence saying why in `why`.
MciError LocateDisc(DiscLocation& location, std::string& why);

// An opened drive or image. It belongs to one thread, the device's worker, which makes
// every call into it (libcdio and cdparanoia among them), from opening to destruction.
// Calls may block on a drive for as long as it takes.
class DiscMedium {
public:
    virtual ~DiscMedium() = default;

    // The table of contents, read once, right after opening; empty when the drive holds
    // no disc. Throws CdioError for a table that cannot be used.
    virtual DiscToc ReadToc() = 0;
    // The disc's CD-Text as ReadToc found it; empty when it has none. No I/O.
    virtual DiscText Text() const { return {}; }
    // The disc's audio sectors, read through this medium (verified on a drive, direct on
    // an image). Valid once ReadToc has found tracks, for as long as the medium lives.
    virtual SectorSource& Sectors() = 0;

    // Reads as Sectors() does, but a drive gives up within one drive read once `unwanted`
    // says so, and fails.
    virtual bool ReadSectors(std::int32_t lsn, std::uint32_t count, std::byte* out,
                             const std::function<bool()>& unwanted)
    {
        (void)unwanted;
        return Sectors().ReadSectors(lsn, count, out);
    }

    // Reads ahead from `lsn` for a play expected to start there, until `stops` say that
    // other work waits for the worker (a drive; an image has nothing to gain).
    virtual void CueUp(std::int32_t lsn, const CueStops& stops)
    {
        (void)lsn;
        (void)stops;
    }

    // Whether the audio sectors [firstLsn, endLsn) can still be read; asked before each
    // play. An image whose files were removed or cut short since it was opened cannot.
    // Quick on an image. A drive answers true without touching the disc: its reads fail
    // on their own. Never throws.
    virtual bool Readable(std::int32_t firstLsn, std::int32_t endLsn)
    {
        (void)firstLsn;
        (void)endLsn;
        return true;
    }
    // Whether a drive's disc has been changed since the medium read it: once true, always.
    // Quick; false for an image.
    virtual bool Changed() { return false; }
};

// Opens a medium at a location; throws CdioError when libcdio refuses it. On the worker.
using MediumOpener = std::function<std::unique_ptr<DiscMedium>(const DiscLocation&)>;

// The libcdio medium.
std::unique_ptr<DiscMedium> OpenCdioMedium(const DiscLocation& location);

// Opens (true) or closes a drive's door; blocks until the drive is done. Failures are
// ignored, as a door that does not move is no reason to fail a command.
using DoorMover = std::function<void(const DiscLocation&, bool open)>;
void MoveCdioDoor(const DiscLocation& location, bool open);

// What the drive at a location says of its tray and disc, without reading the disc. An
// image is always ready.
using DriveProbe = std::function<DriveState(const DiscLocation&)>;
DriveState ProbeCdioDrive(const DiscLocation& location);

} // namespace vorlo::platform
