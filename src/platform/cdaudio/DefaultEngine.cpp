#include "platform/cdaudio/EngineChoice.h"

namespace vorlo::platform {

std::unique_ptr<PlaybackEngine> CreateDefaultEngine() { return PlaybackEngine::Create(); }

} // namespace vorlo::platform
