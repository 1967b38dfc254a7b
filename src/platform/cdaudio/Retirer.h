#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace vorlo::platform {

// Takes over what may have to wait on a drive when a device lets go of it: the teardown of
// an engine whose reader is inside a stalled read, the thread of a worker whose job is.
// It runs each teardown, and joins each thread, in turn on a thread of its own, so that no
// command waits for them and no thread is left without an owner.
//
// There is one per process. It is made before the media service, so that it outlives the
// service and everything the service hands over at exit. At exit it waits for what it
// holds, but a drive may hold a read for much longer than a user waits for a program to
// end: after kExitGrace it ends the process at once (standard streams flushed), without
// destroying what the stalled thread may still touch.
class Retirer {
public:
    static constexpr auto kExitGrace = std::chrono::milliseconds(1500);

    static Retirer& Instance();

    // Runs `teardown` soon, off the caller's thread. Any thread; never waits.
    void Run(std::function<void()> teardown);
    // Joins `thread` once it ends. Any thread; never waits.
    void Adopt(std::thread thread);

    // Waits until everything handed over so far is done. For tests.
    void WaitIdle();

    Retirer(const Retirer&) = delete;
    Retirer& operator=(const Retirer&) = delete;

private:
    Retirer();
    ~Retirer();
    void Work();

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::function<void()>> jobs_;
    bool busy_ = false;
    bool quitting_ = false;
    std::thread thread_;
};

} // namespace vorlo::platform
