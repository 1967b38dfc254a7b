#pragma once

#include "platform/audio/SectorSource.h"
#include "platform/audio/cdio/CdioHandle.h"
#include "platform/audio/cdio/Paranoia.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <optional>

namespace vorlo::platform {

// A disc's audio sectors, read through a libcdio handle that the caller opened and whose
// table of contents it read once. The handle must outlive the source, and both belong to
// one thread at a time: the thread that owns the disc. Sectors outside the audio tracks
// are never read.
class DiscSectorSource : public SectorSource {
public:
    std::uint32_t AudioSectorsFrom(std::int32_t lsn, std::uint32_t count) override;

protected:
    DiscSectorSource(CdioHandle& disc, DiscToc toc) : disc_(disc), toc_(std::move(toc)) {}

    CdioHandle& disc_;
    const DiscToc toc_;
};

// A disc image, read directly: its bytes cannot change between reads, so verifying them
// would only cost time. An image whose files are removed or cut short while it is read
// fails its reads from then on, as a disc taken out of its drive would.
class DirectSectorSource final : public DiscSectorSource {
public:
    DirectSectorSource(CdioHandle& disc, DiscToc toc) : DiscSectorSource(disc, std::move(toc)) {}
    bool ReadSectors(std::int32_t lsn, std::uint32_t count, std::byte* out) override;
};

// A drive, read through cdparanoia, which mends jitter and retries what it cannot verify.
// Its retries are the only ones: a sector it still cannot read after kRetries comes back
// as silence, in its place, so that a scratch costs a moment of sound and not the play.
// Reads fail for good once the drive reports no disc, or once nothing has been read
// cleanly for kGiveUpAfter; the reason goes to the user (TellUser).
class ParanoiaSectorSource final : public DiscSectorSource {
public:
    static constexpr int kRetries = 5;
    static constexpr auto kGiveUpAfter = std::chrono::seconds(10);

    // `simulatedFaults` are libcdio-paranoia's drive test flags (CDDA_TEST_*: jitter,
    // underruns), which make reads meet the faults of a poor drive; 0 for none. Throws
    // CdioError when the disc cannot be read as audio. Does drive I/O.
    ParanoiaSectorSource(CdioHandle& disc, DiscToc toc, int simulatedFaults = 0);

    bool ReadSectors(std::int32_t lsn, std::uint32_t count, std::byte* out) override;

    // Sectors that came back as silence, and low-level reads that failed. Any thread.
    std::uint64_t SkippedSectors() const { return skipped_.load(std::memory_order_relaxed); }
    std::uint64_t FailedReads() const { return failedReads_.load(std::memory_order_relaxed); }

private:
    bool ReadOne(std::int32_t lsn, std::byte* out);
    // Whether the drive says it holds no disc now (a quick question, no read).
    bool DiscGone() const;
    static void OnParanoiaEvent(long sector, paranoia_cb_mode_t event);

    cdio::CdromDrive drive_;
    cdio::Paranoia paranoia_;
    std::int32_t next_ = -1;  // where cdparanoia's cursor stands, or -1 when unsure
    // Since when no sector has been read cleanly; empty while reads go well.
    std::optional<std::chrono::steady_clock::time_point> failingSince_;
    bool gaveUp_ = false;
    std::atomic<std::uint64_t> skipped_{0};
    std::atomic<std::uint64_t> failedReads_{0};
};

} // namespace vorlo::platform
