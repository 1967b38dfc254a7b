#pragma once

#include "platform/devices/cdaudio/DiscMedium.h"
#include "platform/devices/cdaudio/DiscShelf.h"
#include "platform/disc/DiscText.h"
#include "platform/devices/cdaudio/SerialWorker.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>

namespace vorlo::platform {

// What the cdaudio device's disc is made of, besides the engine.
struct DiscParts {
    MediumOpener openMedium;
    DoorMover moveDoor;
    DriveProbe probeDrive;
};

// Brings the cdaudio device's disc in and notices when it goes: on a drive it asks the
// drive whether it holds a disc, waits out a spin-up, opens the medium and reads its TOC,
// all on the device's worker; an image it opens at once. It moves the door, and on a drive
// that is not playing it looks now and then for a tray opened or a disc changed by hand.
//
// Threads: every public method is called with the device's lock (`lock` at construction)
// held, from a command or from the device itself. Its jobs on the worker take that lock
// before they touch its state and call the Listener with it held; they hold it over no
// drive I/O. Owns the worker and the medium, which only the worker calls into. Nothing
// throws but std::bad_alloc.
class DiscLoader {
public:
    // Where the device stands with its disc. Only Ready has a TOC.
    enum class Phase { Loading, Ready, NoDisc, DoorOpen };

    // The device's side, called with the lock held.
    class Listener {
    public:
        // A disc came in, read: `toc` has tracks (phase Ready) or is empty (phase NoDisc).
        // `sectors` reads its audio through the worker; null for an empty TOC.
        virtual void DiscArrived(DiscToc toc, std::shared_ptr<SectorSource> sectors) = 0;
        // The disc is no longer there, or the loader lets go of it: play must stop. The
        // phase has not changed yet.
        virtual void DiscWithdrawn() = 0;
        // Whether the transport plays or is paused: a drive that plays is not checked.
        virtual bool TransportBusy() const = 0;

    protected:
        ~Listener() = default;
    };

    DiscLoader(DiscLocation location, DiscParts parts, std::mutex& lock, Listener& listener);
    DiscLoader(const DiscLoader&) = delete;
    DiscLoader& operator=(const DiscLoader&) = delete;

    // The loader's jobs reach it through `self`, which must share the lifetime of whatever
    // owns the lock and the listener. Called once, before anything else.
    void Bind(std::weak_ptr<DiscLoader> self) { self_ = std::move(self); }

    // An image: opens it and reads its TOC on the worker, waiting for both, as files answer
    // at once. Returns kInvalidFile and a sentence in `why` when the image cannot be read.
    MciError OpenImage(std::string& why);
    // A drive: starts a load on the worker and returns (phase Loading).
    void LoadDrive(bool closeDoorFirst);
    // A drive whose disc a closed device left on the shelf: takes over its worker and, once
    // the worker finds the drive still holding that disc, the disc as it is; else loads
    // the drive as LoadDrive does. Returns at once (phase Loading). Before anything else.
    void ResumeDrive(KeptDisc kept);

    // At most once per check interval, while the transport is idle, looks on the worker at
    // whether a drive's tray was opened or its disc changed by hand, and follows.
    void CheckMedia();
    // Waits, for a short while only, until the drive just opened has said whether it holds
    // a disc (`lock` holds the device's lock). Returns at once unless the drive is still
    // being asked.
    void AwaitFirstAnswer(std::unique_lock<std::mutex>& lock);

    MciError OpenDoor();
    MciError CloseDoor();
    // The disc can no longer be read (an image removed or cut short since it was opened):
    // no disc from now on, as a drive whose disc was taken out.
    void Lost();
    // Whether the image's audio sectors [firstLsn, endLsn) can still be read; asked on the
    // worker, waiting for it. A drive says true: its reads fail on their own.
    bool Readable(std::int32_t firstLsn, std::int32_t endLsn);

    // Lets go of the medium: onto `shelf` when it is a drive's disc, read in (and `shelf`
    // not null), with `toc` (the table the listener was given), else through the Retirer,
    // after whatever the caller handed it before. Stale jobs end without a word.
    void Shut(DiscShelf* shelf, const DiscToc& toc);

    Phase CurrentPhase() const { return phase_; }
    bool SpinningUp() const { return spinningUp_; }
    // The disc's CD-Text as its TOC was read; empty without a disc.
    const DiscText& Text() const { return text_; }
    // Why a play finds no disc, for the user.
    std::string AbsenceReason() const;

private:
    using SteadyClock = std::chrono::steady_clock;

    bool IsImage() const { return location_.kind == DiscLocation::Kind::Image; }
    void OnWorker(const std::function<void()>& job);
    static void RunLoad(std::weak_ptr<DiscLoader> weak, unsigned load, bool closeDoorFirst, DiscLocation location,
                        DiscParts parts);
    static void RunResume(std::weak_ptr<DiscLoader> weak, unsigned load, DiscLocation location, DiscParts parts,
                          KeptDisc kept);
    // The loader for a job, locked. The lock is let go of before the loader, which may be
    // the last reference to whatever owns the lock.
    struct Hold {
        std::shared_ptr<DiscLoader> loader;
        std::unique_lock<std::mutex> lock;
    };
    // The loader for job `load`, locked, unless the job has gone stale (then empty).
    static Hold Current(const std::weak_ptr<DiscLoader>& weak, unsigned load);
    // `sectors` reads the disc through the worker; made here when null.
    void Install(std::shared_ptr<DiscMedium> opened, DiscToc toc, DiscText text,
                 std::shared_ptr<WorkerSource> sectors = nullptr);
    void Absent(Phase why);
    void Withdraw();
    // A kept disc being checked will not be used: it stops reading ahead.
    void GiveUpResuming();
    void Checked(DriveState state, bool changed);

    const DiscLocation location_;
    const DiscParts parts_;
    std::mutex& lock_;
    Listener& listener_;
    std::weak_ptr<DiscLoader> self_;
    // The one thread that touches the medium. Shared with the sectors the listener gets,
    // and taken over from a kept disc before any job is posted.
    std::shared_ptr<SerialWorker> worker_ = std::make_shared<SerialWorker>();
    std::condition_variable probed_; // the drive has said whether it holds a disc

    Phase phase_ = Phase::Loading;
    bool spinningUp_ = false;  // Loading, and the drive has said a disc is coming ready
    unsigned generation_ = 0;  // bumped whenever a load or check under way becomes stale
    bool closed_ = false;
    bool checking_ = false;    // a media check is on the worker
    DriveState lastState_ = DriveState::Unknown; // what the drive said when last asked
    SteadyClock::time_point lastCheck_{};
    // Called on the worker only; held here, let go of on the worker.
    std::shared_ptr<DiscMedium> medium_;
    // The sectors of a kept disc being checked, told to stop reading ahead if the loader
    // lets go of it first (the door opens, the device closes).
    std::shared_ptr<WorkerSource> resuming_;
    DiscText text_;
};

} // namespace vorlo::platform
