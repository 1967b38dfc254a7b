#pragma once

#include "platform/mci/MciDevice.h"

#include <memory>
#include <string>

namespace vorlo::platform {

// The waveaudio device for "open new type waveaudio alias X" (recording), through the
// default source. On failure returns null and sets `error`; it has nothing to add in `why`.
// An MciDeviceFactory.
std::unique_ptr<MciDevice> CreateWaveAudioDevice(const MciOpenRequest& request, MciError& error, std::string& why);

} // namespace vorlo::platform
