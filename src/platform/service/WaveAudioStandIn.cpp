#include "platform/service/MciDevice.h"
#include "platform/service/MciErrors.h"

// Built only while the wave area has no WaveAudioDevice.cpp of its own: a waveaudio device
// that follows the command protocol (open, record, stop, status, close) but captures no
// sound, and therefore refuses to save.
namespace vorlo::platform {
namespace {

class WaveAudioStandIn final : public MciDevice {
public:
    MciError Execute(const MciRequest& request, std::string& reply) override
    {
        switch (request.verb) {
        case MciVerb::Record: recording_ = true; return mcierr::kNone;
        case MciVerb::Stop: recording_ = false; return mcierr::kNone;
        case MciVerb::Close: return mcierr::kNone;
        case MciVerb::Save: return mcierr::kFileNotSaved;
        case MciVerb::Status:
            switch (request.statusItem) {
            case StatusItem::Mode: reply = recording_ ? "recording" : "stopped"; return mcierr::kNone;
            case StatusItem::Length:
            case StatusItem::Position: reply = "0"; return mcierr::kNone;
            default: return mcierr::kUnsupportedFunction;
            }
        default: return mcierr::kUnsupportedFunction;
        }
    }

private:
    bool recording_ = false;
};

} // namespace

std::unique_ptr<MciDevice> CreateWaveAudioDevice(const MciOpenRequest&, MciError& error)
{
    error = mcierr::kNone;
    return std::make_unique<WaveAudioStandIn>();
}

} // namespace vorlo::platform
