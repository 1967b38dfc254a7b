#include "platform/lib/cdio/CdioHandle.h"

#include "platform/lib/cdio/LibraryLock.h"

#include "common/AsciiText.h"

#include <string.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>
#include <vector>

namespace vorlo::platform {
namespace {

// The most of libcdio's messages kept for one failure: enough for the reason and the
// generic failure after it, bounded so that a chatty library cannot grow it without end.
constexpr std::size_t kLastMessageLimit = 512;

thread_local std::string tLastMessage;

void KeepMessage(cdio_log_level_t level, const char* message)
{
    // A refused image logs its reason first and a generic failure after it: keep both.
    if (level < CDIO_LOG_WARN || !message || tLastMessage.size() > kLastMessageLimit)
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
    return ascii::LowerCopy(path.substr(dot + 1));
}

// In a cdrdao TOC file libcdio sets a track's sector size only for these modes, and it
// divides by that size: a track without one (no mode, MODE2, MODE2_FORM1 or _FORM2) can
// end the process with a division by zero while the image opens.
bool SizedTocMode(const char* mode)
{
    static constexpr std::string_view kSized[] = {"AUDIO", "MODE1", "MODE1_RAW", "MODE2_FORM_MIX", "MODE2_RAW"};
    return mode && std::find(std::begin(kSized), std::end(kSized), std::string_view(mode)) != std::end(kSized);
}

// libcdio 2.1 indexes its table of tracks with counts it never checks. While it opens a
// CUE sheet or cdrdao TOC file with no TRACK or with more than 99, it writes outside that
// table. A CUE sheet whose first track is numbered N with only M tracks makes it write to
// entry M - N, before the table. Up to 64 entries back (88 bytes each) that still lands
// inside its own image record, whose first 5.6 KB are other fields (ISO 9660 descriptors,
// track flags) that this player never reads, so sheets such as tracks 4 and 5 of a disc
// still open; further back it lands on other memory, which the disc-sheet fuzzer found as
// heap corruption. Such sheets, and TOC tracks without a sized mode, are refused before
// libcdio sees them. Lines and words are split as libcdio splits them (fgets with its line
// length, then blanks), so that the tracks counted here are the ones libcdio will count.
// Returns what is wrong, or nothing; a sheet that cannot be read is left to libcdio.
std::string UnsafeSheet(const std::string& sheet, bool toc)
{
    constexpr int kMaxTracks = 99;
    constexpr int kEntriesInsideTheRecord = 64;
    constexpr const char* kBlanks = " \t\n\r";
    constexpr int kTocLineLength = 512;   // libcdio's line buffers for each kind of sheet
    constexpr int kCueLineLength = 4096;
    const int lineLength = toc ? kTocLineLength : kCueLineLength;
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(sheet.c_str(), "r"), std::fclose);
    if (!file)
        return {};
    std::vector<char> line(static_cast<std::size_t>(lineLength));
    int tracks = 0;
    long firstNumber = 0;
    while (std::fgets(line.data(), lineLength, file.get())) {
        if (char* comment = toc ? std::strstr(line.data(), "//") : nullptr)
            *comment = '\0';
        char* rest = nullptr;
        const char* keyword = strtok_r(line.data(), kBlanks, &rest);
        if (!keyword || std::strcmp(keyword, "TRACK") != 0)
            continue;
        ++tracks;
        const char* next = strtok_r(nullptr, kBlanks, &rest);
        if (toc && !SizedTocMode(next))
            return "track " + std::to_string(tracks) + " has no mode whose sector size libcdio knows (" +
                   (next ? next : "none") + ")";
        if (tracks == 1 && !toc && next)
            firstNumber = std::strtol(next, nullptr, 10);
    }
    if (tracks == 0)
        return "it has no TRACK";
    if (tracks > kMaxTracks)
        return "it has more than " + std::to_string(kMaxTracks) + " tracks";
    if (firstNumber > tracks + kEntriesInsideTheRecord)
        return "its first track is numbered " + std::to_string(firstNumber) + " but it has only " +
               std::to_string(tracks);
    return {};
}

// The sheet libcdio reads for an image of this extension, if any: a .bin's is the .cue
// beside it, named as libcdio names it (only an all-lower or all-upper "bin" is replaced).
std::optional<std::string> SheetOf(const std::string& path, const std::string& ext)
{
    if (ext == "cue" || ext == "toc")
        return path;
    if (ext != "bin")
        return std::nullopt;
    const std::string_view tail = std::string_view(path).substr(path.size() - ext.size());
    if (tail != "bin" && tail != "BIN")
        return std::nullopt;
    return path.substr(0, path.size() - ext.size()) + (tail == "bin" ? "cue" : "CUE");
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
    if (const auto sheet = SheetOf(path, ext))
        if (const std::string fault = UnsafeSheet(*sheet, ext == "toc"); !fault.empty())
            throw CdioError("libcdio cannot safely read the disc image " + path + ": " + fault);
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
    return CdioHandle(handle, path);
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
    return CdioHandle(handle, device);
}

CdioToc CdioHandle::ReadToc() const
{
    CdioToc toc;
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

void CdioHandle::RequestSpeed(int speed) const
{
    if (IsImage())
        return;
    const cdio::LibraryLock lock(cdio::LibraryMutex());
    cdio_set_speed(get(), speed);
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
