#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>

namespace vorlo::platform {

// How many sample frames of a play have been heard, published by a sound output from its
// own thread and read by anyone without locks. Between publications the count runs on
// with the monotonic clock at the sample rate, never past the limit the output set (what
// it has handed to the device) and never backwards.
class PlayClock {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    // At `at`, `frames` had been heard; the count may run on up to `limit` while `running`.
    void Publish(std::int64_t frames, TimePoint at, std::int64_t limit, bool running);
    // Raises the limit the count may run on to (the output has handed more to the device)
    // without a new report. Only the thread that publishes may call it.
    void Extend(std::int64_t limit);
    // Holds the count at `frames` until the next Publish.
    void Hold(std::int64_t frames) { Publish(frames, {}, frames, false); }
    // Back to zero for a new play. Call while no output publishes.
    void Reset();

    std::int64_t Frames(TimePoint now) const;
    std::int64_t Frames() const { return Frames(std::chrono::steady_clock::now()); }

private:
    // A sequence lock: odd while a publication is being written.
    std::atomic<std::uint32_t> sequence_{0};
    std::atomic<std::int64_t> frames_{0};
    std::atomic<std::int64_t> atNanos_{0};
    std::atomic<std::int64_t> limit_{0};
    std::atomic<bool> running_{false};
    mutable std::atomic<std::int64_t> lastAnswer_{0};
};

} // namespace vorlo::platform
