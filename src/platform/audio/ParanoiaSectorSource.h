#pragma once

#include "platform/audio/ReadRetry.h"
#include "platform/audio/SectorSource.h"
#include "platform/audio/cdio/CdioHandle.h"
#include "platform/audio/cdio/Paranoia.h"

#include <atomic>
#include <memory>
#include <optional>
#include <string>

namespace vorlo::platform {

// Reads a disc's audio sectors through libcdio. A real drive is read through cdparanoia's
// verified reads, which mend jitter and scratches; a disc image is read directly, since
// its bytes cannot change between reads and verifying them would only cost time.
// Construction does no I/O: the disc is opened on the first read, on the reader thread,
// through a handle of the source's own. Read errors follow ReadRetry's policy. Sectors
// outside the audio tracks are never read. An image whose files are removed while it is
// read fails its reads from then on, as a disc taken out of its drive would.
class ParanoiaSectorSource final : public SectorSource {
public:
    enum class Verification {
        Automatic,  // verified on a drive, direct on an image
        Verified,   // always through cdparanoia
        Direct,     // never
    };

    // `source` names a drive node or disc image as libcdio takes it. Never throws for a source that cannot be opened: reads fail instead.
    // `simulatedFaults` are libcdio-paranoia's drive test flags (CDDA_TEST_*: jitter,
    // underruns), which make verified reads meet the faults of a poor drive; 0 for none.
    explicit ParanoiaSectorSource(std::string source, Verification verification = Verification::Automatic,
                                  int simulatedFaults = 0);
    ~ParanoiaSectorSource() override;

    bool ReadSectors(std::int32_t lsn, std::uint32_t count, std::byte* out) override;
    std::uint32_t AudioSectorsFrom(std::int32_t lsn, std::uint32_t count) override;

    // Counts of the read-error policy, readable from any thread.
    std::uint64_t Retries() const { return policy_.Retries(); }
    std::uint64_t SkippedSectors() const { return policy_.Skipped(); }

private:
    bool Open();
    bool ReadDirect(std::int32_t lsn, std::uint32_t count, std::byte* out);
    bool ReadVerified(std::int32_t lsn, std::uint32_t count, std::byte* out);
    static void OnParanoiaEvent(long sector, paranoia_cb_mode_t event);

    std::string name_;
    Verification verification_;
    int simulatedFaults_;
    bool openFailed_ = false;
    std::optional<CdioHandle> disc_;
    std::unique_ptr<cdio::CdromDrive> drive_;
    std::unique_ptr<cdio::Paranoia> paranoia_;
    DiscToc toc_;
    std::int32_t nextVerified_ = -1;
    ReadRetry policy_;
};

} // namespace vorlo::platform
