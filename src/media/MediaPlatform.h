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

    // The sound calls below have defaults that fail the way the platform fails, so that a
    // double which does not model sound need not spell them out.

    // Plays a WAV file named by a drive path ("c:\x.wav"). With flags 0 it returns when the
    // sound has finished. Returns nonzero on success, 0 on any failure. Blocks the caller.
    virtual std::int32_t PlaySound(std::string_view file, std::uint32_t flags);

    // Read and write a device's volume word (left channel in the low 16 bits, right in the
    // high 16 bits, 0 silence, 0xFFFF full). A failed read leaves *volume untouched.
    // Each returns 0 on success, otherwise a nonzero error number.
    virtual std::uint32_t GetWaveVolume(std::uint32_t deviceId, std::uint32_t* volume);
    virtual std::uint32_t SetWaveVolume(std::uint32_t deviceId, std::uint32_t volume);
    virtual std::uint32_t GetMidiVolume(std::uint32_t deviceId, std::uint32_t* volume);
    virtual std::uint32_t SetMidiVolume(std::uint32_t deviceId, std::uint32_t volume);

    // Deletes the file that a drive path names. False when nothing was deleted (no such
    // file, a refused path, no permission).
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

// Message and flag of the door-open command message.
inline constexpr std::uint32_t kMciSet = 0x080D;
inline constexpr std::uintptr_t kMciSetDoorOpen = 0x100;

// Device id of the wave mapper, the default wave output; flags of a synchronous PlaySound;
// the error number of a sound call made on a device that does not exist.
inline constexpr std::uint32_t kWaveMapper = 0xFFFFFFFFu;
inline constexpr std::uint32_t kPlaySoundSync = 0;
inline constexpr std::uint32_t kBadDeviceId = 2;

} // namespace vorlo::media
