#include "platform/audio/cdio/Cdio.h"

#include "platform/audio/cdio/LibraryLock.h"

#include <sys/stat.h>

#include <algorithm>
#include <stdexcept>
#include <string_view>

namespace vorlo::platform::cdio {

namespace {

CdIo_t* OpenSource(const std::string& source)
{
    const LibraryLock lock(LibraryMutex());
    if (source.empty())
        return cdio_open(nullptr, DRIVER_DEVICE);
    return cdio_open(source.c_str(), DRIVER_UNKNOWN);
}

} // namespace

Cdio::Cdio(const std::string& source) : handle_(OpenSource(source))
{
    if (!handle_)
        throw std::runtime_error("cannot open the disc " + (source.empty() ? std::string("in the default drive") : source));
}

Cdio::~Cdio()
{
    const LibraryLock lock(LibraryMutex());
    cdio_destroy(handle_);
}

bool Cdio::IsImage() const
{
    switch (cdio_get_driver_id(handle_)) {
    case DRIVER_BINCUE:
    case DRIVER_CDRDAO:
    case DRIVER_NRG:
        return true;
    default:
        return false;
    }
}

std::vector<Cdio::Span> Cdio::AudioTracks() const
{
    std::vector<Span> spans;
    const LibraryLock lock(LibraryMutex());
    const track_t first = cdio_get_first_track_num(handle_);
    const track_t last = cdio_get_last_track_num(handle_);
    if (first == CDIO_INVALID_TRACK || last == CDIO_INVALID_TRACK)
        return spans;
    for (track_t track = first; track <= last; ++track) {
        if (cdio_get_track_format(handle_, track) != TRACK_FORMAT_AUDIO)
            continue;
        const lsn_t begin = cdio_get_track_lsn(handle_, track);
        const track_t next = track == last ? static_cast<track_t>(CDIO_CDROM_LEADOUT_TRACK) : static_cast<track_t>(track + 1);
        const lsn_t end = cdio_get_track_lsn(handle_, next);
        // A sheet can place a track before the disc's first sector; nothing is read there.
        if (begin != CDIO_INVALID_LSN && end != CDIO_INVALID_LSN && begin >= 0 && begin < end)
            spans.push_back({begin, end});
    }
    return spans;
}

bool ImageFilesPresent(CdIo_t* image)
{
    std::vector<std::string> paths;
    {
        const LibraryLock lock(LibraryMutex());
        const char* mode = cdio_get_arg(image, "access-mode");
        if (!mode || std::string_view(mode) != "image")
            return true;
        // "source" names the file of sectors, "cue" the sheet that lays them out.
        for (const char* key : {"source", "cue"})
            if (const char* path = cdio_get_arg(image, key); path && *path)
                paths.emplace_back(path);
    }
    return std::all_of(paths.begin(), paths.end(), [](const std::string& path) {
        struct stat info {};
        return ::stat(path.c_str(), &info) == 0;
    });
}

} // namespace vorlo::platform::cdio
