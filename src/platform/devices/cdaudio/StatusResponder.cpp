#include "platform/devices/cdaudio/StatusResponder.h"

#include "platform/devices/cdaudio/CdTimeFormats.h"
#include "platform/mci/MciErrors.h"

#include <charconv>

namespace vorlo::platform {
namespace {

const char* Bool(bool value) { return value ? "true" : "false"; }

std::string Number(std::int64_t value)
{
    char digits[24];
    return {digits, std::to_chars(digits, digits + sizeof digits, value).ptr};
}

bool HasDisc(DeviceMode mode)
{
    return mode == DeviceMode::Stopped || mode == DeviceMode::Playing || mode == DeviceMode::Paused;
}

const char* ModeName(DeviceMode mode)
{
    switch (mode) {
    case DeviceMode::Loading:
    case DeviceMode::NoDisc: return "not ready";
    case DeviceMode::DoorOpen: return "open";
    case DeviceMode::Playing: return "playing";
    case DeviceMode::Paused: return "paused";
    case DeviceMode::Stopped: break;
    }
    return "stopped";
}

StatusReply Answer(std::string text) { return {mcierr::kNone, std::move(text)}; }
StatusReply Refuse(MciError error) { return {error, {}}; }

// The items that need the disc's TOC, for a disc that is there and a track it holds.
StatusReply AnswerFromToc(StatusItem item, std::optional<int> track, const DiscToc& toc, TimeFormat format,
                          std::int32_t positionLsn)
{
    std::string text;
    switch (item) {
    case StatusItem::Length: {
        // The last sector before the lead-out is not counted, on the disc nor in its last track.
        std::int64_t sectors = toc.leadOutLsn - toc.tracks.front().startLsn - 1;
        if (track)
            sectors = toc.EndOf(*track) - toc.Track(*track).startLsn - (*track == toc.LastTrack() ? 1 : 0);
        cdtime::AppendLength(text, format, sectors);
        return Answer(std::move(text));
    }
    case StatusItem::Position:
    case StatusItem::StartPosition: {
        std::int32_t lsn = positionLsn;
        if (item == StatusItem::StartPosition)
            lsn = toc.tracks.front().startLsn;
        else if (track)
            lsn = toc.Track(*track).startLsn;
        cdtime::AppendPosition(text, format, cdtime::AbsoluteSector(lsn), toc);
        return Answer(std::move(text));
    }
    case StatusItem::CurrentTrack: return Answer(Number(toc.TrackAt(positionLsn)));
    case StatusItem::NumberOfTracks: return Answer(Number(toc.LastTrack() - toc.FirstTrack() + 1));
    case StatusItem::TypeTrack:
        if (!track) // the parser always gives one
            return Refuse(mcierr::kOutOfRange);
        return Answer(toc.Track(*track).audio ? "audio" : "other");
    default: return Refuse(mcierr::kUnsupportedFunction);
    }
}

} // namespace

StatusReply AnswerStatus(StatusItem item, std::optional<std::uint32_t> track, const DiscToc& toc,
                         TimeFormat format, const DeviceSnapshot& now)
{
    switch (item) {
    case StatusItem::Mode: return Answer(ModeName(now.mode));
    case StatusItem::Ready: return Answer(Bool(HasDisc(now.mode)));
    case StatusItem::TimeFormat: return Answer(cdtime::TimeFormatName(format));
    case StatusItem::MediaPresent:
        if (now.mode == DeviceMode::Loading)
            return Refuse(mcierr::kDeviceNotReady);
        return Answer(Bool(HasDisc(now.mode)));
    default: break;
    }
    if (!HasDisc(now.mode))
        return Refuse(mcierr::kDeviceNotReady);
    if (track && !toc.HasTrack(*track))
        return Refuse(mcierr::kOutOfRange);
    return AnswerFromToc(item, track ? std::optional<int>(static_cast<int>(*track)) : std::nullopt, toc, format,
                         now.positionLsn);
}

StatusReply AnswerCapability(CapabilityItem item)
{
    switch (item) {
    case CapabilityItem::CanEject:
    case CapabilityItem::CanPlay:
    case CapabilityItem::HasAudio: return Answer(Bool(true));
    case CapabilityItem::DeviceType: return Answer("cdaudio");
    default: return Answer(Bool(false));
    }
}

} // namespace vorlo::platform
