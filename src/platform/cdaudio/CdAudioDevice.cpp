#include "platform/cdaudio/CdAudioDevice.h"

#include "platform/Diagnostics.h"
#include "platform/cdaudio/CdTime.h"
#include "platform/cdaudio/Retirer.h"
#include "platform/cdaudio/SerialWorker.h"
#include "platform/cdaudio/WorkerSource.h"
#include "platform/service/MciErrors.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>
#include <optional>
#include <thread>

namespace vorlo::platform {
namespace {

// Where the device stands with its disc. Only Ready has a TOC.
enum class Phase { Loading, Ready, NoDisc, DoorOpen };
enum class Transport { Stopped, Playing, Paused };

// A play that arrived before the TOC: kept as given, read once the TOC is in.
struct PendingPlay {
    std::optional<std::uint32_t> from;
    std::optional<std::uint32_t> to;
    TimeFormat format;
};

constexpr const char* kProduct = "Vorlo CD audio";

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

const char* Bool(bool value) { return value ? "true" : "false"; }

void AppendNumber(std::string& out, std::int64_t value)
{
    char digits[24];
    out.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

} // namespace

struct CdAudioDevice::Core : std::enable_shared_from_this<CdAudioDevice::Core> {
    Core(const DiscLocation& where, CdAudioParts with) : location(where), parts(std::move(with)) {}

    std::mutex mutex;
    std::condition_variable probed; // the drive has said whether it holds a disc
    const DiscLocation location;
    const CdAudioParts parts;
    // The one thread that touches the medium. Shared with the engine's source.
    const std::shared_ptr<SerialWorker> worker = std::make_shared<SerialWorker>();

    Phase phase = Phase::Loading;
    bool spinningUp = false;  // Loading, and the drive has said a disc is coming ready
    unsigned generation = 0; // bumped whenever a background load or check becomes stale
    bool closed = false;
    bool checking = false;   // a media check is on the worker
    DriveState lastState = DriveState::Unknown;  // what the drive said when last asked
    SteadyClock::time_point lastCheck{};
    // Used on the worker only; the device holds a reference, never calls it.
    std::shared_ptr<DiscMedium> medium;
    DiscToc toc;
    // Shared with the engine's reader, so that neither Stop nor Play waits on a drive read.
    std::shared_ptr<SectorSource> source;
    std::unique_ptr<PlaybackEngine> engine;

    TimeFormat format = TimeFormat::Msf;
    Transport transport = Transport::Stopped;
    std::int32_t positionLsn = 0; // while stopped
    std::int32_t playFrom = 0;
    std::int32_t playEnd = 0;
    std::optional<PendingPlay> pending;

    bool IsImage() const { return location.kind == DiscLocation::Kind::Image; }

    // --- the disc -------------------------------------------------------------------

    // Runs `job` on the worker and waits for it. Only for images, whose files answer at
    // once; a drive is never waited for.
    void OnWorker(const std::function<void()>& job)
    {
        std::packaged_task<void()> task(job);
        std::future<void> done = task.get_future();
        worker->Post([&task] { task(); });
        done.get();
    }

    void Install(std::shared_ptr<DiscMedium> opened, DiscToc read)
    {
        medium = std::move(opened);
        toc = std::move(read);
        if (!toc.Empty())
            source = std::make_shared<WorkerSource>(worker, medium, toc);
        phase = toc.Empty() ? Phase::NoDisc : Phase::Ready;
        transport = Transport::Stopped;
        if (phase == Phase::Ready)
            positionLsn = toc.FirstAudioStart().value_or(toc.tracks.front().startLsn);
        if (pending && phase == Phase::Ready)
            StartPlay(pending->from, pending->to, pending->format);
        else if (pending)
            TellUser(NoDiscReason());
        pending.reset();
        probed.notify_all();
    }

    // The drive holds no disc, or its tray is open: nothing is pending any more.
    void Absent(Phase why)
    {
        Forget();
        phase = why;
        probed.notify_all();
    }

    std::string NoDiscReason() const
    {
        return phase == Phase::DoorOpen ? "the tray of " + location.path + " is open"
                                        : "there is no audio disc in " + location.path;
    }

