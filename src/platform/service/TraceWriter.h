#pragma once

#include "platform/Mci.h"

#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

namespace vorlo::platform {

// Appends one line per command to a trace file: a monotonic timestamp in seconds, the
// command, the error number and the reply, TAB-separated. Record only formats the line
// into memory; a writer thread of the trace's own appends it to the file within about
// 100 ms, and everything left is written when the trace is destroyed. Any thread.
class TraceWriter {
public:
    // Appends to `path`; a trace that cannot open its file records nothing.
    explicit TraceWriter(const std::string& path);
    ~TraceWriter();
    TraceWriter(const TraceWriter&) = delete;
    TraceWriter& operator=(const TraceWriter&) = delete;

    // The trace that VORLO_MCI_TRACE names, or null when it names none.
    static std::unique_ptr<TraceWriter> FromEnvironment();

    void Record(std::string_view command, MciError error, std::string_view reply);

    // Writes what is pending on the calling thread. For a program that ends through
    // quick_exit, which runs no destructors; the writer thread may still be running.
    void Flush();

private:
    void Run();
    void Drain(std::unique_lock<std::mutex>& lock);

    std::FILE* file_ = nullptr;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::string pending_;
    std::string writing_;
    bool stopping_ = false;
    std::thread writer_;
};

} // namespace vorlo::platform
