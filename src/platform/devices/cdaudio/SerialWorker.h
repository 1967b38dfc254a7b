#pragma once

#include <chrono>
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
    struct Queue;

public:
    SerialWorker() = default;
    ~SerialWorker();
    SerialWorker(const SerialWorker&) = delete;
    SerialWorker& operator=(const SerialWorker&) = delete;

    void Post(std::function<void()> job);

    // What a job may ask of the worker it runs on, without keeping the worker alive: work
    // that is worth doing only while nothing else is asked for (reading ahead) gives way.
    class Backlog {
    public:
        // Waits up to `span` while no other job is queued: true when the span passed so,
        // false as soon as one is queued or the worker stops.
        bool StaysEmptyFor(std::chrono::milliseconds span) const;

    private:
        friend class SerialWorker;
        explicit Backlog(std::shared_ptr<Queue> queue) : queue_(std::move(queue)) {}
        std::shared_ptr<Queue> queue_;
    };
    Backlog Jobs() const { return Backlog(queue_); }

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
