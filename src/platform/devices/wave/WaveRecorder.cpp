#include "platform/devices/wave/WaveRecorder.h"

#include <algorithm>

namespace vorlo::platform {

void WaveRecorder::Record()
{
    if (IsRecording())
        return;
    capture_.reset();
    capture_ = StartCapture(format_, [this](std::span<const std::uint8_t> bytes) { Append(bytes); });
}

void WaveRecorder::Stop()
{
    capture_.reset();
}

bool WaveRecorder::IsRecording() const
{
    return capture_ && !capture_->Failed();
}

std::size_t WaveRecorder::RecordedBytes() const
{
    std::lock_guard lock(mutex_);
    return samples_.size();
}

std::vector<std::uint8_t> WaveRecorder::Samples() const
{
    std::lock_guard lock(mutex_);
    const std::size_t whole = samples_.size() - samples_.size() % format_.BytesPerFrame();
    return {samples_.begin(), samples_.begin() + static_cast<std::ptrdiff_t>(whole)};
}

void WaveRecorder::Append(std::span<const std::uint8_t> bytes)
{
    std::lock_guard lock(mutex_);
    const std::size_t room = kMaxBytes - std::min(kMaxBytes, samples_.size());
    const std::size_t kept = std::min(room, bytes.size());
    samples_.insert(samples_.end(), bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(kept));
}

} // namespace vorlo::platform
