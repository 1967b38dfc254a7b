#pragma once

#include "platform/devices/cdaudio/DiscMedium.h"
#include "platform/devices/cdaudio/SerialWorker.h"
#include "platform/devices/cdaudio/WorkerSource.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace vorlo::platform {

// A drive's disc as a closed device read it in: the worker that alone calls into the
// medium, the medium, its table and CD-Text, and its sectors.
struct KeptDisc {
    std::string path;
    std::shared_ptr<SerialWorker> worker;
    std::shared_ptr<DiscMedium> medium;
    DiscToc toc;
    DiscText text;
    std::shared_ptr<WorkerSource> sectors;
};

// Keeps the disc of the last cdaudio device closed on a drive for a few seconds, reading
// ahead from its first track, so that an open of the same drive soon after takes it as it
// is instead of reading the disc in again. The window's Play closes the device and opens
// it again before every play; without this, each Play would pay for identifying the drive
// and reading the table, and lose what was read ahead.
//
// Whoever takes a disc must make sure, on its worker, that the drive still holds it. After
// kKeepFor a disc nobody took is let go of on its worker: an open drive is one that other
// programs cannot eject.
//
// Threads: any; never waits on a drive. Never throws but std::bad_alloc.
class DiscShelf {
public:
    static constexpr auto kKeepFor = std::chrono::seconds(5);

    DiscShelf() = default;
    // Lets go of a disc still kept, through the Retirer.
    ~DiscShelf();
    DiscShelf(const DiscShelf&) = delete;
    DiscShelf& operator=(const DiscShelf&) = delete;

    // Keeps `disc` in place of any other and starts reading ahead where an open plays from.
    void Put(KeptDisc disc);
    // The disc kept for the drive at `path`, if any; it is no longer kept.
    std::optional<KeptDisc> Take(const std::string& path);

private:
    struct Slot {
        std::mutex mutex;
        std::optional<KeptDisc> disc;
        std::uint64_t puts = 0;  // which Put the disc came from
    };
    // On the disc's worker: waits out kKeepFor while no other job comes, then lets go of
    // disc `put` unless it was taken or replaced.
    static void Expire(const std::weak_ptr<Slot>& weak, std::uint64_t put, SerialWorker::Backlog backlog,
                       std::chrono::steady_clock::time_point until);

    std::shared_ptr<Slot> slot_ = std::make_shared<Slot>();
};

} // namespace vorlo::platform
