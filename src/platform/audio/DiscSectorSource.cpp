#include "platform/audio/DiscSectorSource.h"

#include "platform/Diagnostics.h"
#include "platform/audio/cdio/DriveState.h"
#include "platform/audio/cdio/LibraryLock.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace vorlo::platform {

namespace {

// Full verification; a sector that cannot be verified is skipped (played as silence)
// rather than retried for ever, as the play must go on.
constexpr int kParanoiaMode = PARANOIA_MODE_FULL ^ PARANOIA_MODE_NEVERSKIP;

// What cdparanoia reported while reading the current sector. Its reports come through a
// plain function, on the thread that reads.
struct SectorEvents {
    bool skipped = false;
    int failedReads = 0;
};
thread_local SectorEvents* tEvents = nullptr;

} // namespace

std::uint32_t DiscSectorSource::AudioSectorsFrom(std::int32_t lsn, std::uint32_t count)
{
    return toc_.AudioSectorsFrom(lsn, count);
}

bool DirectSectorSource::ReadSectors(std::int32_t lsn, std::uint32_t count, std::byte* out)
{
    if (AudioSectorsFrom(lsn, count) < count || !disc_.FilesPresent())
        return false;
    const cdio::LibraryLock lock(cdio::LibraryMutex());
    return cdio_read_audio_sectors(disc_.get(), out, lsn, count) == DRIVER_OP_SUCCESS;
}

ParanoiaSectorSource::ParanoiaSectorSource(CdioHandle& disc, DiscToc toc, int simulatedFaults)
    : DiscSectorSource(disc, std::move(toc)), drive_(disc.get()), paranoia_(drive_, kParanoiaMode)
{
    drive_.Get()->i_test_flags = simulatedFaults;
}

bool ParanoiaSectorSource::ReadSectors(std::int32_t lsn, std::uint32_t count, std::byte* out)
{
    if (gaveUp_ || AudioSectorsFrom(lsn, count) < count)
        return false;
    for (std::uint32_t i = 0; i < count; ++i)
        if (!ReadOne(lsn + static_cast<std::int32_t>(i), out + i * kBytesPerSector))
            return false;
    return true;
}

bool ParanoiaSectorSource::ReadOne(std::int32_t lsn, std::byte* out)
{
    if (lsn != next_)
        paranoia_.Seek(lsn);
    SectorEvents events;
    tEvents = &events;
    const std::int16_t* samples = paranoia_.Read(OnParanoiaEvent, kRetries);
    tEvents = nullptr;
    failedReads_.fetch_add(static_cast<std::uint64_t>(events.failedReads), std::memory_order_relaxed);
    next_ = samples ? lsn + 1 : -1;

    const bool lost = !samples || events.skipped;
    if ((lost || events.failedReads > 0) && !failingSince_ && DiscGone()) {
        TellUser("the disc in " + disc_.Source() + " is gone; play stopped");
        gaveUp_ = true;
        return false;
    }
    const auto now = std::chrono::steady_clock::now();
    if (!lost) {
        failingSince_.reset();
    } else if (!failingSince_) {
        failingSince_ = now;
    } else if (now - *failingSince_ >= kGiveUpAfter) {
        TellUser("nothing could be read from the disc in " + disc_.Source() + " for " +
                 std::to_string(std::chrono::duration_cast<std::chrono::seconds>(kGiveUpAfter).count()) +
                 " s, up to sector " + std::to_string(lsn) + "; play stopped");
        gaveUp_ = true;
        return false;
    }
    if (!samples) {
        std::memset(out, 0, kBytesPerSector);
        skipped_.fetch_add(1, std::memory_order_relaxed);
        return true;
    }
    if (events.skipped)
        skipped_.fetch_add(1, std::memory_order_relaxed);
    std::memcpy(out, samples, kBytesPerSector);
    if constexpr (std::endian::native == std::endian::big) {
        auto* bytes = reinterpret_cast<unsigned char*>(out);
        for (std::size_t i = 0; i + 1 < kBytesPerSector; i += 2)
            std::swap(bytes[i], bytes[i + 1]);
    }
    return true;
}

bool ParanoiaSectorSource::DiscGone() const
{
    const DriveState state = QueryDriveState(disc_.Source());
    return state == DriveState::NoDisc || state == DriveState::TrayOpen;
}

void ParanoiaSectorSource::OnParanoiaEvent(long, paranoia_cb_mode_t event)
{
    if (!tEvents)
        return;
    if (event == PARANOIA_CB_READERR)
        ++tEvents->failedReads;
    else if (event == PARANOIA_CB_SKIP)
        tEvents->skipped = true;
}

} // namespace vorlo::platform
