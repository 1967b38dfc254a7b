#include "platform/cdaudio/SerialWorker.h"

namespace vorlo::platform {

SerialWorker::~SerialWorker()
{
    {
        std::lock_guard lock(queue_->mutex);
        queue_->stopping = true;
        queue_->jobs.clear();
    }
    queue_->wake.notify_all();
    if (thread_.joinable())
        thread_.detach();
}

void SerialWorker::Post(std::function<void()> job)
{
    {
        std::lock_guard lock(queue_->mutex);
        queue_->jobs.push_back(std::move(job));
    }
    queue_->wake.notify_one();
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
            if (queue->stopping)
                return;
            job = std::move(queue->jobs.front());
            queue->jobs.pop_front();
        }
        job();
    }
}

} // namespace vorlo::platform
