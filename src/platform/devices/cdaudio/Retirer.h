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
// There is one per process, made before the media service and never destroyed, so that
// a worker that lets go of its last reference on its own thread while the process ends
// still has somewhere to go. At exit (an atexit hook registered when it is made, so it
// runs after the service's teardown) it waits for what it holds, but a drive may hold a
// read for much longer than a user waits for a program to end: after kExitGrace it ends
// the process at once (standard streams flushed), without destroying what the stalled
// thread may still touch. What is handed over after that is kept, never run: the process
// is ending, and a thread object destroyed unjoined would abort it.
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
    ~Retirer() = delete;
    void Work();
    // At exit: waits for what is held (at most kExitGrace) and joins the thread.
    void Shutdown();

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::function<void()>> jobs_;
    std::deque<std::function<void()>> kept_;  // handed over after Shutdown
    bool busy_ = false;
    bool quitting_ = false;
    bool stopped_ = false;  // the thread is gone: what comes now is kept, never run
    std::thread thread_;
};

} // namespace vorlo::platform
