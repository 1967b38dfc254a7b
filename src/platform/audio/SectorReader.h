#pragma once

#include "platform/audio/SampleRing.h"
#include "platform/audio/SectorSource.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace vorlo::platform {

// The engine's reader thread. It reads a span of sample frames from a sector source into
// the ring, ahead of the output, in large chunks, so that no sound callback ever waits
// for a drive. A read that fails ends the span's data where it failed.
class SectorReader {
public:
    struct Job {
        std::shared_ptr<SectorSource> source;
        std::int64_t firstFrame = 0;  // sample frames from LSN 0
        std::int64_t endFrame = 0;
        std::function<void()> dataAdded;  // called on the reader thread after each chunk
    };

    explicit SectorReader(SampleRing& ring);
    // Abandons the job and ends the thread, waiting for a read in progress to return.
    ~SectorReader();

    SectorReader(const SectorReader&) = delete;
    SectorReader& operator=(const SectorReader&) = delete;

    // Starts reading for `job` in place of any earlier job. The ring must be empty.
    void Start(Job job);
    // Abandons the job at once: nothing more of it reaches the ring. The source is told
    // that a read in progress is no longer wanted; its data, if it comes, is dropped. Any
    // thread; never waits for the source.
    void Cancel();

private:
    void Run();
    // Makes the job being read stale, and tells its source so.
    void Supersede();
    void ReadSpan(const Job& job, std::uint64_t generation);
    bool Current(std::uint64_t generation);

    SampleRing& ring_;
    std::unique_ptr<std::byte[]> chunk_; // uninitialised: each read fills what it uses
    std::mutex mutex_;
    std::condition_variable changed_;
    std::uint64_t generation_ = 0;
    std::unique_ptr<Job> job_;
    std::shared_ptr<SectorSource> reading_;  // the source of the job being read, if any
    bool quit_ = false;
    std::thread thread_;
};

} // namespace vorlo::platform
