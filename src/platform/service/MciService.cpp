#include "platform/service/MciService.h"

#include "platform/mci/MciErrors.h"

#include "common/AsciiText.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace vorlo::platform {
namespace {

constexpr std::string_view kAll = "all";
// Room kept for a reply: the size of the player's reply area, so that no reply the
// player can take makes the string grow.
constexpr std::size_t kReplyReserve = 128;

thread_local std::string tFailureDetail;

} // namespace

MciService::MciService(Devices devices, std::unique_ptr<TraceWriter> trace)
    : devices_(std::move(devices)), trace_(std::move(trace))
{
    reply_.reserve(kReplyReserve);
}

MciService::~MciService()
{
    std::lock_guard lock(mutex_);
    CloseAll();
}

MciError MciService::SendString(const char* command, char* reply, std::uint32_t capacity)
{
    const std::string_view text = command ? std::string_view(command) : std::string_view();
    std::lock_guard lock(mutex_);
    reply_.clear();
    MciError error = Run(text);
    if (error)
        reply_.clear();
    if (reply) {
        if (reply_.size() >= capacity && !(reply_.empty() && capacity == 0)) {
            error = mcierr::kParamOverflow;
            reply_.clear();
        }
        if (capacity > 0) {
            std::memcpy(reply, reply_.data(), reply_.size());
            reply[reply_.size()] = '\0';
        }
    }
    if (trace_)
        trace_->Record(text, error, reply_);
    return error;
}

MciError MciService::Run(std::string_view command)
{
    if (const MciError error = ParseHead(command, head_))
        return error;
    if (head_.isOpen)
        return Open();
    if (head_.device == kAll && head_.verb == MciVerb::Close)
        return CloseAll();
    AliasTable::Entry* entry = aliases_.Find(head_.device);
    if (!entry)
        return mcierr::kInvalidDeviceName;
    if (const MciError error = ParseRequest(head_, request_))
        return error;
    if (request_.verb == MciVerb::Close) {
        aliases_.Remove(head_.device);
        return mcierr::kNone;
    }
    return entry->device->Execute(request_, reply_);
}

MciError MciService::Open()
{
    MciOpenRequest request;
    if (const MciError error = ParseOpen(head_, request))
        return error;
    if (aliases_.Find(request.alias))
        return request.alias == request.deviceType ? mcierr::kDeviceOpen : mcierr::kDuplicateAlias;
    if (request.alias == kAll)
        return mcierr::kDuplicateAlias;

    MciError error = mcierr::kNone;
    std::string why;
    std::unique_ptr<MciDevice> device;
    if (request.deviceType == "cdaudio" && devices_.cdaudio) {
        if (request.isNew || !request.element.empty())
            return mcierr::kNoElementAllowed;
        device = devices_.cdaudio(request, error, why);
    } else if (request.deviceType == "waveaudio" && devices_.waveaudio) {
        device = devices_.waveaudio(request, error, why);
    } else {
        return mcierr::kInvalidDeviceName;
    }
    if (!device) {
        tFailureDetail = why.empty() ? mcierr::Describe(error) : why;
        return error ? error : mcierr::kCannotLoadDriver;
    }
    const MciDeviceId id = aliases_.Add(request.alias, std::move(device));
    reply_ = std::to_string(id);
    return mcierr::kNone;
}

MciError MciService::CloseAll()
{
    for (const std::string& alias : aliases_.Aliases())
        aliases_.Remove(alias);
    return mcierr::kNone;
}

MciDeviceId MciService::DeviceId(const char* name)
{
    if (!name)
        return 0;
    const std::string lower = ascii::LowerCopy(name);
    std::lock_guard lock(mutex_);
    const AliasTable::Entry* entry = aliases_.Find(lower);
    return entry ? entry->id : 0;
}

MciError MciService::SendCommand(MciDeviceId id, std::uint32_t message, std::uintptr_t flags, std::uintptr_t)
{
    std::lock_guard lock(mutex_);
    MciError error = mcierr::kInvalidDeviceId;
    if (AliasTable::Entry* entry = id ? aliases_.Find(id) : nullptr) {
        if (message == kMciSet && (flags & kMciSetDoorOpen))
            error = entry->device->OpenDoor();
        else
            error = mcierr::kUnsupportedFunction;
    }
    if (trace_) {
        char line[64];
        std::snprintf(line, sizeof line, "command %u 0x%04X 0x%lX", id, message, static_cast<unsigned long>(flags));
        trace_->Record(line, error, {});
    }
    return error;
}

std::string MciService::TakeFailureDetail()
{
    std::string detail;
    detail.swap(tFailureDetail);
    return detail;
}

std::vector<std::string> MciService::Aliases()
{
    std::lock_guard lock(mutex_);
    return aliases_.Aliases();
}

} // namespace vorlo::platform
