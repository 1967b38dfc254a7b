#include "media/MediaPlatform.h"

#include "platform/Mci.h"

#include <string>

namespace vorlo::media {
namespace {

// Forwards to our own media service. The command is copied so that it is NUL-terminated,
// as the service's C-shaped entry point expects.
class ServicePlatform final : public MediaPlatform {
public:
    std::uint32_t SendString(std::string_view command, char* reply, std::uint32_t capacity) override
    {
        return platform::mciSendString(std::string(command).c_str(), reply, capacity, 0);
    }
    std::uint32_t GetDeviceId(std::string_view name) override
    {
        return platform::mciGetDeviceID(std::string(name).c_str());
    }
    std::uint32_t SendCommand(std::uint32_t deviceId, std::uint32_t message, std::uintptr_t flags,
                              void* params) override
    {
        return platform::mciSendCommand(deviceId, message, flags, reinterpret_cast<std::uintptr_t>(params));
    }
};

ServicePlatform gServicePlatform;
MediaPlatform* gBound = &gServicePlatform;

} // namespace

MediaPlatform& CurrentMediaPlatform() { return *gBound; }

ScopedMediaPlatform::ScopedMediaPlatform(MediaPlatform& platform) : previous_(gBound) { gBound = &platform; }
ScopedMediaPlatform::~ScopedMediaPlatform() { gBound = previous_; }

} // namespace vorlo::media
