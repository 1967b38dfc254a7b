#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace vorlo::platform {

// Runs jobs one after another on a thread of its own, started with the first job. Post
// never waits; any thread may post. Destroying the worker never waits either: the job
// under way finishes (it must own what it touches), the jobs not yet started are dropped
// on the worker's thread, and the Retirer joins the thread.
class SerialWorker {
public:
    SerialWorker() = default;
    ~SerialWorker();
    SerialWorker(const SerialWorker&) = delete;
    SerialWorker& operator=(const SerialWorker&) = delete;

    void Post(std::function<void()> job);

private:
    struct Queue {
        std::mutex mutex;
        std::condition_variable wake;
        std::deque<std::function<void()>> jobs;
        bool stopping = false;
    };
    static void Run(std::shared_ptr<Queue> queue);

    std::shared_ptr<Queue> queue_ = std::make_shared<Queue>();
    std::thread thread_;
};

} // namespace vorlo::platform
