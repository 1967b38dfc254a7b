#include "platform/audio/AudioOutput.h"
#include "platform/devices/wave/Capture.h"

// Chooses between the sound server and the null source for the wave area's recording.
namespace vorlo::platform {

std::unique_ptr<Capture> StartCapture(const WaveFormat& format, CaptureSink sink)
{
    return UseNullSound() ? StartNullCapture(format, std::move(sink)) : StartPulseCapture(format, std::move(sink));
}

} // namespace vorlo::platform
