#include "platform/audio/DiscSectorSource.h"

#include "platform/lib/Diagnostics.h"
#include "platform/lib/cdio/DriveState.h"
#include "platform/lib/cdio/LibraryLock.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>

namespace vorlo::platform {

namespace {

// cdparanoia lines overlapping passes up against each other, which mends a drive's
// jitter (reads that start a few samples off), sample for sample. It can also verify each
// stretch by reading it twice, which a ripper wants; a player cannot afford it: at the 4x a
// quiet drive reads, twice over leaves too little read-ahead to cover a 3-s stall or a
// scratch. Read errors are mended below it (MendedRead) instead of by its retries.
constexpr int kParanoiaMode = PARANOIA_MODE_OVERLAP;
// cdparanoia hands out no sector before it has read a pass of at least a set length past
// it, each pass reaching back over the last. Its default pass, 1200 sectors (16 s of
// sound, meant to get past the whole cache of a ripping drive), would hold back the first
// sound for seconds at playing speed. A pass of 60 sectors hands out the first sector
// after about 0.46 s at 4x, and from then on stays ahead of the sound, at about 1.7 times
// its speed, as fast as longer passes read. Shorter passes start sooner but can fall
// behind the sound for a moment just after the start (50 sectors, on a jittery drive),
// and some read more slowly (55 sectors: 1.35 times). A pass that grew with the read-ahead
// would stop the sound for the length of its first long pass. A short pass also silences
// less good sound around a scratch (half a pass, below).
constexpr int kSectorsPerPass = 60;

// A read of several sectors that fails is tried again in two halves, once each; a half
// that fails too plays as silence. So a scratch costs at most three failed reads per
// block, two inside a long scratch, and what is silenced around it is at most half a block.
constexpr int kSplitsOfAFailedRead = 1;
// How far each pass is first told to reach back over the last; cdparanoia widens it when
// passes do not line up. Its own start, 32 sectors, would leave a short pass little new.
// Four sectors (53 ms) hold far more jitter than drives show (a few hundred samples).
constexpr int kOverlapSectors = 4;

// The source whose drive the calling thread is reading through cdparanoia. cdparanoia
// calls the drive's read function, which the source replaces, as a plain function.
thread_local ParanoiaSectorSource* tReading = nullptr;

} // namespace

DiscToc ReadDiscToc(const CdioHandle& disc)
{
    const CdioToc read = disc.ReadToc();
    DiscToc toc;
    toc.leadOutLsn = read.leadOutLsn;
    toc.tracks.reserve(read.tracks.size());
    for (const CdioToc::Track& track : read.tracks)
        toc.tracks.push_back({track.number, track.startLsn, track.audio});
    return toc;
}

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
    : DiscSectorSource(disc, std::move(toc)), drive_(disc.get()),
      paranoia_(drive_, kParanoiaMode, kSectorsPerPass, kOverlapSectors)
{
    cdrom_drive_t* drive = drive_.Get();
    drive->i_test_flags = simulatedFaults;
    // cdparanoia's interface would retry a failed read up to 30 times, shrinking it, and
    // cdparanoia would then retry whole passes over a scratch: many seconds for each bad
    // block. Failed reads are mended here instead, once (MendedRead), and cdparanoia sees
    // none.
    drive->error_retry = 0;
    driveRead_ = drive->read_audio;
    drive->read_audio = [](cdrom_drive_t*, void* out, lsn_t begin, long sectors) -> long {
        return tReading ? tReading->MendedRead(static_cast<std::byte*>(out), begin, sectors) : -1;
    };
}

bool ParanoiaSectorSource::ReadSectors(std::int32_t lsn, std::uint32_t count, std::byte* out)
{
    static const std::function<bool()> kAlwaysWanted = [] { return false; };
    return ReadSectorsUnless(lsn, count, out, kAlwaysWanted);
}

bool ParanoiaSectorSource::ReadSectorsUnless(std::int32_t lsn, std::uint32_t count, std::byte* out,
                                             const std::function<bool()>& unwanted)
{
    if (gaveUp_ || AudioSectorsFrom(lsn, count) < count)
        return false;
    abandonWhen_ = &unwanted;
    bool read = true;
    for (std::uint32_t i = 0; i < count && read; ++i) {
        const std::int32_t sector = lsn + static_cast<std::int32_t>(i);
        std::byte* to = out + i * kBytesPerSector;
        read = TakeCued(sector, to) || ReadOne(sector, to);
    }
    abandonWhen_ = nullptr;
    return read;
}

void ParanoiaSectorSource::CueUp(std::int32_t lsn, const CueStops& stops)
{
    // A cue from here already made, or stopped between two sectors, is gone on with.
    const bool goesOn = lsn == cueFrom_ && next_ == cueFrom_ + static_cast<std::int32_t>(cuedSectors_);
    if (!goesOn)
        cuedSectors_ = 0;
    cueFrom_ = lsn;
    if (gaveUp_)
        return;
    const std::uint32_t sectors = AudioSectorsFrom(lsn, kCueSectors);
    if (!cue_)
        cue_ = std::make_unique_for_overwrite<std::byte[]>(kCueSectors * kBytesPerSector);
    abandonWhen_ = &stops.wantedElsewhere;
    while (cuedSectors_ < sectors && !stops.superseded()) {
        if (!ReadOne(lsn + static_cast<std::int32_t>(cuedSectors_), cue_.get() + cuedSectors_ * kBytesPerSector))
            break;
        ++cuedSectors_;
    }
    abandonWhen_ = nullptr;
}

bool ParanoiaSectorSource::TakeCued(std::int32_t lsn, std::byte* out)
{
    if (cuedSectors_ == 0)
        return false;
    if (lsn < cueFrom_ || lsn >= cueFrom_ + static_cast<std::int32_t>(cuedSectors_)) {
        cuedSectors_ = 0;  // the play went elsewhere, or on past the cue: cdparanoia goes on from here
        return false;
    }
    std::memcpy(out, cue_.get() + static_cast<std::size_t>(lsn - cueFrom_) * kBytesPerSector, kBytesPerSector);
    return true;
}

bool ParanoiaSectorSource::ReadOne(std::int32_t lsn, std::byte* out)
{
    if (lsn != next_)
        paranoia_.Seek(lsn);
    tReading = this;
    const std::int16_t* samples = paranoia_.Read(nullptr, kRetries);
    tReading = nullptr;
    if (!samples) {
        next_ = -1;  // a pass abandoned in the middle: cdparanoia starts afresh
        return false;
    }
    next_ = lsn + 1;
    if (discGone_) {
        TellUser("the disc in " + disc_.Source() + " is gone; play stopped");
        gaveUp_ = true;
        return false;
    }
    if (badSectors_.contains(lsn)) {
        skipped_.fetch_add(1, std::memory_order_relaxed);
        const auto now = std::chrono::steady_clock::now();
        if (!failingSince_) {
            failingSince_ = now;
            failingFrom_ = lsn;
        } else if (now - *failingSince_ >= kGiveUpAfter || lsn - failingFrom_ >= kGiveUpAfterSectors) {
            TellUser("nothing could be read from the disc in " + disc_.Source() + " from sector " +
                     std::to_string(failingFrom_) + " to " + std::to_string(lsn) + "; play stopped");
            gaveUp_ = true;
            return false;
        }
    } else {
        failingSince_.reset();
    }
    std::memcpy(out, samples, kBytesPerSector);
    if constexpr (std::endian::native == std::endian::big) {
        auto* bytes = reinterpret_cast<unsigned char*>(out);
        for (std::size_t i = 0; i + 1 < kBytesPerSector; i += 2)
            std::swap(bytes[i], bytes[i + 1]);
    }
    return true;
}

long ParanoiaSectorSource::MendedRead(std::byte* out, std::int32_t begin, long sectors)
{
    if (abandonWhen_ && (*abandonWhen_)()) {
        // The one failure that makes cdparanoia drop the pass it is reading and return at
        // once, keeping nothing of it.
        errno = ENOMEDIUM;
        return -1;
    }
    if (!out) {
        // cdparanoia reads without a buffer to move the drive past its cache: not worth a
        // wait on a sector known to be bad, nor a failure if it does not read.
        for (std::int32_t lsn = begin; lsn < begin + sectors; ++lsn)
            if (badSectors_.contains(lsn))
                return sectors;
        driveRead_(drive_.Get(), nullptr, begin, sectors);
        return sectors;
    }
    // Sectors already found unreadable are silence without asking the drive again; the
    // runs between them are read.
    for (std::int32_t lsn = begin; lsn < begin + sectors;) {
        std::byte* to = out + static_cast<std::size_t>(lsn - begin) * kBytesPerSector;
        if (badSectors_.contains(lsn)) {
            std::memset(to, 0, kBytesPerSector);
            ++lsn;
            continue;
        }
        std::int32_t end = lsn + 1;
        while (end < begin + sectors && !badSectors_.contains(end))
            ++end;
        const long read = ReadOrSilence(to, lsn, end - lsn, kSplitsOfAFailedRead);
        if (read < end - lsn)
            return lsn - begin + read;  // a short read (a drive that underruns): cdparanoia copes
        lsn = end;
    }
    return sectors;
}

long ParanoiaSectorSource::ReadOrSilence(std::byte* out, std::int32_t begin, long sectors, int splits)
{
    const long read = driveRead_(drive_.Get(), out, begin, sectors);
    if (read >= 0 || discGone_)
        return std::max(read, 0L);
    if (DiscGone()) {
        discGone_ = true;
        return 0;
    }
    if (splits == 0 || sectors == 1) {
        Silence(out, begin, sectors);
        return sectors;
    }
    const long half = sectors / 2;
    if (badSectors_.contains(begin - 1)) {
        // The scratch runs into this read from before it, so its first half is all scratch
        // unless the scratch ends there, which the second half reading well tells.
        const long second = ReadOrSilence(out + static_cast<std::size_t>(half) * kBytesPerSector,
                                          begin + static_cast<std::int32_t>(half), sectors - half, splits - 1);
        Silence(out, begin, half);
        return half + second;
    }
    const long first = ReadOrSilence(out, begin, half, splits - 1);
    if (first < half)
        return first;
    return half + ReadOrSilence(out + static_cast<std::size_t>(half) * kBytesPerSector,
                                begin + static_cast<std::int32_t>(half), sectors - half, splits - 1);
}

void ParanoiaSectorSource::Silence(std::byte* out, std::int32_t begin, long sectors)
{
    for (long i = 0; i < sectors; ++i)
        badSectors_.insert(begin + static_cast<std::int32_t>(i));
    std::memset(out, 0, static_cast<std::size_t>(sectors) * kBytesPerSector);
}

bool ParanoiaSectorSource::DiscGone() const
{
    const DriveState state = QueryDriveState(disc_.Source());
    return state == DriveState::NoDisc || state == DriveState::TrayOpen;
}

} // namespace vorlo::platform