    // Lets go of the disc. The medium is let go of on the worker, which alone touches it.
    void Forget()
    {
        StopEngine();
        if (pending)
            TellUser(NoDiscReason());
        pending.reset();
        toc = {};
        source.reset();
        if (medium)
            worker->Post([held = std::move(medium)] {});
        spinningUp = false;
    }

    // The disc can no longer be read (an image removed or cut short since it was opened):
    // the device holds no disc from now on, as a drive whose disc was taken out.
    void DiscGone()
    {
        Forget();
        phase = Phase::NoDisc;
    }

    // Opens the drive and reads its TOC on the worker, once the drive says it holds a disc
    // and has spun up; the result is installed unless the device was closed or the door
    // opened meanwhile. Precondition: lock held.
    void LoadInBackground(bool closeDoorFirst)
    {
        phase = Phase::Loading;
        spinningUp = false;
        const unsigned expected = ++generation;
        std::weak_ptr<Core> weak = weak_from_this();
        worker->Post([weak, expected, closeDoorFirst, location = location, parts = parts] {
            // The core for this load, locked, unless the load has gone stale.
            const auto current = [&](std::unique_lock<std::mutex>& lock) -> std::shared_ptr<Core> {
                auto core = weak.lock();
                if (!core)
                    return nullptr;
                lock = std::unique_lock(core->mutex);
                return !core->closed && core->generation == expected ? core : nullptr;
            };
            if (closeDoorFirst)
                parts.moveDoor(location, false);
            DriveState state = parts.probeDrive(location);
            for (const auto giveUp = SteadyClock::now() + kSpinUpLimit;
                 state == DriveState::NotReady && SteadyClock::now() < giveUp; state = parts.probeDrive(location)) {
                {
                    std::unique_lock<std::mutex> lock;
                    const auto core = current(lock);
                    if (!core)
                        return;
                    core->spinningUp = true;
                    core->probed.notify_all();
                }
                std::this_thread::sleep_for(kSpinUpPoll);
            }
            if (state == DriveState::NoDisc || state == DriveState::TrayOpen || state == DriveState::NotReady) {
                std::unique_lock<std::mutex> lock;
                if (const auto core = current(lock)) {
                    core->lastState = state;
                    core->Absent(state == DriveState::TrayOpen ? Phase::DoorOpen : Phase::NoDisc);
                }
                return;
            }
            std::shared_ptr<DiscMedium> opened;
            DiscToc read;
            try {
                opened = parts.openMedium(location);
                read = opened->ReadToc();
            } catch (const std::exception& failure) {
                TellUser(failure.what());
                read = {};
            }
            std::unique_lock<std::mutex> lock;
            if (const auto core = current(lock)) {
                core->lastState = state;
                core->Install(std::move(opened), std::move(read));
            }
        });
    }

    // On a drive that is not playing, at most once per kMediaCheckInterval: asks the drive,
    // on the worker, whether its tray was opened or its disc changed by hand since the last
    // look, and follows. Precondition: lock held.
    void CheckMedia()
    {
        if (IsImage() || closed || checking || phase == Phase::Loading || transport != Transport::Stopped)
            return;
        const auto now = SteadyClock::now();
        if (now - lastCheck < kMediaCheckInterval)
            return;
        lastCheck = now;
        checking = true;
        const unsigned expected = generation;
        worker->Post([weak = weak_from_this(), expected, location = location, probe = parts.probeDrive,
                      held = medium] {
            const DriveState state = probe(location);
            const bool changed = held && held->Changed();
            const auto core = weak.lock();
            if (!core)
                return;
            std::lock_guard lock(core->mutex);
            core->checking = false;
            if (core->closed || core->generation != expected || core->transport != Transport::Stopped)
                return;
            const bool discIn = state == DriveState::DiscReady || state == DriveState::NotReady;
            // A disc the drive holds but that cannot be played (a data CD) is not tried
            // again and again: only a disc that has come in since the last look is.
            const bool cameIn = discIn && (core->lastState == DriveState::NoDisc || core->lastState == DriveState::TrayOpen);
            core->lastState = state;
            if (core->phase == Phase::Ready) {
                if (state == DriveState::TrayOpen || state == DriveState::NoDisc)
                    core->Absent(state == DriveState::TrayOpen ? Phase::DoorOpen : Phase::NoDisc);
                else if (changed)
                    core->LoadInBackground(false);
            } else if (cameIn || changed) {
                core->LoadInBackground(false);
            }
        });
    }

