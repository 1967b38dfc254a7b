#pragma once

#include "platform/audio/AudioOutput.h"
#include "platform/audio/SectorSource.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

namespace vorlo::test {

// The sample frame a PatternSource puts at absolute frame `frame`: the frame's own number.
inline std::uint32_t PatternFrame(std::int64_t frame) { return static_cast<std::uint32_t>(frame); }

// A disc whose every frame holds its own number, with audio up to `audioEnd` and an
// optional sector that cannot be read.
class PatternSource final : public platform::SectorSource {
public:
    std::int32_t audioEnd = 1 << 20;
    std::int32_t badSector = -1;

    bool ReadSectors(std::int32_t lsn, std::uint32_t count, std::byte* out) override
    {
        if (badSector >= lsn && badSector < lsn + static_cast<std::int32_t>(count))
            return false;
        for (std::uint32_t i = 0; i < count * platform::kFramesPerSector; ++i) {
            const std::uint32_t value = PatternFrame(static_cast<std::int64_t>(lsn) * platform::kFramesPerSector + i);
            std::memcpy(out + 4 * i, &value, 4);
        }
        return true;
    }

    std::uint32_t AudioSectorsFrom(std::int32_t lsn, std::uint32_t count) override
    {
        return lsn >= audioEnd ? 0 : std::min<std::uint32_t>(count, static_cast<std::uint32_t>(audioEnd - lsn));
    }
};

// A sound device the test drives: it plays (takes from the ring) only when told, keeps
// what it took, and says heard exactly what it took.
class ManualOutput final : public platform::AudioOutput {
public:
    bool refuse = false;
    int starts = 0;
    int stops = 0;

    bool Start(platform::SampleRing& ring, platform::PlayClock& clock, EndHandler ended) override
    {
        std::lock_guard lock(mutex_);
        ++starts;
        if (refuse)
            return false;
        ring_ = &ring;
        clock_ = &clock;
        ended_ = std::move(ended);
        heard_ = 0;
        return true;
    }

    void Stop() override
    {
        std::lock_guard lock(mutex_);
        ++stops;
        ring_ = nullptr;
    }

    void DataAvailable() override {}

    // Plays up to `frames` frames, waiting up to a second for the reader to supply them.
    // Returns the frames played.
    std::vector<std::uint32_t> Play(std::int64_t frames)
    {
        std::vector<std::uint32_t> played;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
        std::lock_guard lock(mutex_);
        while (ring_ && static_cast<std::int64_t>(played.size()) < frames && std::chrono::steady_clock::now() < deadline) {
            std::uint32_t frame = 0;
            if (ring_->Read(reinterpret_cast<std::byte*>(&frame), 4) == 4)
                played.push_back(frame);
            else if (ring_->AtEnd())
                break;
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        heard_ += static_cast<std::int64_t>(played.size());
        if (clock_)
            clock_->Hold(heard_);
        return played;
    }

    // Plays everything up to the ring's end, then ends the stream as drained.
    std::vector<std::uint32_t> PlayToEnd()
    {
        std::vector<std::uint32_t> played = Play(1 << 24);
        Finish(End::Drained);
        return played;
    }

    void Finish(End end)
    {
        std::lock_guard lock(mutex_);
        if (ended_)
            ended_(end);
    }

private:
    std::mutex mutex_;
    platform::SampleRing* ring_ = nullptr;
    platform::PlayClock* clock_ = nullptr;
    EndHandler ended_;
    std::int64_t heard_ = 0;
};

// The frame numbers a PatternSource holds in [first, end).
inline std::vector<std::uint32_t> PatternFrames(std::int64_t first, std::int64_t end)
{
    std::vector<std::uint32_t> frames;
    for (std::int64_t frame = first; frame < end; ++frame)
        frames.push_back(PatternFrame(frame));
    return frames;
}

} // namespace vorlo::test
