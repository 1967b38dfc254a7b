#pragma once

#include "platform/audio/SectorSource.h"
#include "platform/devices/cdaudio/DiscMedium.h"
#include "platform/devices/cdaudio/SerialWorker.h"

#include <atomic>
#include <memory>

namespace vorlo::platform {

// The playback engine's view of a medium: each read runs on the medium's own worker, and
// only the engine's reader waits for it. Which sectors are audio comes from the table the
// medium read, with no I/O. Reads fail once the worker has dropped them (the device is
// gone). Shares the worker and the medium, so either may outlive the device.
class WorkerSource final : public SectorSource {
public:
    WorkerSource(std::shared_ptr<SerialWorker> worker, std::shared_ptr<DiscMedium> medium, DiscToc toc)
        : worker_(std::move(worker)), medium_(std::move(medium)), toc_(std::move(toc))
    {
    }

    // A cue still running stops: nothing will play from it.
    ~WorkerSource() override { asked_->fetch_add(1); }

    bool ReadSectors(std::int32_t lsn, std::uint32_t count, std::byte* out) override;
    // The medium reads ahead on the worker until a read or a newer cue is asked for.
    void CueUp(std::int32_t lsn) override;
    std::uint32_t AudioSectorsFrom(std::int32_t lsn, std::uint32_t count) override
    {
        return toc_.AudioSectorsFrom(lsn, count);
    }

private:
    std::shared_ptr<SerialWorker> worker_;
    std::shared_ptr<DiscMedium> medium_;
    const DiscToc toc_;
    // Counts what was asked of the worker (reads and cues), shared with the cue it runs:
    // a cue goes on while nothing newer was asked.
    std::shared_ptr<std::atomic<std::uint64_t>> asked_ = std::make_shared<std::atomic<std::uint64_t>>(0);
};

} // namespace vorlo::platform
