#include "platform/devices/cdaudio/SerialWorker.h"

#include "platform/devices/cdaudio/Retirer.h"

namespace vorlo::platform {

SerialWorker::~SerialWorker()
{
    {
        std::lock_guard lock(queue_->mutex);
        queue_->stopping = true;
    }
    queue_->wake.notify_all();
    Retirer::Instance().Adopt(std::move(thread_));
}

void SerialWorker::Post(std::function<void()> job)
{
    {
        std::lock_guard lock(queue_->mutex);
        queue_->jobs.push_back(std::move(job));
    }
    queue_->wake.notify_all();  // the worker, or a job of its waiting for the backlog
    if (!thread_.joinable())
        thread_ = std::thread(Run, queue_);
}

void SerialWorker::Run(std::shared_ptr<Queue> queue)
{
    while (true) {
        std::function<void()> job;
        {
            std::unique_lock lock(queue->mutex);
            queue->wake.wait(lock, [&] { return queue->stopping || !queue->jobs.empty(); });
            if (queue->stopping) {
                // Dropped here, so that what they hold is let go of on this thread.
                std::deque<std::function<void()>> dropped;
                dropped.swap(queue->jobs);
                lock.unlock();
                return;
            }
            job = std::move(queue->jobs.front());
            queue->jobs.pop_front();
        }
        job();
    }
}

bool SerialWorker::Backlog::StaysEmptyFor(std::chrono::milliseconds span) const
{
    std::unique_lock lock(queue_->mutex);
    return !queue_->wake.wait_for(lock, span, [this] { return queue_->stopping || !queue_->jobs.empty(); });
}

} // namespace vorlo::platform
