#pragma once

#include "platform/disc/DiscToc.h"
#include "platform/mci/MciDevice.h"

#include <cstdint>
#include <optional>
#include <string>

namespace vorlo::platform {

// Where the cdaudio device stands at one moment. The first three have no disc to answer
// from; the last three have a TOC and a position.
enum class DeviceMode { Loading, NoDisc, DoorOpen, Stopped, Playing, Paused };

// What status answers are read from besides the TOC and the time format: a copy, taken
// with the device's lock held, that belongs to whoever took it.
struct DeviceSnapshot {
    DeviceMode mode = DeviceMode::Loading;
    std::int32_t positionLsn = 0; // heard while playing or paused, held while stopped; read only with a disc
};

struct StatusReply {
    MciError error = mcierr::kNone;
    std::string text; // empty on error
};

// Answers "status cdaudio ITEM [track N]". Pure: no locks, no threads, no I/O; any thread.
// Never throws but for std::bad_alloc. `toc` is read only in the modes that have a disc.
// Mode, ready and time format answer in every mode; media present fails while the disc
// loads (kDeviceNotReady); every other item needs a disc (kDeviceNotReady) and a track the
// TOC holds (kOutOfRange).
StatusReply AnswerStatus(StatusItem item, std::optional<std::uint32_t> track, const DiscToc& toc,
                         TimeFormat format, const DeviceSnapshot& now);

// Answers "capability cdaudio ITEM", the same in every mode. Pure, as AnswerStatus.
StatusReply AnswerCapability(CapabilityItem item);

} // namespace vorlo::platform
