#include "media/MediaPlatform.h"

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
    std::int32_t PlaySound(std::string_view file, std::uint32_t flags) override
    {
        return platform::sndPlaySound(std::string(file).c_str(), flags);
    }
    std::uint32_t GetWaveVolume(std::uint32_t deviceId, std::uint32_t* volume) override
    {
        return platform::waveOutGetVolume(deviceId, volume);
    }
    std::uint32_t SetWaveVolume(std::uint32_t deviceId, std::uint32_t volume) override
    {
        return platform::waveOutSetVolume(deviceId, volume);
    }
    std::uint32_t GetMidiVolume(std::uint32_t deviceId, std::uint32_t* volume) override
    {
        return platform::midiOutGetVolume(deviceId, volume);
    }
    std::uint32_t SetMidiVolume(std::uint32_t deviceId, std::uint32_t volume) override
    {
        return platform::midiOutSetVolume(deviceId, volume);
    }
    bool RemoveFile(std::string_view drivePath) override
    {
        return platform::DeleteDriveFile(std::string(drivePath).c_str());
    }
};

ServicePlatform gServicePlatform;
MediaPlatform* gBound = &gServicePlatform;

} // namespace

std::int32_t MediaPlatform::PlaySound(std::string_view, std::uint32_t) { return 0; }
platform::MmResult MediaPlatform::GetWaveVolume(std::uint32_t, std::uint32_t*) { return kMmBadDeviceId; }
platform::MmResult MediaPlatform::SetWaveVolume(std::uint32_t, std::uint32_t) { return kMmBadDeviceId; }
platform::MmResult MediaPlatform::GetMidiVolume(std::uint32_t, std::uint32_t*) { return kMmBadDeviceId; }
platform::MmResult MediaPlatform::SetMidiVolume(std::uint32_t, std::uint32_t) { return kMmBadDeviceId; }
bool MediaPlatform::RemoveFile(std::string_view) { return false; }

MediaPlatform& CurrentMediaPlatform() { return *gBound; }

ScopedMediaPlatform::ScopedMediaPlatform(MediaPlatform& platform) : previous_(gBound) { gBound = &platform; }
ScopedMediaPlatform::~ScopedMediaPlatform() { gBound = previous_; }

} // namespace vorlo::media
