#include "platform/devices/cdaudio/DiscLoader.h"

#include "platform/lib/Diagnostics.h"
#include "platform/devices/cdaudio/Retirer.h"
#include "platform/devices/cdaudio/WorkerSource.h"
#include "platform/mci/MciErrors.h"

#include <future>
#include <stdexcept>
#include <thread>

namespace vorlo::platform {
namespace {

using SteadyClock = std::chrono::steady_clock;
// How long a Play just after "open cdaudio" waits for the drive to say whether it holds a
// disc: long enough for an idle drive to answer, short enough for any command.
constexpr auto kProbeWait = std::chrono::milliseconds(10);
// While a drive spins up, it is asked again this often, for at most kSpinUpLimit.
constexpr auto kSpinUpPoll = std::chrono::milliseconds(200);
constexpr auto kSpinUpLimit = std::chrono::seconds(60);
// How often, at most, commands to a drive that is not playing look for a tray opened or
// a disc changed by hand.
constexpr auto kMediaCheckInterval = std::chrono::seconds(1);

} // namespace

DiscLoader::DiscLoader(DiscLocation location, DiscParts parts, std::mutex& lock, Listener& listener)
    : location_(std::move(location)), parts_(std::move(parts)), lock_(lock), listener_(listener)
{
}

std::string DiscLoader::AbsenceReason() const
{
    return phase_ == Phase::DoorOpen ? "the tray of " + location_.path + " is open"
                                     : "there is no audio disc in " + location_.path;
}

// Only for images, whose files answer at once; a drive is never waited for.
void DiscLoader::OnWorker(const std::function<void()>& job)
{
    std::packaged_task<void()> task(job);
    std::future<void> done = task.get_future();
    worker_->Post([&task] { task(); });
    done.get();
}

MciError DiscLoader::OpenImage(std::string& why)
{
    std::shared_ptr<DiscMedium> medium;
    DiscToc toc;
    DiscText text;
    try {
        OnWorker([&] {
            medium = parts_.openMedium(location_);
            toc = medium->ReadToc();
            text = medium->Text();
        });
        if (toc.Empty())
            throw std::runtime_error("the disc image holds no tracks: " + location_.path);
    } catch (const std::exception& failure) {
        why = failure.what();
        OnWorker([&] { medium.reset(); });
        return mcierr::kInvalidFile;
    }
    Install(std::move(medium), std::move(toc), std::move(text));
    return mcierr::kNone;
}

void DiscLoader::Install(std::shared_ptr<DiscMedium> opened, DiscToc toc, DiscText text,
                         std::shared_ptr<WorkerSource> sectors)
{
    medium_ = std::move(opened);
    text_ = std::move(text);
    resuming_.reset();
    phase_ = toc.Empty() ? Phase::NoDisc : Phase::Ready;
    if (toc.Empty())
        sectors.reset();
    else if (!sectors)
        sectors = std::make_shared<WorkerSource>(worker_, medium_, toc, !IsImage());
    listener_.DiscArrived(std::move(toc), std::move(sectors));
    probed_.notify_all();
}

// Lets go of the disc. The medium is let go of on the worker, which alone touches it.
void DiscLoader::Withdraw()
{
    listener_.DiscWithdrawn();
    text_ = {};
    GiveUpResuming();
    if (medium_)
        worker_->Post([held = std::move(medium_)] {});
    spinningUp_ = false;
}

// The drive holds no disc, or its tray is open: nothing is pending any more.
void DiscLoader::Absent(Phase why)
{
    Withdraw();
    phase_ = why;
    probed_.notify_all();
}

void DiscLoader::Lost()
{
    Withdraw();
    phase_ = Phase::NoDisc;
}

DiscLoader::Hold DiscLoader::Current(const std::weak_ptr<DiscLoader>& weak, unsigned load)
{
    Hold hold{weak.lock(), {}};
    if (!hold.loader)
        return hold;
    hold.lock = std::unique_lock(hold.loader->lock_);
    if (hold.loader->closed_ || hold.loader->generation_ != load) {
        hold.lock.unlock();
        hold.loader.reset();
    }
    return hold;
}

// Opens the drive and reads its TOC once the drive says it holds a disc and has spun up;
// the result is installed unless the device was closed or the door opened meanwhile.
void DiscLoader::LoadDrive(bool closeDoorFirst)
{
    phase_ = Phase::Loading;
    spinningUp_ = false;
    const unsigned load = ++generation_;
    worker_->Post([weak = self_, load, closeDoorFirst, location = location_, parts = parts_] {
        RunLoad(weak, load, closeDoorFirst, location, parts);
    });
}

// On the worker; takes the lock only between calls into the drive.
void DiscLoader::RunLoad(std::weak_ptr<DiscLoader> weak, unsigned load, bool closeDoorFirst, DiscLocation location,
                         DiscParts parts)
{
    if (closeDoorFirst)
        parts.moveDoor(location, false);
    DriveState state = parts.probeDrive(location);
    for (const auto giveUp = SteadyClock::now() + kSpinUpLimit;
         state == DriveState::NotReady && SteadyClock::now() < giveUp; state = parts.probeDrive(location)) {
        {
            const Hold hold = Current(weak, load);
            if (!hold.loader)
                return;
            hold.loader->spinningUp_ = true;
            hold.loader->probed_.notify_all();
        }
        std::this_thread::sleep_for(kSpinUpPoll);
    }
    if (state == DriveState::NoDisc || state == DriveState::TrayOpen || state == DriveState::NotReady) {
        if (const Hold hold = Current(weak, load); hold.loader) {
            hold.loader->lastState_ = state;
            hold.loader->Absent(state == DriveState::TrayOpen ? Phase::DoorOpen : Phase::NoDisc);
        }
        return;
    }
    std::shared_ptr<DiscMedium> opened;
    DiscToc toc;
    DiscText text;
    try {
        opened = parts.openMedium(location);
        toc = opened->ReadToc();
        text = opened->Text();
    } catch (const std::exception& failure) {
        TellUser(failure.what());
        toc = {};
    }
    if (const Hold hold = Current(weak, load); hold.loader) {
        hold.loader->lastState_ = state;
        hold.loader->Install(std::move(opened), std::move(toc), std::move(text));
    }
}

void DiscLoader::ResumeDrive(KeptDisc kept)
{
    phase_ = Phase::Loading;
    spinningUp_ = false;
    const unsigned load = ++generation_;
    worker_ = kept.worker;
    resuming_ = kept.sectors;
    // The disc goes on reading ahead where the play will start, but lets the check below
    // go first, after the sector it is reading.
    const std::int32_t start = kept.toc.StartLsn();
    worker_->Post([weak = self_, load, location = location_, parts = parts_, kept = std::move(kept)]() mutable {
        RunResume(weak, load, location, parts, std::move(kept));
    });
    resuming_->CueUp(start, std::chrono::milliseconds{0});
}

void DiscLoader::GiveUpResuming()
{
    if (resuming_)
        resuming_->Abandon();
    resuming_.reset();
}

// On the worker. A disc changed while nobody looked is read in afresh.
void DiscLoader::RunResume(std::weak_ptr<DiscLoader> weak, unsigned load, DiscLocation location, DiscParts parts,
                           KeptDisc kept)
{
    const DriveState state = parts.probeDrive(location);
    if (state == DriveState::DiscReady && !kept.medium->Changed()) {
        if (const Hold hold = Current(weak, load); hold.loader) {
            hold.loader->lastState_ = state;
            hold.loader->Install(std::move(kept.medium), std::move(kept.toc), std::move(kept.text),
                                 std::move(kept.sectors));
        }
        return;
    }
    kept = {};
    RunLoad(std::move(weak), load, false, std::move(location), std::move(parts));
}

void DiscLoader::CheckMedia()
{
    if (IsImage() || closed_ || checking_ || phase_ == Phase::Loading || listener_.TransportBusy())
        return;
    const auto now = SteadyClock::now();
    if (now - lastCheck_ < kMediaCheckInterval)
        return;
    lastCheck_ = now;
    checking_ = true;
    worker_->Post([weak = self_, check = generation_, location = location_, probe = parts_.probeDrive,
                   held = medium_] {
        const DriveState state = probe(location);
        const bool changed = held && held->Changed();
        const auto loader = weak.lock();
        if (!loader)
            return;
        std::lock_guard lock(loader->lock_);
        loader->checking_ = false;
        if (!loader->closed_ && loader->generation_ == check && !loader->listener_.TransportBusy())
            loader->Checked(state, changed);
    });
}

// What the drive said when checked, with the lock held and the check still current.
void DiscLoader::Checked(DriveState state, bool changed)
{
    const bool discIn = state == DriveState::DiscReady || state == DriveState::NotReady;
    // A disc the drive holds but that cannot be played (a data CD) is not tried again and
    // again: only a disc that has come in since the last look is.
    const bool cameIn = discIn && (lastState_ == DriveState::NoDisc || lastState_ == DriveState::TrayOpen);
    lastState_ = state;
    if (phase_ == Phase::Ready) {
        if (state == DriveState::TrayOpen || state == DriveState::NoDisc)
            Absent(state == DriveState::TrayOpen ? Phase::DoorOpen : Phase::NoDisc);
        else if (changed)
            LoadDrive(false);
    } else if (cameIn || changed) {
        LoadDrive(false);
    }
}

void DiscLoader::AwaitFirstAnswer(std::unique_lock<std::mutex>& lock)
{
    if (phase_ == Phase::Loading && !spinningUp_)
        probed_.wait_for(lock, kProbeWait, [this] { return phase_ != Phase::Loading || spinningUp_; });
}

MciError DiscLoader::OpenDoor()
{
    if (IsImage())
        return mcierr::kNone;
    Withdraw();
    phase_ = Phase::DoorOpen;
    ++generation_;
    worker_->Post([location = location_, move = parts_.moveDoor] { move(location, true); });
    return mcierr::kNone;
}

MciError DiscLoader::CloseDoor()
{
    if (!IsImage() && phase_ == Phase::DoorOpen)
        LoadDrive(true);
    return mcierr::kNone;
}

bool DiscLoader::Readable(std::int32_t firstLsn, std::int32_t endLsn)
{
    if (!IsImage() || !medium_)
        return true;
    bool readable = false;
    OnWorker([&, held = medium_] { readable = held->Readable(firstLsn, endLsn); });
    return readable;
}

void DiscLoader::Shut(DiscShelf* shelf, const DiscToc& toc)
{
    closed_ = true;
    ++generation_;
    GiveUpResuming();
    if (shelf && !IsImage() && phase_ == Phase::Ready && medium_) {
        auto sectors = std::make_shared<WorkerSource>(worker_, medium_, toc, true);
        shelf->Put({location_.path, worker_, std::move(medium_), toc, std::move(text_), std::move(sectors)});
        return;
    }
    Retirer::Instance().Run([held = std::move(medium_)]() mutable { held.reset(); });
}

} // namespace vorlo::platform
