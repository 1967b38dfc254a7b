#include "platform/devices/cdaudio/CdAudioDevice.h"

#include "platform/lib/Diagnostics.h"
#include "platform/devices/cdaudio/DiscLoader.h"
#include "platform/devices/cdaudio/DiscTextReply.h"
#include "platform/devices/cdaudio/DiscTransport.h"
#include "platform/devices/cdaudio/StatusResponder.h"
#include "platform/mci/MciErrors.h"

#include <mutex>
#include <optional>

namespace vorlo::platform {
namespace {

constexpr const char* kProduct = "Vorlo CD audio";

// A play that arrived before the TOC: kept as given, read once the TOC is in.
struct PendingPlay {
    std::optional<std::uint32_t> from;
    std::optional<std::uint32_t> to;
    TimeFormat format;
};

} // namespace

// The device's state behind its one lock: the loader, the transport, the time format and
// a play waiting for the TOC. Owned by the device; the loader's worker jobs reach it only
// through weak references, and take the lock (as the loader's Listener) before touching it.
// Public methods take the lock themselves; any thread.
class CdAudioDevice::Session final : public DiscLoader::Listener {
public:
    Session(const DiscLocation& location, const CdAudioParts& parts)
        : transport_(parts.createEngine),
          loader_(location, {parts.openMedium, parts.moveDoor, parts.probeDrive}, mutex_, *this),
          shelf_(parts.shelf)
    {
    }

    static std::shared_ptr<Session> Create(const DiscLocation& location, const CdAudioParts& parts)
    {
        auto session = std::make_shared<Session>(location, parts);
        session->loader_.Bind(std::shared_ptr<DiscLoader>(session, &session->loader_));
        return session;
    }

    // Brings the disc in: an image at once (failing as DiscLoader::OpenImage does), a drive
    // in the background.
    MciError Start(const DiscLocation& location, std::string& why)
    {
        std::lock_guard lock(mutex_);
        if (location.kind == DiscLocation::Kind::Image)
            return loader_.OpenImage(why);
        if (auto kept = shelf_ ? shelf_->Take(location.path) : std::nullopt)
            loader_.ResumeDrive(std::move(*kept));
        else
            loader_.LoadDrive(false);
        return mcierr::kNone;
    }

    MciError Execute(const MciRequest& request, std::string& reply)
    {
        std::unique_lock lock(mutex_);
        transport_.Sync();
        loader_.CheckMedia();
        switch (request.verb) {
        case MciVerb::Play: return Play(request, lock);
        case MciVerb::Stop:
            pending_.reset();
            transport_.Stop();
            return mcierr::kNone;
        case MciVerb::Pause: transport_.Pause(); return mcierr::kNone;
        case MciVerb::Resume: transport_.Resume(); return mcierr::kNone;
        case MciVerb::Seek:
            if (loader_.CurrentPhase() != DiscLoader::Phase::Ready)
                return mcierr::kDeviceNotReady;
            return transport_.Seek(request.seekTarget, request.to.value_or(0), format_);
        case MciVerb::Set: return Set(request);
        case MciVerb::Status: return Answered(AnswerStatus(request.statusItem, request.track, transport_.Toc(),
                                                           format_, Snapshot()), reply);
        case MciVerb::Capability: return Answered(AnswerCapability(request.capability), reply);
        case MciVerb::Info:
            if (request.info != InfoItem::Product)
                return AnswerDiscText(request, HasDisc() ? &transport_.Toc() : nullptr, loader_.Text(), reply);
            reply = kProduct;
            return mcierr::kNone;
        case MciVerb::Close: return mcierr::kNone;
        default: return mcierr::kUnsupportedFunction;
        }
    }

    MciError OpenDoor()
    {
        std::lock_guard lock(mutex_);
        return loader_.OpenDoor();
    }

    // Stops play and lets go of the engine and the source through the Retirer, as their
    // teardown may wait on a read in progress, and of the medium as the loader does. Once
    // only; later calls do nothing.
    void Close()
    {
        std::lock_guard lock(mutex_);
        if (closed_)
            return;
        closed_ = true;
        pending_.reset();
        const DiscToc toc = transport_.Toc();  // the retired transport forgets it
        transport_.Retire();
        loader_.Shut(shelf_.get(), toc);
    }

private:
    // --- what the loader tells -------------------------------------------------------------

    void DiscArrived(DiscToc toc, std::shared_ptr<SectorSource> sectors) override
    {
        if (toc.Empty())
            transport_.Unload();
        else
            transport_.Load(std::move(toc), std::move(sectors));
        if (pending_ && HasDisc())
            PlayNow(pending_->from, pending_->to, pending_->format);
        else if (pending_)
            TellUser(loader_.AbsenceReason());
        pending_.reset();
    }

