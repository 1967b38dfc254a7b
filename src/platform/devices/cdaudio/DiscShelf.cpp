#include "platform/devices/cdaudio/DiscShelf.h"

#include "platform/devices/cdaudio/Retirer.h"

namespace vorlo::platform {

DiscShelf::~DiscShelf()
{
    std::optional<KeptDisc> left;
    {
        std::lock_guard lock(slot_->mutex);
        left.swap(slot_->disc);
    }
    if (left)
        Retirer::Instance().Run([held = std::move(left)]() mutable { held.reset(); });
}

void DiscShelf::Put(KeptDisc disc)
{
    disc.sectors->CueUp(disc.toc.StartLsn(), std::chrono::milliseconds{0});
    const std::shared_ptr<SerialWorker> worker = disc.worker;
    std::optional<KeptDisc> replaced;
    std::uint64_t put = 0;
    {
        std::lock_guard lock(slot_->mutex);
        replaced.swap(slot_->disc);
        slot_->disc = std::move(disc);
        put = ++slot_->puts;
    }
    if (replaced)
        Retirer::Instance().Run([held = std::move(replaced)]() mutable { held.reset(); });
    worker->Post([weak = std::weak_ptr(slot_), put, backlog = worker->Jobs(),
                  until = std::chrono::steady_clock::now() + kKeepFor] { Expire(weak, put, backlog, until); });
}

std::optional<KeptDisc> DiscShelf::Take(const std::string& path)
{
    std::optional<KeptDisc> taken;
    std::lock_guard lock(slot_->mutex);
    if (slot_->disc && slot_->disc->path == path)
        taken.swap(slot_->disc);
    return taken;
}

void DiscShelf::Expire(const std::weak_ptr<Slot>& weak, std::uint64_t put, SerialWorker::Backlog backlog,
                       std::chrono::steady_clock::time_point until)
{
    // A job that comes meanwhile (whoever took the disc checks it on this worker) goes first;
    // the wait goes on after it, if the disc is still here.
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
    const bool restedOut = left.count() <= 0 || backlog.StaysEmptyFor(left);
    const auto slot = weak.lock();
    if (!slot)
        return;
    std::optional<KeptDisc> expired;
    {
        std::lock_guard lock(slot->mutex);
        if (!slot->disc || slot->puts != put)
            return;
        if (restedOut)
            expired.swap(slot->disc);
        else if (const auto worker = slot->disc->worker)
            worker->Post([weak, put, backlog, until] { Expire(weak, put, backlog, until); });
    }
    // Let go of here, on the disc's own worker, which may go with it.
}

} // namespace vorlo::platform
