#include "platform/cdaudio/EngineChoice.h"

namespace vorlo::platform {

// Built while no source of the library defines PlaybackEngine::Create.
std::unique_ptr<PlaybackEngine> CreateDefaultEngine() { return nullptr; }

} // namespace vorlo::platform
