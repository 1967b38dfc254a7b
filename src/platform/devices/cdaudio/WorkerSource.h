#pragma once

#include "platform/audio/SectorSource.h"
#include "platform/devices/cdaudio/DiscMedium.h"
#include "platform/devices/cdaudio/SerialWorker.h"

#include <chrono>
#include <memory>
#include <mutex>
#include <optional>

namespace vorlo::platform {

// The playback engine's view of a medium: each read runs on the medium's own worker, and
// only the engine's reader waits for it. Which sectors are audio comes from the table the
// medium read, with no I/O. Reads fail once the worker has dropped them (the device is
// gone). Shares the worker and the medium, so either may outlive the device.
class WorkerSource final : public SectorSource {
public:
    // `readsAhead`: whether the medium gains from a cue (a drive, not an image).
    WorkerSource(std::shared_ptr<SerialWorker> worker, std::shared_ptr<DiscMedium> medium, DiscToc toc, bool readsAhead)
        : worker_(std::move(worker)), medium_(std::move(medium)), toc_(std::move(toc)), readsAhead_(readsAhead)
    {
    }

    // A cue still waiting or running stops: nothing will play from it.
    ~WorkerSource() override;

    bool ReadSectors(std::int32_t lsn, std::uint32_t count, std::byte* out) override;
    // The medium reads ahead on the worker, once nothing else was asked for `settle`, until
    // a read or a newer cue is asked for, or the source goes. Other jobs the worker is
    // given meanwhile run first; a cue that has begun holds them back until it ends.
    void CueUp(std::int32_t lsn, std::chrono::milliseconds settle) override;
    // A read in progress stops within one drive read, unless something newer asked for
    // where it reads (as a cue does).
    void Abandon() override { Ask(std::nullopt); }
    std::uint32_t AudioSectorsFrom(std::int32_t lsn, std::uint32_t count) override
    {
        return toc_.AudioSectorsFrom(lsn, count);
    }

private:
    std::shared_ptr<SerialWorker> worker_;
    std::shared_ptr<DiscMedium> medium_;
    const DiscToc toc_;
    // What was asked of the worker (reads and cues), shared with the cue it runs: a cue
    // goes on while nothing newer was asked, and the drive read under way goes on while
    // the newest request starts where the cue does.
    struct Asked {
        std::mutex mutex;
        std::uint64_t count = 0;
        std::optional<std::int32_t> wantedFrom;  // the first sector of the newest request

        // Whether something newer than request `ticket` was asked for, other than sectors
        // from `lsn` on: the drive read under way is all that is still worth waiting for.
        bool WantedElsewhere(std::uint64_t ticket, std::int32_t lsn)
        {
            std::lock_guard lock(mutex);
            return count != ticket && wantedFrom != lsn;
        }
    };
    // Counts one more request; returns its number.
    std::uint64_t Ask(std::optional<std::int32_t> wantedFrom);
    static void PostCue(const std::shared_ptr<SerialWorker>& worker, std::shared_ptr<DiscMedium> medium,
                        std::shared_ptr<Asked> asked, std::uint64_t ticket, std::int32_t lsn,
                        std::chrono::steady_clock::time_point restedAt);

    const bool readsAhead_;
    std::shared_ptr<Asked> asked_ = std::make_shared<Asked>();
};

} // namespace vorlo::platform
