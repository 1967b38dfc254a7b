#include "platform/devices/wave/Capture.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace vorlo::platform {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::chrono::milliseconds kDeliveryInterval{20};
constexpr std::uint8_t kSilence8Bit = 0x80; // unsigned 8-bit samples centre on 128

// Delivers as many frames of silence as real time has earned, every few milliseconds.
class NullCapture final : public Capture {
public:
    NullCapture(const WaveFormat& format, CaptureSink sink)
        : format_(format), sink_(std::move(sink)), thread_([this] { Run(); })
    {
    }

    ~NullCapture() override
    {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }

    bool Failed() const override { return false; }

private:
    void Run()
    {
        const Clock::time_point start = Clock::now();
        const std::uint8_t silence = format_.bitsPerSample == 8 ? kSilence8Bit : 0;
        std::int64_t delivered = 0;
        std::unique_lock lock(mutex_);
        while (!wake_.wait_for(lock, kDeliveryInterval, [this] { return stopping_; })) {
            const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start);
            const std::int64_t due = elapsed.count() * format_.samplesPerSecond / 1'000'000;
            const std::vector<std::uint8_t> frames(static_cast<std::size_t>(due - delivered) * format_.BytesPerFrame(),
                                                   silence);
            delivered = due;
            sink_(frames);
        }
    }

    const WaveFormat format_;
    const CaptureSink sink_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace

std::unique_ptr<Capture> StartNullCapture(const WaveFormat& format, CaptureSink sink)
{
    return std::make_unique<NullCapture>(format, std::move(sink));
}

} // namespace vorlo::platform
