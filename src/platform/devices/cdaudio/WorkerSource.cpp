#include "platform/devices/cdaudio/WorkerSource.h"

#include <future>

namespace vorlo::platform {

bool WorkerSource::ReadSectors(std::int32_t lsn, std::uint32_t count, std::byte* out)
{
    // The reader waits here until the job has run, so `out` outlives it; a job the worker
    // drops unrun breaks its promise and never touches `out`.
    asked_->fetch_add(1);
    auto done = std::make_shared<std::promise<bool>>();
    std::future<bool> result = done->get_future();
    worker_->Post([done, medium = medium_, lsn, count, out] {
        done->set_value(medium->Sectors().ReadSectors(lsn, count, out));
    });
    try {
        return result.get();
    } catch (const std::future_error&) {
        return false;
    }
}

void WorkerSource::CueUp(std::int32_t lsn)
{
    const std::uint64_t ticket = asked_->fetch_add(1) + 1;
    worker_->Post([medium = medium_, asked = asked_, ticket, lsn] {
        medium->CueUp(lsn, [&] { return asked->load() != ticket; });
    });
}

} // namespace vorlo::platform
