#include "platform/devices/cdaudio/Retirer.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace vorlo::platform {

namespace {
Retirer* tInstance = nullptr;
}

Retirer& Retirer::Instance()
{
    static Retirer* const retirer = [] {
        tInstance = new Retirer;  // never destroyed: see the class comment
        std::atexit([] { tInstance->Shutdown(); });
        return tInstance;
    }();
    return *retirer;
}

Retirer::Retirer() : thread_([this] { Work(); }) {}

void Retirer::Shutdown()
{
    std::unique_lock lock(mutex_);
    quitting_ = true;
    changed_.notify_all();
    const bool done = changed_.wait_for(lock, kExitGrace, [this] { return jobs_.empty() && !busy_; });
    lock.unlock();
    if (!done) {
        // A drive holds a read: the process ends here rather than waiting for it, and
        // before anything the read may still touch is destroyed.
        std::fflush(nullptr);
        std::_Exit(EXIT_SUCCESS);
    }
    thread_.join();
    lock.lock();
    stopped_ = true;
    // Whatever came in after the thread saw the queue empty is kept for good.
    kept_.insert(kept_.end(), std::make_move_iterator(jobs_.begin()), std::make_move_iterator(jobs_.end()));
    jobs_.clear();
}

void Retirer::Run(std::function<void()> teardown)
{
    {
        std::lock_guard lock(mutex_);
        if (stopped_) {
            kept_.push_back(std::move(teardown));
            return;
        }
        jobs_.push_back(std::move(teardown));
    }
    changed_.notify_all();
}

void Retirer::Adopt(std::thread thread)
{
    if (!thread.joinable())
        return;
    // std::function wants a copyable callable; the thread is moved into shared ownership.
    auto held = std::make_shared<std::thread>(std::move(thread));
    Run([held] { held->join(); });
}

void Retirer::WaitIdle()
{
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return jobs_.empty() && !busy_; });
}

void Retirer::Work()
{
    std::unique_lock lock(mutex_);
    while (true) {
        changed_.wait(lock, [this] { return quitting_ || !jobs_.empty(); });
        if (jobs_.empty())
            return;  // quitting, with nothing left
        std::function<void()> job = std::move(jobs_.front());
        jobs_.pop_front();
        busy_ = true;
        lock.unlock();
        job();
        job = nullptr;
        lock.lock();
        busy_ = false;
        changed_.notify_all();
    }
}

} // namespace vorlo::platform
