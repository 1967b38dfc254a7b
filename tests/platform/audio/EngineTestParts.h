#pragma once

#include "platform/audio/AudioOutput.h"
#include "platform/audio/SectorSource.h"

#include <chrono>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

namespace vorlo::test {

// A disc whose every sample frame holds its own number; audio ends at `audioEnd`, and
// `badSector` cannot be read.
struct PatternSource final : platform::SectorSource {
    std::int32_t audioEnd = 1 << 20;
    std::int32_t badSector = INT32_MIN;

    bool ReadSectors(std::int32_t lsn, std::uint32_t count, std::byte* out) override
    {
        if (badSector >= lsn && badSector < lsn + static_cast<std::int32_t>(count))
            return false;
        for (std::uint32_t i = 0; i < count * platform::kFramesPerSector; ++i) {
            const auto frame = static_cast<std::uint32_t>(static_cast<std::int64_t>(lsn) * platform::kFramesPerSector + i);
            std::memcpy(out + 4 * i, &frame, 4);
        }
        return true;
    }
    std::uint32_t AudioSectorsFrom(std::int32_t lsn, std::uint32_t count) override
    {
        return lsn >= audioEnd ? 0 : std::min(count, static_cast<std::uint32_t>(audioEnd - lsn));
    }
};

inline std::vector<std::uint32_t> FrameNumbers(std::int64_t first, std::int64_t end)
{
    std::vector<std::uint32_t> frames;
    for (std::int64_t frame = first; frame < end; ++frame)
        frames.push_back(static_cast<std::uint32_t>(frame));
    return frames;
}

// A sound device the test drives: it plays (takes from the ring) only when told, and
// says heard exactly what it has played.
class ManualOutput final : public platform::AudioOutput {
public:
    bool refuse = false;
    int starts = 0;

    bool Start(platform::SampleRing& ring, platform::PlayClock& clock, EndHandler ended) override
    {
        std::lock_guard lock(mutex_);
        ++starts;
        if (refuse)
            return false;
        ring_ = &ring, clock_ = &clock, ended_ = std::move(ended), heard_ = 0;
        return true;
    }
    void Stop() override
    {
        std::lock_guard lock(mutex_);
        ring_ = nullptr;
    }
    void DataAvailable() override {}

    // Plays up to `frames` frames as the reader supplies them, or up to the ring's end;
    // returns the frame numbers played.
    std::vector<std::uint32_t> Play(std::size_t frames = 1 << 24)
    {
        std::lock_guard lock(mutex_);
        std::vector<std::uint32_t> played;
        for (int idle = 0; ring_ && played.size() < frames && !ring_->AtEnd() && idle < 1000;) {
            std::uint32_t frame = 0;
            if (ring_->Read(reinterpret_cast<std::byte*>(&frame), 4) == 4)
                played.push_back(frame), idle = 0;
            else
                ++idle, std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        heard_ += static_cast<std::int64_t>(played.size());
        clock_->Hold(heard_);
        return played;
    }
    void Finish(End end) { ended_(end); }

private:
    std::mutex mutex_;
    platform::SampleRing* ring_ = nullptr;
    platform::PlayClock* clock_ = nullptr;
    EndHandler ended_;
    std::int64_t heard_ = 0;
};

} // namespace vorlo::test
