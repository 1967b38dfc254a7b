#include "platform/audio/PlayClock.h"

#include "platform/audio/SectorSource.h"

#include <algorithm>

namespace vorlo::platform {

void PlayClock::Publish(std::int64_t frames, TimePoint at, std::int64_t limit, bool running)
{
    const std::uint32_t sequence = sequence_.load(std::memory_order_relaxed);
    sequence_.store(sequence + 1, std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_release);
    frames_.store(frames, std::memory_order_relaxed);
    atNanos_.store(std::chrono::duration_cast<std::chrono::nanoseconds>(at.time_since_epoch()).count(),
                   std::memory_order_relaxed);
    limit_.store(limit, std::memory_order_relaxed);
    running_.store(running, std::memory_order_relaxed);
    sequence_.store(sequence + 2, std::memory_order_release);
}

void PlayClock::Extend(std::int64_t limit)
{
    const std::uint32_t sequence = sequence_.load(std::memory_order_relaxed);
    sequence_.store(sequence + 1, std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_release);
    limit_.store(std::max(limit, limit_.load(std::memory_order_relaxed)), std::memory_order_relaxed);
    sequence_.store(sequence + 2, std::memory_order_release);
}

void PlayClock::Reset()
{
    Hold(0);
    lastAnswer_.store(0);
}

std::int64_t PlayClock::Frames(TimePoint now) const
{
    std::int64_t frames = 0, atNanos = 0, limit = 0;
    bool running = false;
    std::uint32_t before = 0;
    do {
        before = sequence_.load(std::memory_order_acquire);
        frames = frames_.load(std::memory_order_relaxed);
        atNanos = atNanos_.load(std::memory_order_relaxed);
        limit = limit_.load(std::memory_order_relaxed);
        running = running_.load(std::memory_order_relaxed);
        std::atomic_thread_fence(std::memory_order_acquire);
    } while ((before & 1) != 0 || before != sequence_.load(std::memory_order_relaxed));

    const std::int64_t ceiling = std::max(limit, frames);
    if (running) {
        const std::int64_t elapsed = std::chrono::duration_cast<std::chrono::nanoseconds>(now.time_since_epoch()).count() - atNanos;
        if (elapsed > 0)
            frames += elapsed * kSampleRate / 1'000'000'000;
    }
    frames = std::min(frames, ceiling);
    // Publications come from the device's clock and may land a little behind the
    // interpolation; the answer never goes back.
    std::int64_t last = lastAnswer_.load(std::memory_order_relaxed);
    while (frames > last && !lastAnswer_.compare_exchange_weak(last, frames, std::memory_order_relaxed)) {
    }
    return std::max(frames, last);
}

} // namespace vorlo::platform
