#include "platform/devices/cdaudio/CdTimeFormats.h"

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

// "mm:ss:ff", the last field counting sectors.
void AppendMsf(std::string& out, std::int64_t sectors)
{
    AppendField(out, sectors / kSectorsPerMinute);
    out.push_back(':');
    AppendField(out, sectors % kSectorsPerMinute / kSectorsPerSecond);
    out.push_back(':');
    AppendField(out, sectors % kSectorsPerSecond);
}

std::uint32_t Byte(std::uint32_t raw, int index) { return (raw >> (8 * index)) & 0xFF; }

} // namespace

void AppendPosition(std::string& out, TimeFormat format, std::int64_t absoluteSector, const DiscToc& toc)
{
    switch (format) {
    case TimeFormat::Tmsf: {
        const int track = toc.TrackAt(static_cast<std::int32_t>(LsnOf(absoluteSector)));
        const std::int64_t offset = absoluteSector - AbsoluteSector(toc.Track(track).startLsn);
        AppendField(out, track);
        out.push_back(':');
        AppendMsf(out, offset < 0 ? 0 : offset);
        return;
    }
    case TimeFormat::Msf: AppendMsf(out, absoluteSector); return;
    default: AppendDecimal(out, SectorsToMilliseconds(absoluteSector)); return;
    }
}

void AppendLength(std::string& out, TimeFormat format, std::int64_t sectors)
{
    if (format == TimeFormat::Milliseconds)
        AppendDecimal(out, SectorsToMilliseconds(sectors));
    else
        AppendMsf(out, sectors);
}

std::optional<std::int64_t> ParseTime(TimeFormat format, std::uint32_t raw, const DiscToc& toc)
{
    switch (format) {
    case TimeFormat::Msf:
        return std::int64_t{Byte(raw, 0)} * kSectorsPerMinute + Byte(raw, 1) * kSectorsPerSecond + Byte(raw, 2);
    case TimeFormat::Tmsf: {
        const int track = static_cast<int>(Byte(raw, 0));
        if (!toc.HasTrack(track))
            return std::nullopt;
        return AbsoluteSector(toc.Track(track).startLsn) + std::int64_t{Byte(raw, 1)} * kSectorsPerMinute +
               Byte(raw, 2) * kSectorsPerSecond + Byte(raw, 3);
    }
    default: return MillisecondsToSectors(raw);
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
