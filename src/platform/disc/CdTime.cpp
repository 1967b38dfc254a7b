#include "platform/disc/CdTime.h"

namespace vorlo::platform::cdtime {

std::int64_t SectorsToMilliseconds(std::int64_t sectors) { return sectors * 1000 / kSectorsPerSecond + 1; }

std::int64_t MillisecondsToSectors(std::int64_t milliseconds)
{
    return ((milliseconds - 1) * kSectorsPerSecond + 500) / 1000;
}

} // namespace vorlo::platform::cdtime
