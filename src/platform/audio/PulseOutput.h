#pragma once

#include "platform/audio/AudioOutput.h"
#include "platform/audio/pulse/Context.h"
#include "platform/audio/pulse/Stream.h"
#include "platform/audio/pulse/ThreadedMainloop.h"

#include <atomic>
#include <cstdint>
#include <memory>

namespace vorlo::platform {

// Plays through the PulseAudio server (PipeWire's pulse server too) that the environment
// names, bit-exactly: the stream has the disc's own sample format and the server is asked
// not to convert it; at full output volume the stream volume is exactly 100%. The server
// connection is made on the first Start and made again after it has been lost.
class PulseOutput final : public AudioOutput {
public:
    // Starts the event thread; does not contact a server. Throws pulse::Error.
    PulseOutput();
    ~PulseOutput() override;

    bool Start(SampleRing& ring, PlayClock& clock, EndHandler ended) override;
    void Stop() override;
    void DataAvailable() override;

private:
    // All of these run with the loop locked.
    void Connect();
    void Fill();
    void PublishClock();
    void FollowVolume();
    void Finish(End end);
    void OnStateChange();

    static void OnWrite(pa_stream* stream, std::size_t size, void* userdata);
    static void OnLatencyUpdate(pa_stream* stream, void* userdata);
    static void OnDrained(pa_stream* stream, int success, void* userdata);

    pulse::ThreadedMainloop loop_;
    std::unique_ptr<pulse::Context> context_;
    std::unique_ptr<pulse::Stream> stream_;
    pa_operation* drain_ = nullptr;

    SampleRing* ring_ = nullptr;
    PlayClock* clock_ = nullptr;
    EndHandler ended_;
    std::int64_t writtenFrames_ = 0;
    std::uint32_t volumeWord_ = 0;
    bool started_ = false;
    bool finished_ = false;
    bool primed_ = false;  // the ring has held kStartBytes since it last ran dry
};

} // namespace vorlo::platform
