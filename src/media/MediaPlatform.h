#pragma once

#include "platform/Mci.h"
#include "platform/Sound.h"

#include <cstdint>
#include <string_view>

namespace vorlo::media {

// The platform's media entry points, as the rest of the program sees them: one call per
// entry point of platform/Mci.h and platform/Sound.h (RemoveFile is DeleteDriveFile),
// whose comments are the contract for replies, error numbers, volume words and blocking.
// The default binding forwards to our own service; tests bind a recording double, and a
// Windows build would bind winmm. All calls come from the UI thread.
class MediaPlatform {
public:
    virtual ~MediaPlatform() = default;

    // mciSendString, without the ignored callback window.
    virtual platform::MciError SendString(std::string_view command, char* reply, std::uint32_t capacity) = 0;
    // mciGetDeviceID.
    virtual platform::MciDeviceId GetDeviceId(std::string_view name) = 0;
    // mciSendCommand; params is its second parameter.
    virtual platform::MciError SendCommand(platform::MciDeviceId deviceId, std::uint32_t message,
                                           std::uintptr_t flags, void* params) = 0;

    // The calls below have defaults that fail the way the platform fails (kMmBadDeviceId,
    // a sound not played, nothing deleted), so that a double which does not model sound
    // need not spell them out.
    virtual std::int32_t PlaySound(std::string_view file, std::uint32_t flags);
    virtual platform::MmResult GetWaveVolume(std::uint32_t deviceId, std::uint32_t* volume);
    virtual platform::MmResult SetWaveVolume(std::uint32_t deviceId, std::uint32_t volume);
    virtual platform::MmResult GetMidiVolume(std::uint32_t deviceId, std::uint32_t* volume);
    virtual platform::MmResult SetMidiVolume(std::uint32_t deviceId, std::uint32_t volume);
    virtual bool RemoveFile(std::string_view drivePath);
};

// The binding in force. It is the service binding unless a ScopedMediaPlatform overrides it.
MediaPlatform& CurrentMediaPlatform();

// Binds another platform for the lifetime of this object (tests, benchmarks).
class ScopedMediaPlatform {
public:
    explicit ScopedMediaPlatform(MediaPlatform& platform);
    ~ScopedMediaPlatform();
    ScopedMediaPlatform(const ScopedMediaPlatform&) = delete;
    ScopedMediaPlatform& operator=(const ScopedMediaPlatform&) = delete;

private:
    MediaPlatform* previous_;
};

// The entry points' own constants, for callers of this seam.
using platform::kMciSet;
using platform::kMciSetDoorOpen;
using platform::kMmBadDeviceId;
using platform::kSndSync;
using platform::kWaveMapper;

} // namespace vorlo::media
