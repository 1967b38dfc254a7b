#pragma once

#include "platform/audio/AudioOutput.h"

#include <condition_variable>
#include <mutex>
#include <thread>

namespace vorlo::platform {

// A sound device that plays into nothing but keeps real time: it takes samples from the
// ring at the real rate and reports them heard as the time passes, like a sound card with
// no latency. Selected by VORLO_AUDIO=null, where sound is beside the point.
class NullOutput final : public AudioOutput {
public:
    explicit NullOutput(const SoundFormat& format = SoundFormat{}) : format_(format) {}
    ~NullOutput() override;

    bool Start(SampleRing& ring, PlayClock& clock, EndHandler ended) override;
    void Stop() override;
    void DataAvailable() override;

private:
    void Run(SampleRing& ring, PlayClock& clock, const EndHandler& ended);

    const SoundFormat format_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    bool dataAdded_ = false;
    std::thread thread_;
};

} // namespace vorlo::platform
