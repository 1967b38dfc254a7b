#pragma once

#include <cstdint>

// Time on a CD, counted in sectors: 75 to the second, each one 1/75 s of sound. The
// colon forms (mm:ss:ff) name the sector in their third field, which the platform's
// formats call frames. "Absolute" sectors count from the start of the lead-in, so LSN 0
// is absolute sector 150 (00:02:00). Pure functions.
namespace vorlo::platform {

inline constexpr int kSectorsPerSecond = 75;
inline constexpr int kSectorsPerMinute = 60 * kSectorsPerSecond;
// Absolute disc addresses count the 2-second lead-in that precedes LSN 0.
inline constexpr std::int32_t kLeadInSectors = 2 * kSectorsPerSecond;

namespace cdtime {

inline std::int64_t AbsoluteSector(std::int32_t lsn) { return std::int64_t{lsn} + kLeadInSectors; }
inline std::int64_t LsnOf(std::int64_t absoluteSector) { return absoluteSector - kLeadInSectors; }

// Milliseconds as the platform reports them: sectors * 1000 / 75 + 1, integer division.
std::int64_t SectorsToMilliseconds(std::int64_t sectors);
// The sector a millisecond value addresses: ((ms - 1) * 75 + 500) / 1000.
std::int64_t MillisecondsToSectors(std::int64_t milliseconds);

} // namespace cdtime
} // namespace vorlo::platform
