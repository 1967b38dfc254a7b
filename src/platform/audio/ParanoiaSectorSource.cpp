#include "platform/audio/ParanoiaSectorSource.h"

#include "platform/audio/cdio/LibraryLock.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <stdexcept>

namespace vorlo::platform {

namespace {

// Full verification, but a sector that cannot be verified is skipped rather than retried
// for ever: the play must go on.
constexpr int kParanoiaMode = PARANOIA_MODE_FULL ^ PARANOIA_MODE_NEVERSKIP;
constexpr int kParanoiaRetries = 5;

// cdparanoia reports trouble through a plain function; the policy of the thread that
// reads takes the counts.
thread_local ReadRetry* tCounting = nullptr;

} // namespace

ParanoiaSectorSource::ParanoiaSectorSource(std::string source, Verification verification, int simulatedFaults)
    : name_(std::move(source)), verification_(verification), simulatedFaults_(simulatedFaults)
{
}

// Members go in reverse order: cdparanoia, then its drive, then the handle under both.
ParanoiaSectorSource::~ParanoiaSectorSource() = default;

bool ParanoiaSectorSource::Open()
{
    if (disc_)
        return true;
    if (openFailed_)
        return false;
    try {
        CdioHandle disc = CdioHandle::OpenImage(name_);
        toc_ = disc.ReadToc();
        const bool verify = verification_ == Verification::Verified ||
                            (verification_ == Verification::Automatic && !disc.IsImage());
        if (verify) {
            drive_ = std::make_unique<cdio::CdromDrive>(disc.get());
            drive_->Get()->i_test_flags = simulatedFaults_;
            paranoia_ = std::make_unique<cdio::Paranoia>(*drive_, kParanoiaMode);
        }
        disc_ = std::move(disc);
        return true;
    } catch (const std::runtime_error&) {
        paranoia_.reset();
        drive_.reset();
        openFailed_ = true;
        return false;
    }
}

std::uint32_t ParanoiaSectorSource::AudioSectorsFrom(std::int32_t lsn, std::uint32_t count)
{
    if (!Open())
        return 0;
    // Adjacent audio tracks make one run, up to a data track or the lead-out.
    if (toc_.Empty() || lsn < toc_.tracks.front().startLsn || lsn >= toc_.leadOutLsn ||
        !toc_.Track(toc_.TrackAt(lsn)).audio)
        return 0;
    return static_cast<std::uint32_t>(std::min<std::int64_t>(count, toc_.AudioEndAfter(lsn) - lsn));
}

bool ParanoiaSectorSource::ReadSectors(std::int32_t lsn, std::uint32_t count, std::byte* out)
{
    if (AudioSectorsFrom(lsn, count) < count)
        return false;
    if (!disc_->FilesPresent())
        return false;
    if (paranoia_)
        return ReadVerified(lsn, count, out);
    return policy_.Read([this](std::int32_t at, std::uint32_t n, std::byte* to) { return ReadDirect(at, n, to); },
                        lsn, count, out);
}

bool ParanoiaSectorSource::ReadDirect(std::int32_t lsn, std::uint32_t count, std::byte* out)
{
    const cdio::LibraryLock lock(cdio::LibraryMutex());
    return cdio_read_audio_sectors(disc_->get(), out, lsn, count) == DRIVER_OP_SUCCESS;
}

bool ParanoiaSectorSource::ReadVerified(std::int32_t lsn, std::uint32_t count, std::byte* out)
{
    tCounting = &policy_;
    const auto readOne = [this](std::int32_t at, std::uint32_t, std::byte* to) {
        if (at != nextVerified_)
            paranoia_->Seek(at);
        const std::int16_t* samples = paranoia_->Read(OnParanoiaEvent, kParanoiaRetries);
        // After a failure cdparanoia's own position is uncertain: seek again next time.
        nextVerified_ = samples ? at + 1 : -1;
        if (!samples)
            return false;
        std::memcpy(to, samples, kBytesPerSector);
        if constexpr (std::endian::native == std::endian::big) {
            auto* bytes = reinterpret_cast<unsigned char*>(to);
            for (std::size_t i = 0; i + 1 < kBytesPerSector; i += 2)
                std::swap(bytes[i], bytes[i + 1]);
        }
        return true;
    };
    // cdparanoia reads one sector at a time; the policy sees each on its own.
    for (std::uint32_t i = 0; i < count; ++i) {
        const auto at = lsn + static_cast<std::int32_t>(i);
        if (!policy_.Read(readOne, at, 1, out + i * kBytesPerSector)) {
            tCounting = nullptr;
            return false;
        }
    }
    tCounting = nullptr;
    return true;
}

void ParanoiaSectorSource::OnParanoiaEvent(long, paranoia_cb_mode_t event)
{
    if (!tCounting)
        return;
    if (event == PARANOIA_CB_READERR)
        tCounting->CountRetry();
    else if (event == PARANOIA_CB_SKIP)
        tCounting->CountSkip();
}

} // namespace vorlo::platform
