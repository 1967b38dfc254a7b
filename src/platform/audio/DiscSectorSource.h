#pragma once

#include "platform/audio/SectorSource.h"
#include "platform/disc/DiscToc.h"
#include "platform/lib/cdio/CdioHandle.h"
#include "platform/lib/cdio/Paranoia.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <set>

namespace vorlo::platform {

// The table of contents of the disc behind `disc`, as the sources below read against it;
// empty when a drive holds no disc. Throws CdioError for tracks libcdio cannot place.
DiscToc ReadDiscToc(const CdioHandle& disc);

// When a cue gives way. Each is asked on the disc's thread, often.
struct CueStops {
    // Something newer waits for the drive: the cue stops after the sector it is reading.
    std::function<bool()> superseded;
    // What waits is not a play going on from the cue: the pass being read is dropped.
    std::function<bool()> wantedElsewhere;
};

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

// A drive, read through cdparanoia, which mends jitter by lining overlapping reads up.
// A read that fails is mended below cdparanoia, once: a sector that still cannot be read plays as silence, in its place, and
// is never asked for again, so that a scratch costs a moment of sound and not the play.
// Reads fail for good once the drive reports no disc, or once nothing has been read for
// kGiveUpAfter (of the clock, or of the disc's sound); the reason goes to the user.
class ParanoiaSectorSource final : public DiscSectorSource {
public:
    // cdparanoia's own retries of a pass that does not line up.
    static constexpr int kRetries = 5;
    static constexpr auto kGiveUpAfter = std::chrono::seconds(10);
    static constexpr std::int32_t kGiveUpAfterSectors = 10 * kSectorsPerSecond;
    // A second of sound: cdparanoia reads on from there faster than it plays.
    static constexpr std::uint32_t kCueSectors = kSectorsPerSecond;

    // `simulatedFaults` are libcdio-paranoia's drive test flags (CDDA_TEST_*: jitter,
    // underruns), which make reads meet the faults of a poor drive; 0 for none. Throws
    // when the disc cannot be read as audio. Does drive I/O.
    ParanoiaSectorSource(CdioHandle& disc, DiscToc toc, int simulatedFaults = 0);

    bool ReadSectors(std::int32_t lsn, std::uint32_t count, std::byte* out) override;
    // Reads as ReadSectors does until `unwanted` says the sectors are no longer wanted;
    // then drops the pass being read within one drive read, and fails.
    bool ReadSectorsUnless(std::int32_t lsn, std::uint32_t count, std::byte* out, const std::function<bool()>& unwanted);

    // Reads up to kCueSectors from `lsn` ahead of a play expected to start there, until
    // `stops` say that something else waits for the drive. cdparanoia needs about 0.46 s
    // at 4x before it hands out a first sector; a play that starts where the cue does
    // takes the cued sectors at once and goes on reading where the cue stopped, so it is
    // heard at once. A read anywhere else drops the cue; when one waits, the cue stops
    // within one drive read. Does drive I/O.
    void CueUp(std::int32_t lsn, const CueStops& stops);

    // Sectors that played as silence. Any thread.
    std::uint64_t SkippedSectors() const { return skipped_.load(std::memory_order_relaxed); }

    // The drive read under cdparanoia: `sectors` from `begin`, with unreadable ones as
    // silence. Returns how many it delivered.
    long MendedRead(std::byte* out, std::int32_t begin, long sectors);

private:
    bool ReadOne(std::int32_t lsn, std::byte* out);
    // Copies sector `lsn` from the cue if it holds it; otherwise drops the cue.
    bool TakeCued(std::int32_t lsn, std::byte* out);
    long ReadOrSilence(std::byte* out, std::int32_t begin, long sectors, int splits);
    // Plays `sectors` from `begin` as silence, now and whenever they are asked for again.
    void Silence(std::byte* out, std::int32_t begin, long sectors);
    // Whether the drive says it holds no disc now (a quick question, no read).
    bool DiscGone() const;

    cdio::CdromDrive drive_;
    cdio::Paranoia paranoia_;
    long (*driveRead_)(cdrom_drive_t*, void*, lsn_t, long) = nullptr;
    std::set<std::int32_t> badSectors_;
    std::int32_t next_ = -1;      // where cdparanoia's cursor stands
    std::unique_ptr<std::byte[]> cue_;  // kCueSectors, once a cue was asked for
    std::int32_t cueFrom_ = 0;
    std::uint32_t cuedSectors_ = 0;
    const std::function<bool()>* abandonWhen_ = nullptr;  // drops the pass being read when true
    // Since when, and from which sector, every sector has played as silence.
    std::optional<std::chrono::steady_clock::time_point> failingSince_;
    std::int32_t failingFrom_ = 0;
    bool discGone_ = false;
    bool gaveUp_ = false;
    std::atomic<std::uint64_t> skipped_{0};
};

} // namespace vorlo::platform
