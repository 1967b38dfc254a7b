#include "platform/audio/ReadRetry.h"

#include <cstring>

namespace vorlo::platform {

bool ReadRetry::Read(const Reader& read, std::int32_t lsn, std::uint32_t count, std::byte* out)
{
    if (read(lsn, count, out)) {
        skippedRun_ = 0;
        return true;
    }
    for (std::uint32_t i = 0; i < count; ++i) {
        if (!ReadOne(read, lsn + static_cast<std::int32_t>(i), out + i * kBytesPerSector))
            return false;
    }
    return true;
}

bool ReadRetry::ReadOne(const Reader& read, std::int32_t lsn, std::byte* out)
{
    for (int attempt = 0; attempt <= kRetries; ++attempt) {
        if (attempt > 0)
            CountRetry();
        if (read(lsn, 1, out)) {
            skippedRun_ = 0;
            return true;
        }
    }
    CountSkip();
    std::memset(out, 0, kBytesPerSector);
    return ++skippedRun_ < kMaxSkippedRun;
}

} // namespace vorlo::platform
