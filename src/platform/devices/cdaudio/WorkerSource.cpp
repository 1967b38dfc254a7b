#include "platform/devices/cdaudio/WorkerSource.h"

#include <future>

namespace vorlo::platform {

bool WorkerSource::ReadSectors(std::int32_t lsn, std::uint32_t count, std::byte* out)
{
    // The reader waits here until the job has run, so `out` outlives it; a job the worker
    // drops unrun breaks its promise and never touches `out`.
    const std::uint64_t ticket = Ask(lsn);
    auto done = std::make_shared<std::promise<bool>>();
    std::future<bool> result = done->get_future();
    worker_->Post([done, medium = medium_, asked = asked_, ticket, lsn, count, out] {
        done->set_value(medium->ReadSectors(lsn, count, out, [&] { return asked->WantedElsewhere(ticket, lsn); }));
    });
    try {
        return result.get();
    } catch (const std::future_error&) {
        return false;
    }
}

WorkerSource::~WorkerSource() { Ask(std::nullopt); }

std::uint64_t WorkerSource::Ask(std::optional<std::int32_t> wantedFrom)
{
    std::lock_guard lock(asked_->mutex);
    asked_->wantedFrom = wantedFrom;
    return ++asked_->count;
}

void WorkerSource::CueUp(std::int32_t lsn, std::chrono::milliseconds settle)
{
    if (!readsAhead_)
        return;
    const std::uint64_t ticket = Ask(lsn);
    PostCue(worker_, medium_, asked_, ticket, lsn, std::chrono::steady_clock::now() + settle);
}

void WorkerSource::PostCue(const std::shared_ptr<SerialWorker>& worker, std::shared_ptr<DiscMedium> medium,
                           std::shared_ptr<Asked> asked, std::uint64_t ticket, std::int32_t lsn,
                           std::chrono::steady_clock::time_point restedAt)
{
    worker->Post([weakWorker = std::weak_ptr(worker), backlog = worker->Jobs(), medium = std::move(medium),
                  asked = std::move(asked), ticket, lsn, restedAt] {
        const auto superseded = [&] {
            std::lock_guard lock(asked->mutex);
            return asked->count != ticket;
        };
        if (superseded())
            return;
        // Other work (a look at the tray, a door to move) goes first; the cue waits behind it
        // for what is left of the rest.
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(restedAt - std::chrono::steady_clock::now());
        if (left.count() > 0 && !backlog.StaysEmptyFor(left)) {
            if (const auto worker = weakWorker.lock())
                PostCue(worker, medium, asked, ticket, lsn, restedAt);
            return;
        }
        const CueStops stops{superseded, [&] { return asked->WantedElsewhere(ticket, lsn); }};
        medium->CueUp(lsn, stops);
    });
}

} // namespace vorlo::platform
