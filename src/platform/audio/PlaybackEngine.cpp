#include "platform/audio/PlaybackEngine.h"

#include "platform/audio/StreamEngine.h"

#include <stdexcept>

namespace vorlo::platform {

namespace {

constexpr const char* kStreamName = "Disc audio";
constexpr const char* kRole = "music";

} // namespace

std::unique_ptr<PlaybackEngine> PlaybackEngine::Create()
{
    try {
        return std::make_unique<StreamEngine>(OpenAudioOutput(SoundFormat{}, kStreamName, kRole));
    } catch (const std::exception&) {
        return nullptr;  // libpulse could not even start its event thread
    }
}

} // namespace vorlo::platform
