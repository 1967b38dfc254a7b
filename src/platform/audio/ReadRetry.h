#pragma once

#include "platform/audio/SectorSource.h"

#include <atomic>
#include <cstdint>
#include <functional>

namespace vorlo::platform {

// The read-error policy for a disc: a failed read is retried a few times; a sector that
// still cannot be read is skipped (played as silence), so that a scratch costs a moment
// rather than the play. Only when a long run of sectors in a row cannot be read is the
// disc taken as unreadable there. Each retry and each skip is counted. The counts may be
// read from any thread; everything else belongs to the reader thread.
class ReadRetry {
public:
    static constexpr int kRetries = 2;
    // One second of sectors that cannot be read, in a row, ends the play.
    static constexpr std::uint32_t kMaxSkippedRun = kSectorsPerSecond;

    // Reads `count` sectors from `lsn`; true on success.
    using Reader = std::function<bool(std::int32_t lsn, std::uint32_t count, std::byte* out)>;

    // Reads the sectors with `read`, trying the whole run at once first and then, if that
    // fails, sector by sector under the policy. False once the run of unreadable sectors
    // (which carries over from one call to the next) has reached kMaxSkippedRun.
    bool Read(const Reader& read, std::int32_t lsn, std::uint32_t count, std::byte* out);

    std::uint64_t Retries() const { return retries_.load(std::memory_order_relaxed); }
    std::uint64_t Skipped() const { return skipped_.load(std::memory_order_relaxed); }
    // For reads whose retries happen below us (cdparanoia's own).
    void CountRetry() { retries_.fetch_add(1, std::memory_order_relaxed); }
    void CountSkip() { skipped_.fetch_add(1, std::memory_order_relaxed); }

private:
    bool ReadOne(const Reader& read, std::int32_t lsn, std::byte* out);

    std::uint32_t skippedRun_ = 0;
    std::atomic<std::uint64_t> retries_{0};
    std::atomic<std::uint64_t> skipped_{0};
};

} // namespace vorlo::platform
