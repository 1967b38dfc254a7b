#include "platform/devices/wave/SoundOutput.h"

#include "platform/audio/AudioOutput.h"
#include "platform/audio/PlayClock.h"
#include "platform/audio/SampleRing.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>

namespace vorlo::platform {
namespace {

constexpr const char* kStreamName = "Sound";
constexpr const char* kRole = "music";
constexpr int kRingSeconds = 2;
// How long the output may go on after the last frame was due before we give up on it.
constexpr std::chrono::seconds kStallAllowance{5};

// A sound played through the process's one output path: the caller fills a ring that an
// AudioOutput, the same as the disc's, drains.
class RingSoundOutput final : public SoundOutput {
public:
    RingSoundOutput(int samplesPerSecond, int channels)
        : format_{samplesPerSecond, channels},
          ring_(static_cast<std::size_t>(samplesPerSecond) * format_.BytesPerFrame() * kRingSeconds)
    {
        try {
            output_ = OpenAudioOutput(format_, kStreamName, kRole);
        } catch (const std::exception& error) {
            throw SoundOutputError(error.what());
        }
        if (!output_->Start(ring_, clock_, [this](AudioOutput::End end) { Ended(end); }))
            throw SoundOutputError("there is no sound server");
    }

    ~RingSoundOutput() override { output_->Stop(); }

    void Write(std::span<const std::int16_t> samples) override
    {
        auto bytes = std::as_bytes(samples);
        while (!bytes.empty()) {
            ThrowIfFailed();
            const std::size_t room = ring_.Writable() / format_.BytesPerFrame() * format_.BytesPerFrame();
            if (room == 0) {
                ring_.WaitForSpace(std::min(bytes.size(), ring_.Capacity() / 2));
                continue;
            }
            const std::size_t chunk = std::min(room, bytes.size());
            ring_.Write(bytes.data(), chunk);
            bytes = bytes.subspan(chunk);
            frames_ += static_cast<std::int64_t>(chunk / format_.BytesPerFrame());
            output_->DataAvailable();
        }
    }

    void Drain() override
    {
        ring_.MarkEnd();
        output_->DataAvailable();
        const auto playing = std::chrono::milliseconds(frames_ * 1000 / format_.samplesPerSecond);
        std::unique_lock lock(mutex_);
        if (!ended_.wait_for(lock, playing + kStallAllowance, [this] { return end_.has_value(); }))
            throw SoundOutputError("the sound did not finish playing");
        if (*end_ != AudioOutput::End::Drained)
            throw SoundOutputError("the sound server went away");
    }

private:
    void Ended(AudioOutput::End end)
    {
        {
            std::lock_guard lock(mutex_);
            end_ = end;
        }
        ended_.notify_all();
        ring_.WakeProducer();
    }

    void ThrowIfFailed()
    {
        std::lock_guard lock(mutex_);
        if (end_ == AudioOutput::End::Failed)
            throw SoundOutputError("the sound server stopped taking the sound");
    }

    const SoundFormat format_;
    SampleRing ring_;
    PlayClock clock_;
    std::int64_t frames_ = 0;
    std::mutex mutex_;
    std::condition_variable ended_;
    std::optional<AudioOutput::End> end_;
    std::unique_ptr<AudioOutput> output_;  // last: it stops before the ring goes
};

} // namespace

std::unique_ptr<SoundOutput> OpenSoundOutput(int samplesPerSecond, int channels)
{
    if (samplesPerSecond <= 0 || channels <= 0)
        throw SoundOutputError("no such sound format");
    return std::make_unique<RingSoundOutput>(samplesPerSecond, channels);
}

} // namespace vorlo::platform
