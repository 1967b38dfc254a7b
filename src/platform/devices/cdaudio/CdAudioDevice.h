#pragma once

#include "platform/audio/PlaybackEngine.h"
#include "platform/devices/cdaudio/DiscMedium.h"
#include "platform/devices/cdaudio/DiscShelf.h"
#include "platform/mci/MciDevice.h"

#include <functional>
#include <memory>
#include <string>

namespace vorlo::platform {

// What the cdaudio device is built from; tests replace either part.
struct CdAudioParts {
    MediumOpener openMedium = OpenCdioMedium;
    DoorMover moveDoor = MoveCdioDoor;
    DriveProbe probeDrive = ProbeCdioDrive;
    std::function<std::unique_ptr<PlaybackEngine>()> createEngine = [] { return PlaybackEngine::Create(); };
    // Where a closed device leaves its drive's disc for the next open; none when null.
    std::shared_ptr<DiscShelf> shelf;
};

// The cdaudio device: the disc's table of contents, the time formats, the play position
// and the transport, over a DiscMedium and a PlaybackEngine.
//
// Every call into the medium (libcdio, cdparanoia), from opening to reading sectors and
// moving the door, happens on the device's worker thread; no command waits for a drive.
// On an image the medium is opened and its TOC read before Open returns (the worker
// answers at once). On a drive the worker first asks the drive whether it holds a disc:
// with the tray open or no disc a play fails at once; during a spin-up queries answer
// "not ready" and a play waits for the TOC. Status answers come from the TOC, read once,
// and the engine's position.
//
// Threads: the service calls it with its own lock held, from any thread. Inside, one lock
// guards the loader (DiscLoader), the transport (DiscTransport) and the time format; the
// worker takes it only between calls into the drive. Owns both; never throws.
class CdAudioDevice final : public MciDevice {
public:
    // Returns null with an MCI error and a sentence in `why` when the image cannot be read.
    static std::unique_ptr<CdAudioDevice> Open(const DiscLocation& location, CdAudioParts parts, MciError& error,
                                               std::string& why);
    // Opens the drive or image that VORLO_CDROM names at this moment (without it, the
    // system's default drive), as "open cdaudio" does. Fails as LocateDisc and Open do.
    static std::unique_ptr<CdAudioDevice> OpenLocated(CdAudioParts parts, MciError& error, std::string& why);
    ~CdAudioDevice() override;

    MciError Execute(const MciRequest& request, std::string& reply) override;
    MciError OpenDoor() override;
    void Close() override;

private:
    class Session;
    explicit CdAudioDevice(std::shared_ptr<Session> session);

    std::shared_ptr<Session> session_;
};

} // namespace vorlo::platform
