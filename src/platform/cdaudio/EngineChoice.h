#pragma once

#include "platform/audio/PlaybackEngine.h"

#include <memory>

namespace vorlo::platform {

// The playback engine the cdaudio device plays through: PlaybackEngine::Create() once the
// sound area provides it, null before (play then fails with a hardware error).
std::unique_ptr<PlaybackEngine> CreateDefaultEngine();

} // namespace vorlo::platform
