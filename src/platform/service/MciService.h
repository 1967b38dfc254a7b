#pragma once

#include "platform/Mci.h"
#include "platform/service/AliasTable.h"
#include "platform/service/CommandParser.h"
#include "platform/service/TraceWriter.h"

#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace vorlo::platform {

// The media service behind the three entry points: parses each command, finds its device
// in the alias table, runs it, writes the reply into the caller's area and traces it.
// Thread-safe: one command runs at a time, and none waits on drive I/O.
class MciService {
public:
    // The devices "open" can make, by type. The service knows no device of its own: whoever
    // builds it hands them in. A type without a factory is not installed.
    struct Devices {
        MciDeviceFactory cdaudio;
        MciDeviceFactory waveaudio;
    };

    explicit MciService(Devices devices, std::unique_ptr<TraceWriter> trace = nullptr);
    ~MciService();
    MciService(const MciService&) = delete;
    MciService& operator=(const MciService&) = delete;

    // The process-wide service: the libcdio cdaudio device, the waveaudio device and the
    // VORLO_MCI_TRACE trace. Defined where the devices are wired in, src/platform/Mci.cpp.
    static MciService& Instance();

    // Runs one command string. The reply goes NUL-terminated into reply[0..capacity) and
    // never beyond; a reply that does not fit fails with kParamOverflow. On any error the
    // reply is emptied. A null reply area discards the reply.
    MciError SendString(const char* command, char* reply, std::uint32_t capacity);
    MciDeviceId DeviceId(const char* name);
    MciError SendCommand(MciDeviceId id, std::uint32_t message, std::uintptr_t flags, std::uintptr_t params);

    // Why the calling thread's last failed "open" failed, when the device said; then forgets it.
    std::string TakeFailureDetail();

    // Every alias open now, in the order they were opened.
    std::vector<std::string> Aliases();

private:
    MciError Run(std::string_view command);
    MciError Open();
    MciError CloseAll();

    std::mutex mutex_;
    Devices devices_;
    std::unique_ptr<TraceWriter> trace_;
    AliasTable aliases_;
    // Reused from command to command, so that a status query allocates nothing.
    CommandHead head_;
    MciRequest request_;
    std::string reply_;
};

} // namespace vorlo::platform
