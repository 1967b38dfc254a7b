#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>

namespace vorlo::platform {

// The read-ahead buffer between the engine's reader thread (the one producer) and a sound
// output (the one consumer). Sizes are in bytes. Neither side ever waits for the other
// while holding data: the producer blocks only in WaitForSpace, the consumer never blocks.
class SampleRing {
public:
    explicit SampleRing(std::size_t capacity);

    std::size_t Capacity() const { return capacity_; }

    // Producer side.
    std::size_t Writable() const;
    // Appends data; size must not exceed Writable().
    void Write(const std::byte* data, std::size_t size);
    // Says that the play's data is complete: once it has been read, the consumer is at the end.
    void MarkEnd() { ended_.store(true, std::memory_order_release); }
    // Blocks until `size` bytes can be written or WakeProducer is called.
    void WaitForSpace(std::size_t size);
    // Ends a WaitForSpace in progress (and the next one, if none is), from any thread.
    void WakeProducer();

    // Consumer side.
    std::size_t Readable() const;
    // Moves up to `size` bytes into out; returns how many.
    std::size_t Read(std::byte* out, std::size_t size);
    // Drops up to `size` bytes, as a device that plays nothing would; returns how many.
    std::size_t Skip(std::size_t size);
    // True when the producer has marked the end and everything has been read.
    bool AtEnd() const { return ended_.load(std::memory_order_acquire) && Readable() == 0; }
    // Whether there is enough to start playing on: `size` bytes, or all there will be.
    bool Holds(std::size_t size) const { return ended_.load(std::memory_order_acquire) || Readable() >= size; }

    // Empties the ring for a new play. Call only while neither side is using it.
    void Reset();

private:
    std::size_t Advance(std::byte* out, std::size_t size);

    // Left uninitialised: a play writes every byte before it is read, and the ring is
    // large enough that zeroing it would cost more than a short play does.
    std::size_t capacity_;
    std::unique_ptr<std::byte[]> buffer_;
    std::atomic<std::uint64_t> written_{0};
    std::atomic<std::uint64_t> read_{0};
    std::atomic<bool> ended_{false};

    std::mutex mutex_;
    std::condition_variable spaceFreed_;
    std::atomic<std::size_t> awaitedSpace_{0};
    bool woken_ = false;
};

} // namespace vorlo::platform
