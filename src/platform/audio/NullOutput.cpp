#include "platform/audio/NullOutput.h"

#include "platform/audio/SectorSource.h"

#include <algorithm>

namespace vorlo::platform {

namespace {

using Clock = std::chrono::steady_clock;

// The device takes a period of samples at a time and plays it out over the period. A long
// period costs nothing in precision (the clock runs on between periods) and wakes the
// device's thread only five times a second.
constexpr int kPeriodsPerSecond = 5;

} // namespace

NullOutput::~NullOutput() { Stop(); }

bool NullOutput::Start(SampleRing& ring, PlayClock& clock, EndHandler ended)
{
    Stop();
    {
        // The reader may be calling DataAvailable already.
        std::lock_guard lock(mutex_);
        stopping_ = false;
        dataAdded_ = false;
    }
    thread_ = std::thread([this, &ring, &clock, ended = std::move(ended)] { Run(ring, clock, ended); });
    return true;
}

void NullOutput::Stop()
{
    if (!thread_.joinable())
        return;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void NullOutput::DataAvailable()
{
    {
        std::lock_guard lock(mutex_);
        dataAdded_ = true;
    }
    wake_.notify_all();
}

void NullOutput::Run(SampleRing& ring, PlayClock& clock, const EndHandler& ended)
{
    const std::int64_t rate = format_.samplesPerSecond;
    const std::size_t bytesPerFrame = format_.BytesPerFrame();
    const std::int64_t periodFrames = std::max<std::int64_t>(1, rate / kPeriodsPerSecond);
    const auto FramesToDuration = [rate](std::int64_t frames) {
        return std::chrono::duration_cast<Clock::duration>(std::chrono::nanoseconds(frames * 1'000'000'000 / rate));
    };
    std::int64_t heard = 0;
    // Frames are due at `origin` plus their playing time since `originFrames`.
    Clock::time_point origin = Clock::now();
    std::int64_t originFrames = 0;
    std::unique_lock lock(mutex_);
    bool primed = false;
    while (!stopping_) {
        if (!primed && !ring.Holds(kStartBytes)) {
            clock.Hold(heard);
            wake_.wait(lock, [this] { return stopping_ || dataAdded_; });
            dataAdded_ = false;
            origin = Clock::now();
            originFrames = heard;
            continue;
        }
        primed = true;
        const auto taken = static_cast<std::int64_t>(ring.Skip(static_cast<std::size_t>(periodFrames) * bytesPerFrame) / bytesPerFrame);
        if (taken > 0) {
            clock.Publish(heard, origin + FramesToDuration(heard - originFrames), heard + taken, true);
            heard += taken;
            wake_.wait_until(lock, origin + FramesToDuration(heard - originFrames), [this] { return stopping_; });
        } else if (ring.AtEnd()) {
            clock.Hold(heard);
            lock.unlock();
            ended(End::Drained);
            return;
        } else {
            // Starved: the clock stands still until the reader has caught up.
            primed = false;
        }
    }
}

} // namespace vorlo::platform