    // --- position and transport ---------------------------------------------------------

    std::int32_t Clamp(std::int32_t lsn) const { return std::clamp(lsn, playFrom, std::max(playFrom, playEnd)); }

    // Notices a play that ended by itself (end of span, failed read, lost server).
    void Sync()
    {
        if (transport != Transport::Stopped && engine->CurrentState() == PlaybackEngine::State::Stopped) {
            positionLsn = Clamp(engine->HeardLsn());
            transport = Transport::Stopped;
        }
    }

    std::int32_t Position() const
    {
        return transport == Transport::Stopped ? positionLsn : Clamp(engine->HeardLsn());
    }

    void StopEngine()
    {
        if (transport != Transport::Stopped) {
            positionLsn = Position();
            engine->Stop();
            transport = Transport::Stopped;
        }
    }

    MciError StartPlay(std::optional<std::uint32_t> from, std::optional<std::uint32_t> to, TimeFormat in)
    {
        std::int64_t fromLsn = Position();
        if (from) {
            const auto frame = cdtime::ParseTime(in, *from, toc);
            if (!frame)
                return mcierr::kOutOfRange;
            fromLsn = cdtime::LsnOf(*frame);
            if (fromLsn < toc.tracks.front().startLsn || fromLsn >= toc.leadOutLsn)
                return mcierr::kOutOfRange;
        }
        std::optional<std::int64_t> toLsn;
        if (to) {
            const auto frame = cdtime::ParseTime(in, *to, toc);
            if (!frame)
                return mcierr::kOutOfRange;
            toLsn = cdtime::LsnOf(*frame);
            if (*toLsn > toc.leadOutLsn || *toLsn < fromLsn)
                return mcierr::kOutOfRange;
        }
        auto start = toc.AudioStartFrom(static_cast<std::int32_t>(fromLsn));
        if (!start && !from)
            start = toc.FirstAudioStart(); // at the end of the audio: start over
        if (!start)
            return mcierr::kHardware;      // nothing but data from here on
        std::int32_t end = toc.AudioEndAfter(*start);
        if (toLsn)
            end = static_cast<std::int32_t>(std::min<std::int64_t>(end, *toLsn));
        StopEngine();
        if (end <= *start) {
            positionLsn = *start;
            return mcierr::kNone;
        }
        if (IsImage() && medium) {
            bool readable = false;
            OnWorker([&, held = medium, first = *start] { readable = held->Readable(first, end); });
            if (!readable) {
                DiscGone();
                return mcierr::kDeviceNotReady;
            }
        }
        if (!source)
            return mcierr::kHardware;
        if (!engine)
            engine = parts.createEngine();
        if (!engine)
            return mcierr::kHardware;
        if (const MciError error = engine->PlayShared(source, *start, end))
            return error;
        playFrom = *start;
        playEnd = end;
        transport = Transport::Playing;
        return mcierr::kNone;
    }

    // --- verbs ----------------------------------------------------------------------------

    // During a spin-up a play waits for the disc; with no disc or the tray open it fails
    // at once, and says why. Just after the open, the drive has kProbeWait to tell which.
    MciError Play(const MciRequest& request, std::unique_lock<std::mutex>& lock)
    {
        if (phase == Phase::Loading && !spinningUp)
            probed.wait_for(lock, kProbeWait, [this] { return phase != Phase::Loading || spinningUp; });
        switch (phase) {
        case Phase::Loading: pending = PendingPlay{request.from, request.to, format}; return mcierr::kNone;
        case Phase::Ready: return StartPlay(request.from, request.to, format);
        default: TellUser(NoDiscReason()); return mcierr::kDeviceNotReady;
        }
    }

    MciError Seek(const MciRequest& request)
    {
        if (phase != Phase::Ready)
            return mcierr::kDeviceNotReady;
        std::int64_t target = 0;
        switch (request.seekTarget) {
        case SeekTarget::Start: target = toc.FirstAudioStart().value_or(toc.tracks.front().startLsn); break;
        case SeekTarget::End: target = toc.leadOutLsn; break;
        case SeekTarget::Position: {
            const auto frame = cdtime::ParseTime(format, request.to.value_or(0), toc);
            if (!frame)
                return mcierr::kOutOfRange;
            target = cdtime::LsnOf(*frame);
            if (target < toc.tracks.front().startLsn || target > toc.leadOutLsn)
                return mcierr::kOutOfRange;
            break;
        }
        }
        StopEngine();
        positionLsn = static_cast<std::int32_t>(target);
        return mcierr::kNone;
    }

