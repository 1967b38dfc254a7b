#pragma once

#include "platform/disc/CdTime.h"
#include "platform/disc/DiscToc.h"
#include "platform/mci/MciDevice.h"

#include <cstdint>
#include <optional>
#include <string>

// The cdaudio device's time formats over CD time: how positions and lengths are written
// into replies and how a command's time values are read. Pure functions.
namespace vorlo::platform::cdtime {

// Appends a position in `format`: milliseconds as a plain decimal, msf as "mm:ss:ff",
// tmsf as "tt:mm:ss:ff" relative to the start of the track that holds it.
void AppendPosition(std::string& out, TimeFormat format, std::int64_t absoluteSector, const DiscToc& toc);
// Appends a length (a sector count): like a position, but tmsf lengths are written in msf.
void AppendLength(std::string& out, TimeFormat format, std::int64_t sectors);

// The absolute sector that a command's raw time value addresses in `format`. Colon forms
// arrive packed one byte per field, lowest field first (msf: m | s << 8 | f << 16; tmsf:
// t | m << 8 | s << 16 | f << 24), f counting sectors. Empty when a tmsf value names a
// track not on the disc.
std::optional<std::int64_t> ParseTime(TimeFormat format, std::uint32_t raw, const DiscToc& toc);

// The name "status ... time format" answers with.
const char* TimeFormatName(TimeFormat format);

} // namespace vorlo::platform::cdtime
