#include "platform/wave/SoundOutput.h"

#include <chrono>
#include <thread>

namespace vorlo::platform {
namespace {

using Clock = std::chrono::steady_clock;

// Hears nothing, but takes as long as the sound lasts: a write returns when the frames
// before it would have been heard, and draining when all of them would.
class NullSoundOutput final : public SoundOutput {
public:
    NullSoundOutput(int samplesPerSecond, int channels) : rate_(samplesPerSecond), channels_(channels) {}

    void Write(std::span<const std::int16_t> samples) override
    {
        std::this_thread::sleep_until(HeardBy(frames_));
        frames_ += static_cast<std::int64_t>(samples.size()) / channels_;
    }

    void Drain() override { std::this_thread::sleep_until(HeardBy(frames_)); }

private:
    Clock::time_point HeardBy(std::int64_t frames) const
    {
        return start_ + std::chrono::microseconds(frames * 1'000'000 / rate_);
    }

    const int rate_;
    const int channels_;
    const Clock::time_point start_ = Clock::now();
    std::int64_t frames_ = 0;
};

} // namespace

std::unique_ptr<SoundOutput> OpenNullSoundOutput(int samplesPerSecond, int channels)
{
    if (samplesPerSecond <= 0 || channels <= 0)
        throw SoundOutputError("no such sound format");
    return std::make_unique<NullSoundOutput>(samplesPerSecond, channels);
}

} // namespace vorlo::platform