    void DiscWithdrawn() override
    {
        transport_.Unload();
        if (pending_)
            TellUser(loader_.AbsenceReason());
        pending_.reset();
    }

    bool TransportBusy() const override
    {
        const auto state = transport_.CurrentState();
        return state == DiscTransport::State::Playing || state == DiscTransport::State::Paused;
    }

    // --- commands, with the lock held -------------------------------------------------------

    bool HasDisc() const { return loader_.CurrentPhase() == DiscLoader::Phase::Ready; }

    DeviceSnapshot Snapshot() const
    {
        DeviceSnapshot now{DeviceMode::NoDisc, transport_.Position()};
        switch (loader_.CurrentPhase()) {
        case DiscLoader::Phase::Loading: now.mode = DeviceMode::Loading; break;
        case DiscLoader::Phase::NoDisc: now.mode = DeviceMode::NoDisc; break;
        case DiscLoader::Phase::DoorOpen: now.mode = DeviceMode::DoorOpen; break;
        case DiscLoader::Phase::Ready:
            switch (transport_.CurrentState()) {
            case DiscTransport::State::NoDisc: now.mode = DeviceMode::NoDisc; break;
            case DiscTransport::State::Stopped: now.mode = DeviceMode::Stopped; break;
            case DiscTransport::State::Playing: now.mode = DeviceMode::Playing; break;
            case DiscTransport::State::Paused: now.mode = DeviceMode::Paused; break;
            }
            break;
        }
        return now;
    }

    static MciError Answered(StatusReply answer, std::string& reply)
    {
        if (!answer.error)
            reply = std::move(answer.text);
        return answer.error;
    }

    // During a spin-up a play waits for the disc; with no disc or the tray open it fails
    // at once, and says why. Just after the open, the drive has a moment to tell which.
    MciError Play(const MciRequest& request, std::unique_lock<std::mutex>& lock)
    {
        loader_.AwaitFirstAnswer(lock);
        switch (loader_.CurrentPhase()) {
        case DiscLoader::Phase::Loading: pending_ = PendingPlay{request.from, request.to, format_}; return mcierr::kNone;
        case DiscLoader::Phase::Ready: return PlayNow(request.from, request.to, format_);
        default: TellUser(loader_.AbsenceReason()); return mcierr::kDeviceNotReady;
        }
    }

    MciError PlayNow(std::optional<std::uint32_t> from, std::optional<std::uint32_t> to, TimeFormat format)
    {
        const MciError error = transport_.Play(from, to, format, [this](std::int32_t first, std::int32_t end) {
            return loader_.Readable(first, end);
        });
        if (transport_.CurrentState() == DiscTransport::State::NoDisc) // the image can no longer be read
            loader_.Lost();
        return error;
    }

    MciError Set(const MciRequest& request)
    {
        if (request.timeFormat) {
            const TimeFormat wanted = *request.timeFormat;
            if (wanted != TimeFormat::Milliseconds && wanted != TimeFormat::Msf && wanted != TimeFormat::Tmsf)
                return mcierr::kBadTimeFormat;
            format_ = wanted;
        }
        if (request.doorOpen)
            return *request.doorOpen ? loader_.OpenDoor() : loader_.CloseDoor();
        return mcierr::kNone;
    }

    std::mutex mutex_;
    DiscTransport transport_;
    DiscLoader loader_; // after the transport: its listener calls into the transport
    const std::shared_ptr<DiscShelf> shelf_;
    TimeFormat format_ = TimeFormat::Msf;
    std::optional<PendingPlay> pending_;
    bool closed_ = false;
};

CdAudioDevice::CdAudioDevice(std::shared_ptr<Session> session) : session_(std::move(session)) {}

CdAudioDevice::~CdAudioDevice() { session_->Close(); }

std::unique_ptr<CdAudioDevice> CdAudioDevice::Open(const DiscLocation& location, CdAudioParts parts,
                                                   MciError& error, std::string& why)
{
    auto session = Session::Create(location, parts);
    if ((error = session->Start(location, why)))
        return nullptr;
    return std::unique_ptr<CdAudioDevice>(new CdAudioDevice(std::move(session)));
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
    return session_->Execute(request, reply);
}

MciError CdAudioDevice::OpenDoor() { return session_->OpenDoor(); }

void CdAudioDevice::Close() { session_->Close(); }

} // namespace vorlo::platform
