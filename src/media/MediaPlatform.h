#pragma once

#include <cstdint>
#include <string_view>

namespace vorlo::media {

// The platform's media entry points, as the rest of the program sees them. The default
// binding forwards to our own service in src/platform; tests bind a recording double,
// and a Windows build would bind winmm. All calls come from the UI thread and must
// return promptly: the service answers from state it keeps, never from drive I/O.
class MediaPlatform {
public:
    virtual ~MediaPlatform() = default;

    // Sends a command string. The reply is written NUL-terminated into reply[0..capacity)
    // and never beyond. Returns the MCI error number, 0 on success.
    virtual std::uint32_t SendString(std::string_view command, char* reply, std::uint32_t capacity) = 0;

    // The device id of an open alias, 0 when no device is open under that name.
    virtual std::uint32_t GetDeviceId(std::string_view name) = 0;

    // Sends a command message to a device. Returns the MCI error number.
    virtual std::uint32_t SendCommand(std::uint32_t deviceId, std::uint32_t message, std::uintptr_t flags,
                                      void* params) = 0;
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

// Message and flag of the door-open command message.
inline constexpr std::uint32_t kMciSet = 0x080D;
inline constexpr std::uintptr_t kMciSetDoorOpen = 0x100;

} // namespace vorlo::media
