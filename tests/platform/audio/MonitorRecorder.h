#pragma once

#include "platform/lib/pulse/Context.h"
#include "platform/lib/pulse/Stream.h"
#include "platform/lib/pulse/ThreadedMainloop.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace vorlo::test {

// Records the sound server's default source (in the test server, the null sink's monitor)
// as 44.1 kHz 16-bit stereo, from construction until destruction, with a small latency.
class MonitorRecorder {
public:
    static constexpr std::size_t kBytesPerFrame = 4;

    // Connects to the server PULSE_SERVER names. Throws platform::pulse::Error.
    MonitorRecorder();
    ~MonitorRecorder();

    // Everything recorded so far.
    std::vector<std::byte> Recording();
    // The index, in the recording, of the frame the source is capturing at this moment:
    // what the sink renders now. Frames before it arrive in the recording shortly.
    std::int64_t NowFrame();
    // Waits until the recording holds at least `frames` frames.
    void WaitForFrames(std::int64_t frames);

private:
    static void OnRead(pa_stream* stream, std::size_t size, void* userdata);

    platform::pulse::ThreadedMainloop loop_;
    std::unique_ptr<platform::pulse::Context> context_;
    std::unique_ptr<platform::pulse::Stream> stream_;
    std::vector<std::byte> recording_;
};

} // namespace vorlo::test
