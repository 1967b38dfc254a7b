#include "platform/audio/SampleRing.h"

#include <algorithm>
#include <cstring>

namespace vorlo::platform {

SampleRing::SampleRing(std::size_t capacity)
    : capacity_(capacity), buffer_(std::make_unique_for_overwrite<std::byte[]>(capacity))
{
}

std::size_t SampleRing::Writable() const
{
    return capacity_ - static_cast<std::size_t>(written_.load() - read_.load());
}

std::size_t SampleRing::Readable() const
{
    return static_cast<std::size_t>(written_.load(std::memory_order_acquire) - read_.load(std::memory_order_relaxed));
}

void SampleRing::Write(const std::byte* data, std::size_t size)
{
    const std::uint64_t at = written_.load(std::memory_order_relaxed);
    const std::size_t offset = static_cast<std::size_t>(at % capacity_);
    const std::size_t first = std::min(size, capacity_ - offset);
    std::memcpy(buffer_.get() + offset, data, first);
    std::memcpy(buffer_.get(), data + first, size - first);
    written_.store(at + size, std::memory_order_release);
}

std::size_t SampleRing::Advance(std::byte* out, std::size_t size)
{
    const std::uint64_t at = read_.load(std::memory_order_relaxed);
    const std::size_t count = std::min(size, Readable());
    if (out) {
        const std::size_t offset = static_cast<std::size_t>(at % capacity_);
        const std::size_t first = std::min(count, capacity_ - offset);
        std::memcpy(out, buffer_.get() + offset, first);
        std::memcpy(out + first, buffer_.get(), count - first);
    }
    read_.store(at + count);
    // The producer announces what it waits for before it checks the space, and this side
    // frees space before it looks, so one of the two always sees the other.
    const std::size_t awaited = awaitedSpace_.load();
    if (awaited != 0 && Writable() >= awaited) {
        std::lock_guard lock(mutex_);
        spaceFreed_.notify_one();
    }
    return count;
}

std::size_t SampleRing::Read(std::byte* out, std::size_t size) { return Advance(out, size); }

std::size_t SampleRing::Skip(std::size_t size) { return Advance(nullptr, size); }

void SampleRing::WaitForSpace(std::size_t size)
{
    std::unique_lock lock(mutex_);
    awaitedSpace_.store(size);
    spaceFreed_.wait(lock, [&] { return woken_ || Writable() >= size; });
    awaitedSpace_.store(0);
    woken_ = false;
}

void SampleRing::WakeProducer()
{
    std::lock_guard lock(mutex_);
    woken_ = true;
    spaceFreed_.notify_one();
}

void SampleRing::Reset()
{
    written_.store(0);
    read_.store(0);
    ended_.store(false);
}

} // namespace vorlo::platform
