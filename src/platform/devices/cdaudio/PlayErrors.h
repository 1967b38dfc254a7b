#pragma once

#include "platform/audio/PlaybackEngine.h"
#include "platform/mci/MciErrors.h"

namespace vorlo::platform {

// What a play the engine could not start answers to a command: no sound server is a
// hardware error, as the platform reports a sound card it cannot open.
constexpr MciError MciErrorOf(PlayError error)
{
    switch (error) {
    case PlayError::None: return mcierr::kNone;
    case PlayError::NoSoundServer: return mcierr::kHardware;
    }
    return mcierr::kInternal;
}

} // namespace vorlo::platform
