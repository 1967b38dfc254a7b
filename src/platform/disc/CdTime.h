#pragma once

#include "platform/disc/DiscToc.h"
#include "platform/mci/MciDevice.h"

#include <cstdint>
#include <optional>
#include <string>

// The cdaudio device's time formats, as pure functions over frames (1/75 s). "Absolute"
// frames count from the start of the lead-in, so LSN 0 is absolute frame 150 (00:02:00).
namespace vorlo::platform::cdtime {

inline std::int64_t AbsoluteFrame(std::int32_t lsn) { return std::int64_t{lsn} + kLeadInFrames; }
inline std::int64_t LsnOf(std::int64_t absoluteFrame) { return absoluteFrame - kLeadInFrames; }

// Milliseconds as the platform reports them: frames * 1000 / 75 + 1, integer division.
std::int64_t FramesToMilliseconds(std::int64_t frames);
// The frame a millisecond value addresses: ((ms - 1) * 75 + 500) / 1000.
std::int64_t MillisecondsToFrames(std::int64_t milliseconds);

// Appends a position in `format`: milliseconds as a plain decimal, msf as "mm:ss:ff",
// tmsf as "tt:mm:ss:ff" relative to the start of the track that holds it.
void AppendPosition(std::string& out, TimeFormat format, std::int64_t absoluteFrame, const DiscToc& toc);
// Appends a length (a frame count): like a position, but tmsf lengths are written in msf.
void AppendLength(std::string& out, TimeFormat format, std::int64_t frames);

// The absolute frame that a command's raw time value addresses in `format`. Colon forms
// arrive packed one byte per field, lowest field first (msf: m | s << 8 | f << 16; tmsf:
// t | m << 8 | s << 16 | f << 24). Empty when a tmsf value names a track not on the disc.
std::optional<std::int64_t> ParseTime(TimeFormat format, std::uint32_t raw, const DiscToc& toc);

// The name "status ... time format" answers with.
const char* TimeFormatName(TimeFormat format);

} // namespace vorlo::platform::cdtime
