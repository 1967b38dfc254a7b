#include "platform/Mci.h"

#include "platform/devices/cdaudio/CdAudioDevice.h"
#include "platform/devices/cdaudio/Retirer.h"
#include "platform/devices/wave/WaveAudioDevice.h"
#include "platform/service/MciService.h"

#include <cstdlib>

// The one place where the concrete devices meet the service: the process-wide service
// and the entry points over it.
namespace vorlo::platform {
namespace {

// The libcdio cdaudio device. A drive's disc outlives its device for a few seconds, for
// the next open of the same drive.
MciDeviceFactory LibcdioCdAudio()
{
    return [shelf = std::make_shared<DiscShelf>()](const MciOpenRequest&, MciError& error, std::string& why) {
        CdAudioParts parts;
        parts.shelf = shelf;
        return std::unique_ptr<MciDevice>(CdAudioDevice::OpenLocated(std::move(parts), error, why));
    };
}

} // namespace

MciService& MciService::Instance()
{
    // Made first, so that it outlives the service and takes what its devices let go of.
    Retirer::Instance();
    static MciService service({LibcdioCdAudio(), CreateWaveAudioDevice}, TraceWriter::FromEnvironment());
    // Ending through quick_exit skips destructors; the last trace lines must still reach
    // the file. The trace pointer never changes after construction.
    static const bool flushesAtQuickExit = std::at_quick_exit([] {
        if (service.trace_)
            service.trace_->Flush();
    }) == 0;
    (void)flushesAtQuickExit;
    return service;
}

MciError mciSendString(const char* command, char* returnString, std::uint32_t returnLength, std::uintptr_t)
{
    return MciService::Instance().SendString(command, returnString, returnLength);
}

MciDeviceId mciGetDeviceID(const char* device) { return MciService::Instance().DeviceId(device); }

MciError mciSendCommand(MciDeviceId device, std::uint32_t message, std::uintptr_t param1, std::uintptr_t param2)
{
    return MciService::Instance().SendCommand(device, message, param1, param2);
}

} // namespace vorlo::platform
