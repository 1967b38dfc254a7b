#pragma once

#include "platform/devices/wave/WaveFormat.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <stdexcept>

namespace vorlo::platform {

class CaptureError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Receives captured samples in whole frames, as a WAV file of the capture's format stores
// them. Called on the capture's own thread, one call at a time.
using CaptureSink = std::function<void(std::span<const std::uint8_t>)>;

// A running capture from a sound source. It delivers to its sink until it is destroyed;
// once the destructor has returned, the sink is not called again. Any thread may destroy
// it; destruction returns promptly.
class Capture {
public:
    virtual ~Capture() = default;

    // True once the source has gone away (the sound server ended, say); nothing more comes.
    virtual bool Failed() const = 0;
};

// Starts capturing in `format` from the default source of the sound server (PULSE_SERVER,
// PULSE_SOURCE as usual), or from a null source that delivers silence in real time when
// VORLO_AUDIO is "null". Throws CaptureError when there is no server or no source.
std::unique_ptr<Capture> StartCapture(const WaveFormat& format, CaptureSink sink);

// The two sources behind StartCapture.
std::unique_ptr<Capture> StartPulseCapture(const WaveFormat& format, CaptureSink sink);
std::unique_ptr<Capture> StartNullCapture(const WaveFormat& format, CaptureSink sink);

} // namespace vorlo::platform
