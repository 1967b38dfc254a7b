#include "platform/devices/cdaudio/WorkerSource.h"

#include <future>

namespace vorlo::platform {

bool WorkerSource::ReadSectors(std::int32_t lsn, std::uint32_t count, std::byte* out)
{
    // The reader waits here until the job has run, so `out` outlives it; a job the worker
    // drops unrun breaks its promise and never touches `out`.
    Ask(lsn);
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

WorkerSource::~WorkerSource() { Ask(std::nullopt); }

std::uint64_t WorkerSource::Ask(std::optional<std::int32_t> readFrom)
{
    std::uint64_t ticket = 0;
    {
        std::lock_guard lock(asked_->mutex);
        ticket = ++asked_->count;
        asked_->readFrom = readFrom;
    }
    asked_->changed.notify_all();
    return ticket;
}

void WorkerSource::CueUp(std::int32_t lsn, std::chrono::milliseconds settle)
{
    const std::uint64_t ticket = Ask(std::nullopt);
    worker_->Post([medium = medium_, asked = asked_, ticket, lsn, settle] {
        const auto superseded = [&] {
            std::lock_guard lock(asked->mutex);
            return asked->count != ticket;
        };
        {
            std::unique_lock lock(asked->mutex);
            if (asked->changed.wait_for(lock, settle, [&] { return asked->count != ticket; }))
                return;
        }
        const CueStops stops{superseded, [&] {
                                 std::lock_guard lock(asked->mutex);
                                 return asked->count != ticket && asked->readFrom != lsn;
                             }};
        medium->CueUp(lsn, stops);
    });
}

} // namespace vorlo::platform
