#pragma once

#include "platform/Mci.h"
#include "platform/mci/MciErrors.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

// The contract between the alias table and the devices it holds. The command parser turns a
// command string into an MciRequest; the alias table finds the device under the command's
// alias and hands the request to it. A device never sees command text.
namespace vorlo::platform {

enum class MciVerb { Close, Play, Stop, Pause, Resume, Seek, Set, Status, Capability, Info, Record, Save };

// Time formats as "set ... time format" names them. Which ones a device takes is its own
// business: a device refuses the others with mcierr::kBadTimeFormat.
enum class TimeFormat { Milliseconds, Msf, Tmsf, Frames, Bytes, Samples };

enum class StatusItem {
    Length,         // optionally of one track
    Position,       // optionally the start of one track
    StartPosition,
    CurrentTrack,
    NumberOfTracks,
    Mode,
    MediaPresent,
    Ready,
    TimeFormat,
    TypeTrack,      // always with a track
};

enum class CapabilityItem { CanEject, CanPlay, CanRecord, CanSave, HasAudio, HasVideo, DeviceType, UsesFiles, CompoundDevice };

// "info ... product"; and for a disc, its CD-Text: "title" and "performer", of the disc or of "track N".
enum class InfoItem { Product, Title, Performer };

enum class SeekTarget { Position, Start, End };

// One parsed command for an open device. Only the fields of its verb are meaningful; the
// parser has already checked the grammar, so a device checks only values and state.
// Time values (from, to, seek position) are the raw 32-bit values of the command: plain
// integers, or colon forms packed one byte per field, lowest field first, as the platform
// packs them ("1:02:03" is 0x030201). The device reads them in its current time format.
struct MciRequest {
    MciVerb verb = MciVerb::Status;

    // Play, Record: both optional. Seek: `to` holds the position when seekTarget is Position.
    std::optional<std::uint32_t> from;
    std::optional<std::uint32_t> to;
    SeekTarget seekTarget = SeekTarget::Position;

    // Set: one or both.
    std::optional<TimeFormat> timeFormat;
    std::optional<bool> doorOpen;   // true for "door open", false for "door closed"

    // Status: the item, and the track for "length/position/type track N"; Info: the track
    // for "title/performer track N".
    StatusItem statusItem = StatusItem::Mode;
    std::optional<std::uint32_t> track;

    CapabilityItem capability = CapabilityItem::CanPlay;
    InfoItem info = InfoItem::Product;

    // Save: the file name exactly as written (quotes removed).
    std::string fileName;
};

// What "open" tells the device it creates.
struct MciOpenRequest {
    std::string deviceType;   // "cdaudio", "waveaudio", lower case
    std::string element;      // a file name when one was given, else empty
    bool isNew = false;       // "open new type ..."
    std::string alias;        // the name the device will be addressed by, lower case
};

// One open device behind an alias.
//
// Threads: the service calls every method with its own lock held, so calls never overlap,
// but they may come from any thread. Every method returns promptly (well under 20 ms):
// anything that waits on hardware, a sound server or a disk runs on the device's own
// threads. Nothing here throws; failures are MCI error numbers.
class MciDevice {
public:
    virtual ~MciDevice() = default;

    // Runs one command. On success writes the reply text into `reply` (which arrives empty;
    // leave it empty for commands that answer nothing) and returns 0. On failure returns a
    // nonzero MCI error number; the service then discards the reply.
    virtual MciError Execute(const MciRequest& request, std::string& reply) = 0;

    // The door-open command message (MCI_SET with MCI_SET_DOOR_OPEN). Devices without a
    // door keep the default.
    virtual MciError OpenDoor() { return mcierr::kUnsupportedFunction; }

    // Called once when the alias is closed, before the device is destroyed: stop whatever
    // runs. Closing must succeed; the destructor follows at once.
    virtual void Close() {}
};

// Makes a device for an "open" of its type. On failure returns null, sets `error` and may
// say why in `why`. Called with the service's lock held.
using MciDeviceFactory =
    std::function<std::unique_ptr<MciDevice>(const MciOpenRequest& request, MciError& error, std::string& why)>;

} // namespace vorlo::platform
