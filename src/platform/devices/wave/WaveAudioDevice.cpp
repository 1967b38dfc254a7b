#include "platform/devices/wave/WaveAudioDevice.h"

#include "platform/mci/MciDevice.h"
#include "platform/mci/MciErrors.h"
#include "platform/devices/wave/DrivePath.h"
#include "platform/lib/sndfile/SndFile.h"
#include "platform/devices/wave/WavSave.h"
#include "platform/devices/wave/WaveRecorder.h"

#include <string>
#include <system_error>

// The waveaudio device: a recording instance on the default sound source. It records in
// the background, keeps what it recorded until it is closed, and saves it as a WAV file on
// drive C:. It does not play sound back.
namespace vorlo::platform {
namespace {

constexpr std::int64_t kMillisecondsPerSecond = 1000;

class WaveAudioDevice final : public MciDevice {
public:
    MciError Execute(const MciRequest& request, std::string& reply) override
    {
        switch (request.verb) {
        case MciVerb::Record: return Record(request);
        case MciVerb::Stop: recorder_.Stop(); return mcierr::kNone;
        case MciVerb::Save: return Save(request.fileName);
        case MciVerb::Status: return Status(request, reply);
        case MciVerb::Set: return Set(request);
        case MciVerb::Capability: return Capability(request.capability, reply);
        case MciVerb::Close: return mcierr::kNone;
        default: return mcierr::kUnsupportedFunction;
        }
    }

    // Whatever was not saved is dropped with the device.
    void Close() override { recorder_.Stop(); }

private:
    MciError Record(const MciRequest& request)
    {
        if (request.from || request.to)
            return mcierr::kUnsupportedFunction;
        try {
            recorder_.Record();
            return mcierr::kNone;
        } catch (const CaptureError&) {
            return mcierr::kHardware;
        }
    }

    MciError Save(const std::string& fileName) const
    {
        if (fileName.empty())
            return mcierr::kFilenameRequired;
        try {
            SaveWavAtomically(MapDrivePath(fileName), recorder_.Format(), recorder_.Samples());
            return mcierr::kNone;
        } catch (const DrivePathError&) {
            return mcierr::kFileNotSaved;
        } catch (const SndFileError&) {
            return mcierr::kFileWrite;
        } catch (const std::system_error&) {
            return mcierr::kFileWrite;
        }
    }

    MciError Status(const MciRequest& request, std::string& reply) const
    {
        if (request.track)
            return mcierr::kUnsupportedFunction;
        switch (request.statusItem) {
        case StatusItem::Length:
        case StatusItem::Position: reply = std::to_string(InTimeFormat(recorder_.RecordedBytes())); break;
        case StatusItem::StartPosition: reply = std::to_string(0); break;  // = "0" trips a false -Wrestrict in GCC 12 at -O3
        case StatusItem::Mode: reply = recorder_.IsRecording() ? "recording" : "stopped"; break;
        case StatusItem::Ready:
        case StatusItem::MediaPresent: reply = "true"; break;
        case StatusItem::TimeFormat: reply = TimeFormatName(); break;
        default: return mcierr::kUnsupportedFunction;
        }
        return mcierr::kNone;
    }

    MciError Set(const MciRequest& request)
    {
        if (request.doorOpen)
            return mcierr::kUnsupportedFunction;
        if (request.timeFormat) {
            switch (*request.timeFormat) {
            case TimeFormat::Milliseconds:
            case TimeFormat::Bytes:
            case TimeFormat::Samples: timeFormat_ = *request.timeFormat; break;
            default: return mcierr::kBadTimeFormat;
            }
        }
        return mcierr::kNone;
    }

    static MciError Capability(CapabilityItem item, std::string& reply)
    {
        switch (item) {
        case CapabilityItem::CanRecord:
        case CapabilityItem::CanSave:
        case CapabilityItem::HasAudio:
        case CapabilityItem::UsesFiles:
        case CapabilityItem::CompoundDevice: reply = "true"; break;
        case CapabilityItem::DeviceType: reply = "waveaudio"; break;
        default: reply = "false"; break;
        }
        return mcierr::kNone;
    }

    std::int64_t InTimeFormat(std::size_t bytes) const
    {
        const WaveFormat& format = recorder_.Format();
        const auto count = static_cast<std::int64_t>(bytes);
        switch (timeFormat_) {
        case TimeFormat::Bytes: return count;
        case TimeFormat::Samples: return count / static_cast<std::int64_t>(format.BytesPerFrame());
        default: return count * kMillisecondsPerSecond / static_cast<std::int64_t>(format.BytesPerSecond());
        }
    }

    const char* TimeFormatName() const
    {
        switch (timeFormat_) {
        case TimeFormat::Bytes: return "bytes";
        case TimeFormat::Samples: return "samples";
        default: return "milliseconds";
        }
    }

    WaveRecorder recorder_{WaveFormat{}};
    TimeFormat timeFormat_ = TimeFormat::Milliseconds;
};

} // namespace

std::unique_ptr<MciDevice> CreateWaveAudioDevice(const MciOpenRequest& request, MciError& error, std::string&)
{
    // Only recording instances exist: there is no playing of an existing file.
    if (!request.element.empty()) {
        error = mcierr::kUnsupportedFunction;
        return nullptr;
    }
    error = mcierr::kNone;
    return std::make_unique<WaveAudioDevice>();
}

} // namespace vorlo::platform
