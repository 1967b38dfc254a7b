#include "platform/audio/cdio/CdioHandle.h"

#include "platform/audio/cdio/LibraryLock.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <mutex>
#include <string_view>
#include <vector>

namespace vorlo::platform {
namespace {

thread_local std::string tLastMessage;

void KeepMessage(cdio_log_level_t level, const char* message)
{
    // A refused image logs its reason first and a generic failure after it: keep both.
    if (level < CDIO_LOG_WARN || !message || tLastMessage.size() > 512)
        return;
    if (!tLastMessage.empty())
        tLastMessage += "; ";
    tLastMessage += message;
}

std::string Extension(const std::string& path)
{
    const auto dot = path.find_last_of('.');
    const auto slash = path.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    std::string ext = path.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext;
}

std::string Failure(const std::string& what, const std::string& path)
{
    std::string text = what + " " + path;
    const std::string said = CdioHandle::TakeLastMessage();
    if (!said.empty())
        text += ": " + said;
    return text;
}

} // namespace

void CdioHandle::CaptureLog()
{
    static std::once_flag once;
    std::call_once(once, [] { cdio_log_set_handler(KeepMessage); });
}

std::string CdioHandle::TakeLastMessage()
{
    std::string message;
    message.swap(tLastMessage);
    return message;
}

CdioHandle CdioHandle::OpenImage(const std::string& path)
{
    CaptureLog();
    tLastMessage.clear();
    const std::string ext = Extension(path);
    CdIo_t* handle = nullptr;
    std::unique_lock lock(cdio::LibraryMutex());
    if (ext == "cue")
        handle = cdio_open_cue(path.c_str());
    else if (ext == "bin")
        handle = cdio_open_bincue(path.c_str());
    else if (ext == "toc")
        handle = cdio_open_cdrdao(path.c_str());
    else if (ext == "nrg")
        handle = cdio_open_nrg(path.c_str());
    else
        handle = cdio_open(path.c_str(), DRIVER_UNKNOWN);
    lock.unlock();
    if (!handle)
        throw CdioError(Failure("libcdio cannot read the disc image", path));
    return CdioHandle(handle);
}

CdioHandle CdioHandle::OpenDrive(const std::string& device)
{
    CaptureLog();
    tLastMessage.clear();
    CdIo_t* handle = nullptr;
    {
        const cdio::LibraryLock lock(cdio::LibraryMutex());
        handle = cdio_open(device.c_str(), DRIVER_DEVICE);
    }
    if (!handle)
        throw CdioError(Failure("libcdio cannot open the CD drive", device));
    return CdioHandle(handle);
}

DiscToc CdioHandle::ReadToc() const
{
    DiscToc toc;
    const cdio::LibraryLock lock(cdio::LibraryMutex());
    const track_t first = cdio_get_first_track_num(get());
    const track_t last = cdio_get_last_track_num(get());
    if (first == CDIO_INVALID_TRACK || last == CDIO_INVALID_TRACK || first == 0 || last < first)
        return toc;
    for (track_t number = first; number <= last; ++number) {
        const lsn_t lsn = cdio_get_track_lsn(get(), number);
        if (lsn == CDIO_INVALID_LSN)
            throw CdioError("libcdio reports no start for track " + std::to_string(number));
        // Positions are found by searching the tracks in order, and sectors are read
        // from a track's start: a track before the disc's first sector, or before the
        // track ahead of it, would send play outside the disc.
        if (lsn < 0 || (!toc.tracks.empty() && lsn <= toc.tracks.back().startLsn))
            throw CdioError("libcdio places track " + std::to_string(number) + " out of order, at sector " +
                            std::to_string(lsn));
        toc.tracks.push_back({number, lsn, cdio_get_track_format(get(), number) == TRACK_FORMAT_AUDIO});
    }
    toc.leadOutLsn = cdio_get_track_lsn(get(), CDIO_CDROM_LEADOUT_TRACK);
    if (toc.leadOutLsn == CDIO_INVALID_LSN || toc.leadOutLsn < toc.tracks.back().startLsn)
        throw CdioError("libcdio reports no usable lead-out");
    return toc;
}

bool CdioHandle::IsImage() const
{
    switch (cdio_get_driver_id(get())) {
    case DRIVER_BINCUE:
    case DRIVER_CDRDAO:
    case DRIVER_NRG:
        return true;
    default:
        return false;
    }
}

bool CdioHandle::FilesPresent() const
{
    std::vector<std::string> paths;
    {
        const cdio::LibraryLock lock(cdio::LibraryMutex());
        const char* mode = cdio_get_arg(get(), "access-mode");
        if (!mode || std::string_view(mode) != "image")
            return true;
        // "source" names the file of sectors, "cue" the sheet that lays them out.
        for (const char* key : {"source", "cue"})
            if (const char* path = cdio_get_arg(get(), key); path && *path)
                paths.emplace_back(path);
    }
    return std::all_of(paths.begin(), paths.end(), [](const std::string& path) {
        struct stat info {};
        return ::stat(path.c_str(), &info) == 0;
    });
}

void CdioHandle::Destroy::operator()(CdIo_t* handle) const
{
    const cdio::LibraryLock lock(cdio::LibraryMutex());
    cdio_destroy(handle);
}

std::string DefaultDrive()
{
    CdioHandle::CaptureLog();
    driver_id_t driver = DRIVER_DEVICE;
    const cdio::LibraryLock lock(cdio::LibraryMutex());
    char* device = cdio_get_default_device_driver(&driver);
    std::string name = device ? device : "";
    cdio_free(device);
    return name;
}

} // namespace vorlo::platform
