#pragma once

#include "platform/Mci.h"
#include "platform/audio/SectorSource.h"
#include "platform/cdaudio/DiscText.h"
#include "platform/cdaudio/DiscToc.h"

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

// An opened drive or image. Methods may block on the drive for as long as it takes; the
// device calls them from its own worker threads, except on images where they are quick.
// One thread at a time.
class DiscMedium {
public:
    virtual ~DiscMedium() = default;

    // The table of contents; empty when the drive holds no disc. Throws CdioError.
    virtual DiscToc ReadToc() = 0;
    // The disc's CD-Text as the last ReadToc found it; empty when it has none. No I/O.
    virtual DiscText Text() const { return {}; }
    // A reader of the disc's audio sectors for the playback engine. It shares nothing with
    // this medium's handle, so that playback never waits on a TOC read or an eject.
    virtual std::unique_ptr<SectorSource> CreateSource() = 0;

    // Whether the audio sectors [firstLsn, endLsn) can still be read; asked before each
    // play. An image whose files were removed or cut short since it was opened cannot.
    // Quick on an image. A drive answers true without touching the disc: no command may
    // wait on it, and its reads fail on their own. Never throws.
    virtual bool Readable(std::int32_t firstLsn, std::int32_t endLsn)
    {
        (void)firstLsn;
        (void)endLsn;
        return true;
    }
};

// Opens a medium at a location; throws CdioError when libcdio refuses it.
using MediumOpener = std::function<std::unique_ptr<DiscMedium>(const DiscLocation&)>;

// The libcdio medium.
std::unique_ptr<DiscMedium> OpenCdioMedium(const DiscLocation& location);

// Opens (true) or closes a drive's door; blocks until the drive is done. Failures are
// ignored, as a door that does not move is no reason to fail a command.
using DoorMover = std::function<void(const DiscLocation&, bool open)>;
void MoveCdioDoor(const DiscLocation& location, bool open);

} // namespace vorlo::platform