    MciError Pause()
    {
        if (transport == Transport::Playing) {
            engine->Pause();
            transport = Transport::Paused;
        }
        return mcierr::kNone;
    }

    MciError Resume()
    {
        if (transport == Transport::Paused) {
            engine->Resume();
            transport = Transport::Playing;
        }
        return mcierr::kNone;
    }

    MciError Stop()
    {
        pending.reset();
        StopEngine();
        return mcierr::kNone;
    }

    MciError OpenDoor()
    {
        if (IsImage())
            return mcierr::kNone;
        Forget();
        phase = Phase::DoorOpen;
        ++generation;
        worker->Post([location = location, move = parts.moveDoor] { move(location, true); });
        return mcierr::kNone;
    }

    MciError CloseDoor()
    {
        if (!IsImage() && phase == Phase::DoorOpen)
            LoadInBackground(true);
        return mcierr::kNone;
    }

    MciError Set(const MciRequest& request)
    {
        if (request.timeFormat) {
            const TimeFormat wanted = *request.timeFormat;
            if (wanted != TimeFormat::Milliseconds && wanted != TimeFormat::Msf && wanted != TimeFormat::Tmsf)
                return mcierr::kBadTimeFormat;
            format = wanted;
        }
        if (request.doorOpen)
            return *request.doorOpen ? OpenDoor() : CloseDoor();
        return mcierr::kNone;
    }

    const char* ModeName() const
    {
        switch (phase) {
        case Phase::Loading:
        case Phase::NoDisc: return "not ready";
        case Phase::DoorOpen: return "open";
        case Phase::Ready: break;
        }
        switch (transport) {
        case Transport::Playing: return "playing";
        case Transport::Paused: return "paused";
        case Transport::Stopped: break;
        }
        return "stopped";
    }

    MciError Status(const MciRequest& request, std::string& reply)
    {
        switch (request.statusItem) {
        case StatusItem::Mode: reply = ModeName(); return mcierr::kNone;
        case StatusItem::Ready: reply = Bool(phase == Phase::Ready); return mcierr::kNone;
        case StatusItem::TimeFormat: reply = cdtime::TimeFormatName(format); return mcierr::kNone;
        case StatusItem::MediaPresent:
            if (phase == Phase::Loading)
                return mcierr::kDeviceNotReady;
            reply = Bool(phase == Phase::Ready);
            return mcierr::kNone;
        default: break;
        }
        if (phase != Phase::Ready)
            return mcierr::kDeviceNotReady;
        if (request.track && !toc.HasTrack(*request.track))
            return mcierr::kOutOfRange;
        const int track = request.track ? static_cast<int>(*request.track) : 0;
        switch (request.statusItem) {
        case StatusItem::Length: {
            std::int64_t frames = toc.leadOutLsn - toc.tracks.front().startLsn - 1;
            if (request.track)
                frames = toc.EndOf(track) - toc.Track(track).startLsn - (track == toc.LastTrack() ? 1 : 0);
            cdtime::AppendLength(reply, format, frames);
            return mcierr::kNone;
        }
        case StatusItem::Position:
        case StatusItem::StartPosition: {
            std::int32_t lsn = Position();
            if (request.statusItem == StatusItem::StartPosition)
                lsn = toc.tracks.front().startLsn;
            else if (request.track)
                lsn = toc.Track(track).startLsn;
            cdtime::AppendPosition(reply, format, cdtime::AbsoluteFrame(lsn), toc);
            return mcierr::kNone;
        }
        case StatusItem::CurrentTrack: AppendNumber(reply, toc.TrackAt(Position())); return mcierr::kNone;
        case StatusItem::NumberOfTracks: AppendNumber(reply, toc.LastTrack() - toc.FirstTrack() + 1); return mcierr::kNone;
        case StatusItem::TypeTrack: reply = toc.Track(track).audio ? "audio" : "other"; return mcierr::kNone;
        default: return mcierr::kUnsupportedFunction;
        }
    }

