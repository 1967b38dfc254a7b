#pragma once

#include "platform/devices/wave/Capture.h"
#include "platform/devices/wave/WaveFormat.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace vorlo::platform {

// The sound of one waveaudio instance: what has been recorded so far, and the capture that
// adds to it while recording. Calls may come from any thread, one at a time; samples
// arrive meanwhile on the capture's thread.
class WaveRecorder {
public:
    // The most a recording keeps; past it, recording goes on but keeps nothing more.
    static constexpr std::size_t kMaxBytes = std::size_t{1} << 30;

    explicit WaveRecorder(const WaveFormat& format) : format_(format) {}
    ~WaveRecorder() { Stop(); }

    WaveRecorder(const WaveRecorder&) = delete;
    WaveRecorder& operator=(const WaveRecorder&) = delete;

    const WaveFormat& Format() const { return format_; }

    // Starts appending captured sound to the recording, from the default source. Does
    // nothing while already recording. Throws CaptureError when no source can be had.
    void Record();
    // Ends the capture; what it delivered stays. Does nothing when not recording.
    void Stop();
    // True from Record until Stop, or until the source goes away.
    bool IsRecording() const;

    std::size_t RecordedBytes() const;
    // A copy of the recording, whole frames only.
    std::vector<std::uint8_t> Samples() const;

private:
    void Append(std::span<const std::uint8_t> bytes);

    const WaveFormat format_;
    std::unique_ptr<Capture> capture_;
    mutable std::mutex mutex_;
    std::vector<std::uint8_t> samples_;
};

} // namespace vorlo::platform
