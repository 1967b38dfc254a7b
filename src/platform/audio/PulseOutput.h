#pragma once

#include "platform/audio/AudioOutput.h"
#include "platform/lib/pulse/Connection.h"
#include "platform/lib/pulse/Stream.h"

#include <pulse/introspect.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace vorlo::platform {

// Plays through the PulseAudio server (PipeWire's pulse server too) over the process's one
// connection, bit-exactly where the sink allows it: the stream has the ring's own sample
// format and the server is asked not to remix it; at full output volume the stream volume
// is exactly 100%. When the sink runs in another format, that is said once on stderr.
//
// The output keeps one stream from construction to destruction, opened as soon as the
// server is there (and again after the server came back). Stop corks and flushes it; Start
// flushes, refills it from the ring and uncorks it. The server holds two seconds of sound
// and asks for half of it at a time, so a playing output wakes about once a second; the
// sink itself holds only a few milliseconds, so that a flush is heard at once.
//
// The clock counts only what the server reports it has played: frames taken from the
// stream, less the sink's latency, and runs on between reports only while the last report
// said the sound was moving. The server is asked often only until the sound moves (after a
// start, and after the sink ran out); then every few seconds, to follow a sink whose clock
// drifts from ours.
class PulseOutput final : public AudioOutput {
public:
    // Does not wait for the server. Throws pulse::Error when libpulse cannot start, and
    // std::invalid_argument for a format no server plays.
    explicit PulseOutput(const SoundFormat& format = SoundFormat{}, const char* streamName = "Disc audio",
                         const char* role = "music");
    ~PulseOutput() override;

    // Returns false only when no server listens at all; a server that is still being
    // reached is waited for on the event thread, and Failed ends the play if it never
    // answers.
    bool Start(SampleRing& ring, PlayClock& clock, EndHandler ended) override;
    void Stop() override;
    void DataAvailable() override;

private:
    // All of these run with the loop locked.
    void OnConnection(pulse::Connection::Event event);
    void OpenStream();
    void OnStreamState();
    void Prepare();
    void Fill();
    std::size_t WriteFromRing(std::size_t writable);
    void AskTiming();
    void DropTimingQuestion();
    void AskTimingSoon();
    void Publish(const pa_timing_info& timing);
    void FollowVolume();
    void Finish(End end);
    void CancelPending();
    void CheckSinkFormat();

    static void OnWrite(pa_stream* stream, std::size_t size, void* userdata);
    static void OnTiming(pa_stream* stream, int success, void* userdata);
    static void OnUnderflow(pa_stream* stream, void* userdata);
    static void OnDrained(pa_stream* stream, int success, void* userdata);
    static void OnSinkInfo(pa_context* context, const pa_sink_info* info, int eol, void* userdata);
    static void OnPoll(pa_mainloop_api* api, pa_time_event* event, const struct timeval* when, void* userdata);

    const std::shared_ptr<pulse::Connection> connection_;
    pulse::ThreadedMainloop& loop_;
    const std::string streamName_;
    const std::string role_;
    pa_sample_spec spec_{};
    pa_channel_map map_{};
    std::size_t bytesPerFrame_ = 0;
    std::size_t refillBytes_ = 0;
    std::size_t serverBytes_ = 0;
    int subscription_ = 0;
    std::unique_ptr<pulse::Stream> stream_;
    bool corked_ = true;
    pa_operation* drain_ = nullptr;
    pa_operation* sinkQuery_ = nullptr;
    pa_time_event* poll_ = nullptr;
    pa_operation* timing_ = nullptr;  // a timing question on its way
    unsigned timingPlay_ = 0;

    // The play; ring_ is null between plays.
    unsigned play_ = 0;  // counts Starts and Stops: a reply to an older one is stale
    SampleRing* ring_ = nullptr;
    PlayClock* clock_ = nullptr;
    EndHandler ended_;
    std::optional<std::uint64_t> startIndex_;  // the stream's read index at the play's first frame
    std::int64_t writtenBytes_ = 0;
    std::int64_t takenBytes_ = 0;  // by the server, at its last report
    std::uint32_t volumeWord_ = 0;
    bool primed_ = false;  // the ring has held kStartBytes since the play began or the sink ran out
    bool moving_ = false;  // the last report had the sink playing the play's frames
    std::chrono::steady_clock::time_point lastReport_{};
    bool finished_ = false;
};

} // namespace vorlo::platform