    static MciError Capability(const MciRequest& request, std::string& reply)
    {
        switch (request.capability) {
        case CapabilityItem::CanEject:
        case CapabilityItem::CanPlay:
        case CapabilityItem::HasAudio: reply = Bool(true); break;
        case CapabilityItem::DeviceType: reply = "cdaudio"; break;
        default: reply = Bool(false); break;
        }
        return mcierr::kNone;
    }

    MciError Execute(const MciRequest& request, std::string& reply, std::unique_lock<std::mutex>& lock)
    {
        if (transport != Transport::Stopped)
            Sync();
        CheckMedia();
        switch (request.verb) {
        case MciVerb::Play: return Play(request, lock);
        case MciVerb::Stop: return Stop();
        case MciVerb::Pause: return Pause();
        case MciVerb::Resume: return Resume();
        case MciVerb::Seek: return Seek(request);
        case MciVerb::Set: return Set(request);
        case MciVerb::Status: return Status(request, reply);
        case MciVerb::Capability: return Capability(request, reply);
        case MciVerb::Info:
            if (request.info != InfoItem::Product)
                return AnswerDiscText(request, phase == Phase::Ready ? &toc : nullptr,
                                      medium ? medium->Text() : DiscText{}, reply);
            reply = kProduct;
            return mcierr::kNone;
        case MciVerb::Close: return mcierr::kNone;
        default: return mcierr::kUnsupportedFunction;
        }
    }

    // Stops play and lets go of the engine and the source. On a drive their teardown may
    // wait on a read in progress, so it happens on a thread of its own.
    // Stops play and lets go of the engine, the source and the medium. Their teardown may
    // wait on a read in progress, so the Retirer does it.
    void Shut()
    {
        closed = true;
        pending.reset();
        StopEngine();
        ++generation;
        Retirer::Instance().Run([engine = std::shared_ptr<PlaybackEngine>(std::move(engine)),
                                 source = std::move(source), held = std::move(medium)]() mutable {
                engine.reset();
                source.reset();
                held.reset();
            });
    }
};

CdAudioDevice::CdAudioDevice(std::shared_ptr<Core> core) : core_(std::move(core)) {}

CdAudioDevice::~CdAudioDevice()
{
    std::lock_guard lock(core_->mutex);
    if (!core_->closed)
        core_->Shut();
}

std::unique_ptr<CdAudioDevice> CdAudioDevice::Open(const DiscLocation& location, CdAudioParts parts,
                                                   MciError& error, std::string& why)
{
    auto core = std::make_shared<Core>(location, std::move(parts));
    std::lock_guard lock(core->mutex);
    error = mcierr::kNone;
    if (location.kind == DiscLocation::Kind::Drive) {
        core->LoadInBackground(false);
    } else {
        // An image opens at once, on the worker like every call into it, so that a sheet
        // that cannot be played fails the open.
        std::shared_ptr<DiscMedium> medium;
        DiscToc toc;
        try {
            core->OnWorker([&] {
                medium = core->parts.openMedium(location);
                toc = medium->ReadToc();
            });
            if (toc.Empty())
                throw std::runtime_error("the disc image holds no tracks: " + location.path);
        } catch (const std::exception& failure) {
            error = mcierr::kInvalidFile;
            why = failure.what();
            core->OnWorker([&] { medium.reset(); });
            return nullptr;
        }
        core->Install(std::move(medium), std::move(toc));
    }
    return std::unique_ptr<CdAudioDevice>(new CdAudioDevice(std::move(core)));
}

std::unique_ptr<CdAudioDevice> CdAudioDevice::OpenLocated(CdAudioParts parts, MciError& error, std::string& why)
{
    DiscLocation location;
    if ((error = LocateDisc(location, why)))
        return nullptr;
    return Open(location, std::move(parts), error, why);
}

MciError CdAudioDevice::Execute(const MciRequest& request, std::string& reply)
{
    std::unique_lock lock(core_->mutex);
    return core_->Execute(request, reply, lock);
}

MciError CdAudioDevice::OpenDoor()
{
    std::lock_guard lock(core_->mutex);
    return core_->OpenDoor();
}

void CdAudioDevice::Close()
{
    std::lock_guard lock(core_->mutex);
    core_->Shut();
}

} // namespace vorlo::platform
