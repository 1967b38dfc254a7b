#pragma once

#include "platform/audio/SectorSource.h"
#include "platform/devices/cdaudio/DiscMedium.h"
#include "platform/devices/cdaudio/SerialWorker.h"

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

    bool ReadSectors(std::int32_t lsn, std::uint32_t count, std::byte* out) override;
    std::uint32_t AudioSectorsFrom(std::int32_t lsn, std::uint32_t count) override
    {
        return toc_.AudioSectorsFrom(lsn, count);
    }

private:
    std::shared_ptr<SerialWorker> worker_;
    std::shared_ptr<DiscMedium> medium_;
    const DiscToc toc_;
};

} // namespace vorlo::platform
