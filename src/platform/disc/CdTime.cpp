#include "platform/disc/CdTime.h"

#include <charconv>

namespace vorlo::platform::cdtime {
namespace {

void AppendDecimal(std::string& out, std::int64_t value)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end);
}

// Two digits at least, as the platform pads every field of a colon form.
void AppendField(std::string& out, std::int64_t value)
{
    if (value >= 0 && value < 10)
        out.push_back('0');
    AppendDecimal(out, value);
}

void AppendMsf(std::string& out, std::int64_t frames)
{
    AppendField(out, frames / kFramesPerMinute);
    out.push_back(':');
    AppendField(out, frames % kFramesPerMinute / kFramesPerSecond);
    out.push_back(':');
    AppendField(out, frames % kFramesPerSecond);
}

std::uint32_t Byte(std::uint32_t raw, int index) { return (raw >> (8 * index)) & 0xFF; }

} // namespace

std::int64_t FramesToMilliseconds(std::int64_t frames) { return frames * 1000 / kFramesPerSecond + 1; }

std::int64_t MillisecondsToFrames(std::int64_t milliseconds)
{
    return ((milliseconds - 1) * kFramesPerSecond + 500) / 1000;
}

void AppendPosition(std::string& out, TimeFormat format, std::int64_t absoluteFrame, const DiscToc& toc)
{
    switch (format) {
    case TimeFormat::Tmsf: {
        const int track = toc.TrackAt(static_cast<std::int32_t>(LsnOf(absoluteFrame)));
        const std::int64_t offset = absoluteFrame - AbsoluteFrame(toc.Track(track).startLsn);
        AppendField(out, track);
        out.push_back(':');
        AppendMsf(out, offset < 0 ? 0 : offset);
        return;
    }
    case TimeFormat::Msf: AppendMsf(out, absoluteFrame); return;
    default: AppendDecimal(out, FramesToMilliseconds(absoluteFrame)); return;
    }
}

void AppendLength(std::string& out, TimeFormat format, std::int64_t frames)
{
    if (format == TimeFormat::Milliseconds)
        AppendDecimal(out, FramesToMilliseconds(frames));
    else
        AppendMsf(out, frames);
}

std::optional<std::int64_t> ParseTime(TimeFormat format, std::uint32_t raw, const DiscToc& toc)
{
    switch (format) {
    case TimeFormat::Msf:
        return std::int64_t{Byte(raw, 0)} * kFramesPerMinute + Byte(raw, 1) * kFramesPerSecond + Byte(raw, 2);
    case TimeFormat::Tmsf: {
        const int track = static_cast<int>(Byte(raw, 0));
        if (!toc.HasTrack(track))
            return std::nullopt;
        return AbsoluteFrame(toc.Track(track).startLsn) + std::int64_t{Byte(raw, 1)} * kFramesPerMinute +
               Byte(raw, 2) * kFramesPerSecond + Byte(raw, 3);
    }
    default: return MillisecondsToFrames(raw);
    }
}

const char* TimeFormatName(TimeFormat format)
{
    switch (format) {
    case TimeFormat::Milliseconds: return "milliseconds";
    case TimeFormat::Msf: return "msf";
    case TimeFormat::Tmsf: return "tmsf";
    case TimeFormat::Frames: return "frames";
    case TimeFormat::Bytes: return "bytes";
    case TimeFormat::Samples: return "samples";
    }
    return "";
}

} // namespace vorlo::platform::cdtime
