#include "platform/audio/SectorReader.h"

#include <algorithm>

namespace vorlo::platform {

namespace {

// A chunk is at most half of what the ring holds ahead of the sound, so that even a drive
// that delivers barely faster than the sound plays (cdparanoia's verified reads at 4x)
// has a chunk in before the ring runs dry; and at least two sectors, as soon as they are
// read: the sound starts at once, and a drive that hands out sectors in bursts (cdparanoia,
// a pass at a time) does not hold back what it has for the rest of a longer chunk while the
// sink plays its last. What a chunk holds reaches the ring only when all of it is read, so a drive
// that stalls in the middle of a chunk keeps it from the sound: while the read-ahead grows,
// chunks are a second at most. Once it is long, they are a few seconds each, so that a
// playing disc wakes the reader (and the disc's thread) only every few seconds; the rest
// of the read-ahead still covers a stall of seconds in the middle of one.
constexpr std::uint32_t kFirstChunkSectors = 2;
constexpr std::uint32_t kChunkSectors = kSectorsPerSecond;
constexpr std::uint32_t kBatchSectors = 4 * kSectorsPerSecond;
constexpr std::size_t kLongReadAheadBytes = std::size_t{8} * kSectorsPerSecond * kBytesPerSector;

std::uint32_t NextChunkSectors(std::size_t readAheadBytes)
{
    if (readAheadBytes >= kLongReadAheadBytes)
        return kBatchSectors;
    return std::clamp(static_cast<std::uint32_t>(readAheadBytes / kBytesPerSector / 2), kFirstChunkSectors, kChunkSectors);
}

// The sector that holds a frame, and the first sector past a frame, rounding toward minus
// infinity: a span may begin in a pregap before LSN 0.
std::int64_t SectorOf(std::int64_t frame)
{
    const auto perSector = static_cast<std::int64_t>(kFramesPerSector);
    return frame >= 0 ? frame / perSector : -((-frame + perSector - 1) / perSector);
}
std::int64_t SectorsUpTo(std::int64_t frame) { return SectorOf(frame + kFramesPerSector - 1); }

} // namespace

SectorReader::SectorReader(SampleRing& ring)
    : ring_(ring), chunk_(std::make_unique_for_overwrite<std::byte[]>(kBatchSectors * kBytesPerSector)), thread_([this] { Run(); })
{
}

SectorReader::~SectorReader()
{
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
        ++generation_;
        job_.reset();
    }
    changed_.notify_all();
    ring_.WakeProducer();
    thread_.join();
}

// With the lock held: before the reader can take a newer job and ask the source for it.
void SectorReader::Supersede()
{
    ++generation_;
    if (reading_)
        reading_->Abandon();
}

void SectorReader::Start(Job job)
{
    {
        std::lock_guard lock(mutex_);
        Supersede();
        job_ = std::make_unique<Job>(std::move(job));
    }
    changed_.notify_all();
}

void SectorReader::Cancel()
{
    {
        std::lock_guard lock(mutex_);
        Supersede();
        job_.reset();
    }
    changed_.notify_all();
    ring_.WakeProducer();
}

bool SectorReader::Current(std::uint64_t generation)
{
    std::lock_guard lock(mutex_);
    return generation == generation_;
}

void SectorReader::Run()
{
    std::unique_lock lock(mutex_);
    while (true) {
        changed_.wait(lock, [this] { return quit_ || job_; });
        if (quit_)
            return;
        Job job = std::move(*job_);
        job_.reset();
        const std::uint64_t generation = generation_;
        reading_ = job.source;
        lock.unlock();
        ReadSpan(job, generation);
        lock.lock();
        reading_.reset();
        lock.unlock();
        job = Job{};  // the last reference to the source may go here, off the caller's thread
        lock.lock();
    }
}

void SectorReader::ReadSpan(const Job& job, std::uint64_t generation)
{
    std::int64_t next = job.firstFrame;
    std::uint32_t chunkSectors = kFirstChunkSectors;
    while (next < job.endFrame) {
        const auto lsn = static_cast<std::int32_t>(SectorOf(next));
        const auto wanted = static_cast<std::uint32_t>(std::min<std::int64_t>(chunkSectors, SectorsUpTo(job.endFrame) - lsn));
        const std::uint32_t sectors = std::min(wanted, job.source->AudioSectorsFrom(lsn, wanted));
        if (sectors == 0)
            break;  // a data track or the end of the disc: the span's sound ends here
        const std::int64_t chunkEnd = std::min<std::int64_t>((lsn + sectors) * static_cast<std::int64_t>(kFramesPerSector), job.endFrame);
        const std::int64_t skip = (next - lsn * static_cast<std::int64_t>(kFramesPerSector)) * static_cast<std::int64_t>(kBytesPerFrame);
        const auto size = static_cast<std::size_t>(chunkEnd - next) * kBytesPerFrame;
        chunkSectors = NextChunkSectors(ring_.Readable());

        while (ring_.Writable() < size) {
            if (!Current(generation))
                return;
            ring_.WaitForSpace(size);
        }
        const bool read = job.source->ReadSectors(lsn, sectors, chunk_.get());

        std::unique_lock lock(mutex_);
        if (generation != generation_)
            return;
        if (read)
            ring_.Write(chunk_.get() + skip, size);
        const bool last = !read || chunkEnd >= job.endFrame;
        if (last)
            ring_.MarkEnd();
        lock.unlock();
        if (job.dataAdded)
            job.dataAdded();
        if (last)
            return;
        next = chunkEnd;
    }
    // Nothing (more) to read: the output finds the end once it has played what there is.
    std::unique_lock lock(mutex_);
    if (generation != generation_)
        return;
    ring_.MarkEnd();
    lock.unlock();
    if (job.dataAdded)
        job.dataAdded();
}

} // namespace vorlo::platform
