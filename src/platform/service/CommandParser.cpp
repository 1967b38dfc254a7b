#include "platform/service/CommandParser.h"

#include "platform/service/ItemReader.h"
#include "platform/mci/MciErrors.h"

#include "common/AsciiText.h"

#include <array>

namespace vorlo::platform {
namespace {

using ascii::EqualsIgnoringCase;
using ascii::IsDigit;
using ascii::LowerCopy;

struct VerbName {
    std::string_view name;
    MciVerb verb;
};

constexpr std::array kVerbs{
    VerbName{"close", MciVerb::Close},   VerbName{"play", MciVerb::Play},
    VerbName{"stop", MciVerb::Stop},     VerbName{"pause", MciVerb::Pause},
    VerbName{"resume", MciVerb::Resume}, VerbName{"seek", MciVerb::Seek},
    VerbName{"set", MciVerb::Set},       VerbName{"status", MciVerb::Status},
    VerbName{"capability", MciVerb::Capability}, VerbName{"info", MciVerb::Info},
    VerbName{"record", MciVerb::Record}, VerbName{"save", MciVerb::Save},
};

MciError ParseTransport(ItemReader& in, MciRequest& request)
{
    while (!in.AtEnd()) {
        MciError error = mcierr::kNone;
        if (in.SkipFlag())
            continue;
        if (in.Accept({"from"}))
            error = in.TakeTime(request.from);
        else if (in.Accept({"to"}))
            error = in.TakeTime(request.to);
        else
            return mcierr::kUnrecognizedKeyword;
        if (error)
            return error;
    }
    return mcierr::kNone;
}

MciError ParseSeek(ItemReader& in, MciRequest& request)
{
    bool target = false;
    while (!in.AtEnd()) {
        if (in.SkipFlag())
            continue;
        if (target)
            return mcierr::kDuplicateFlags;
        target = true;
        if (in.Accept({"to", "start"}))
            request.seekTarget = SeekTarget::Start;
        else if (in.Accept({"to", "end"}))
            request.seekTarget = SeekTarget::End;
        else if (in.Accept({"to"})) {
            request.seekTarget = SeekTarget::Position;
            if (const MciError error = in.TakeTime(request.to))
                return error;
        } else
            return mcierr::kUnrecognizedKeyword;
    }
    return target ? mcierr::kNone : mcierr::kMissingParameter;
}

MciError ParseTimeFormat(ItemReader& in, MciRequest& request)
{
    static const ItemPhrase<TimeFormat> kNames[] = {
        {{"milliseconds"}, TimeFormat::Milliseconds}, {{"ms"}, TimeFormat::Milliseconds},
        {{"msf"}, TimeFormat::Msf},                    {{"tmsf"}, TimeFormat::Tmsf},
        {{"frames"}, TimeFormat::Frames},              {{"bytes"}, TimeFormat::Bytes},
        {{"samples"}, TimeFormat::Samples},
    };
    if (request.timeFormat)
        return mcierr::kDuplicateFlags;
    if (in.AtEnd())
        return mcierr::kMissingParameter;
    const TimeFormat* format = AcceptPhrase(in, kNames);
    if (!format)
        return mcierr::kBadConstant;
    request.timeFormat = *format;
    return mcierr::kNone;
}

MciError ParseSet(ItemReader& in, MciRequest& request)
{
    while (!in.AtEnd()) {
        if (in.SkipFlag())
            continue;
        if (in.Accept({"time", "format"})) {
            if (const MciError error = ParseTimeFormat(in, request))
                return error;
        } else if (in.Accept({"door", "open"}) || in.Accept({"door", "closed"})) {
            if (request.doorOpen)
                return mcierr::kDuplicateFlags;
            request.doorOpen = in.LastWas("open");
        } else {
            return mcierr::kUnrecognizedKeyword;
        }
    }
    return request.timeFormat || request.doorOpen ? mcierr::kNone : mcierr::kMissingParameter;
}

MciError ParseStatus(ItemReader& in, MciRequest& request)
{
    // Longer phrases first, so that "current track" is not read as a stray "track".
    static const ItemPhrase<StatusItem> kNames[] = {
        {{"current", "track"}, StatusItem::CurrentTrack},
        {{"number", "of", "tracks"}, StatusItem::NumberOfTracks},
        {{"media", "present"}, StatusItem::MediaPresent},
        {{"time", "format"}, StatusItem::TimeFormat},
        {{"start", "position"}, StatusItem::StartPosition},
        {{"length"}, StatusItem::Length},
        {{"position"}, StatusItem::Position},
        {{"mode"}, StatusItem::Mode},
        {{"ready"}, StatusItem::Ready},
        {{"type"}, StatusItem::TypeTrack},
    };
    bool haveItem = false;
    while (!in.AtEnd()) {
        if (in.SkipFlag())
            continue;
        if (in.Accept({"track"})) {
            if (const MciError error = in.TakeInteger(request.track))
                return error;
            continue;
        }
        const StatusItem* item = AcceptPhrase(in, kNames);
        if (!item)
            return mcierr::kUnrecognizedKeyword;
        if (haveItem)
            return mcierr::kFlagsNotCompatible;
        request.statusItem = *item;
        haveItem = true;
    }
    if (!haveItem)
        return mcierr::kMissingParameter;
    const StatusItem item = request.statusItem;
    const bool takesTrack = item == StatusItem::Length || item == StatusItem::Position || item == StatusItem::TypeTrack;
    if (request.track && !takesTrack)
        return mcierr::kFlagsNotCompatible;
    if (item == StatusItem::TypeTrack && !request.track)
        return mcierr::kMissingParameter;
    return mcierr::kNone;
}

MciError ParseCapability(ItemReader& in, MciRequest& request)
{
    static const ItemPhrase<CapabilityItem> kNames[] = {
        {{"can", "eject"}, CapabilityItem::CanEject},   {{"can", "play"}, CapabilityItem::CanPlay},
        {{"can", "record"}, CapabilityItem::CanRecord}, {{"can", "save"}, CapabilityItem::CanSave},
        {{"has", "audio"}, CapabilityItem::HasAudio},   {{"has", "video"}, CapabilityItem::HasVideo},
        {{"device", "type"}, CapabilityItem::DeviceType}, {{"uses", "files"}, CapabilityItem::UsesFiles},
        {{"compound", "device"}, CapabilityItem::CompoundDevice},
    };
    bool haveItem = false;
    while (!in.AtEnd()) {
        if (in.SkipFlag())
            continue;
        const CapabilityItem* item = AcceptPhrase(in, kNames);
        if (!item)
            return mcierr::kUnrecognizedKeyword;
        if (haveItem)
            return mcierr::kFlagsNotCompatible;
        request.capability = *item;
        haveItem = true;
    }
    return haveItem ? mcierr::kNone : mcierr::kMissingParameter;
}

MciError ParseInfo(ItemReader& in, MciRequest& request)
{
    static const ItemPhrase<InfoItem> kNames[] = {
        {{"product"}, InfoItem::Product}, {{"title"}, InfoItem::Title}, {{"performer"}, InfoItem::Performer}};
    bool haveItem = false;
    while (!in.AtEnd()) {
        if (in.SkipFlag())
            continue;
        if (in.Accept({"track"})) {
            if (const MciError error = in.TakeInteger(request.track))
                return error;
            continue;
        }
        const InfoItem* item = AcceptPhrase(in, kNames);
        if (!item)
            return mcierr::kUnrecognizedKeyword;
        if (haveItem)
            return mcierr::kDuplicateFlags;
        request.info = *item;
        haveItem = true;
    }
    if (!haveItem)
        return mcierr::kMissingParameter;
    return request.track && request.info == InfoItem::Product ? mcierr::kFlagsNotCompatible : mcierr::kNone;
}

MciError ParseSave(ItemReader& in, MciRequest& request)
{
    std::string_view file;
    while (!in.AtEnd()) {
        if (in.SkipFlag())
            continue;
        if (!file.empty())
            return mcierr::kUnrecognizedKeyword;
        in.TakeString(file);
    }
    if (file.empty())
        return mcierr::kFilenameRequired;
    request.fileName = std::string(file);
    return mcierr::kNone;
}

MciError ParseNoItems(ItemReader& in)
{
    while (!in.AtEnd())
        if (!in.SkipFlag())
            return mcierr::kUnrecognizedKeyword;
    return mcierr::kNone;
}

} // namespace

std::optional<std::uint32_t> ParseTimeValue(std::string_view text)
{
    if (text.empty())
        return std::nullopt;
    if (text.find(':') == std::string_view::npos) {
        std::uint64_t value = 0;
        for (char c : text) {
            if (!IsDigit(c))
                return std::nullopt;
            value = value * 10 + static_cast<std::uint64_t>(c - '0');
            if (value > 0xFFFFFFFFu)
                return std::nullopt;
        }
        return static_cast<std::uint32_t>(value);
    }
    std::uint32_t packed = 0;
    int field = 0;
    std::size_t start = 0;
    while (true) {
        const std::size_t colon = text.find(':', start);
        const std::string_view part = text.substr(start, colon == std::string_view::npos ? text.npos : colon - start);
        if (field == 4 || part.empty() || part.size() > 3)
            return std::nullopt;
        std::uint32_t value = 0;
        for (char c : part) {
            if (!IsDigit(c))
                return std::nullopt;
            value = value * 10 + static_cast<std::uint32_t>(c - '0');
        }
        if (value > 0xFF)
            return std::nullopt;
        packed |= value << (8 * field++);
        if (colon == std::string_view::npos)
            return packed;
        start = colon + 1;
    }
}

MciError ParseHead(std::string_view command, CommandHead& head)
{
    head.items.clear();
    if (const MciError error = Tokenize(command, head.items))
        return error;
    if (head.items.empty())
        return mcierr::kMissingCommandString;
    const std::string_view verb = head.items.front();
    head.isOpen = EqualsIgnoringCase(verb, "open");
    bool known = head.isOpen;
    for (const VerbName& name : kVerbs) {
        if (!known && EqualsIgnoringCase(verb, name.name)) {
            head.verb = name.verb;
            known = true;
        }
    }
    if (!known)
        return mcierr::kUnrecognizedCommand;
    if (head.items.size() < 2)
        return mcierr::kMissingDeviceName;
    head.deviceText = head.items[1];
    head.device = LowerCopy(head.deviceText);
    head.items.erase(head.items.begin(), head.items.begin() + 2);
    return mcierr::kNone;
}

MciError ParseOpen(const CommandHead& head, MciOpenRequest& request)
{
    ItemReader in(head.items);
    std::string_view type;
    std::string_view alias;
    bool haveType = false;
    bool haveAlias = false;
    while (!in.AtEnd()) {
        if (in.SkipFlag() || in.Accept({"shareable"}))
            continue;
        if (in.Accept({"type"})) {
            if (haveType)
                return mcierr::kDuplicateFlags;
            if (!in.TakeString(type))
                return mcierr::kMissingStringArgument;
            haveType = true;
        } else if (in.Accept({"alias"})) {
            if (haveAlias)
                return mcierr::kDuplicateFlags;
            if (!in.TakeString(alias))
                return mcierr::kMissingStringArgument;
            haveAlias = true;
        } else {
            return mcierr::kUnrecognizedKeyword;
        }
    }
    request.isNew = head.device == "new";
    if (request.isNew && !haveType)
        return mcierr::kDeviceTypeRequired;
    if (request.isNew && !haveAlias)
        return mcierr::kNewRequiresAlias;
    request.element.clear();
    if (haveType) {
        request.deviceType = LowerCopy(type);
        if (!request.isNew)
            request.element = std::string(head.deviceText);
    } else {
        request.deviceType = head.device;
    }
    request.alias = haveAlias ? LowerCopy(alias) : head.device;
    return mcierr::kNone;
}

MciError ParseRequest(const CommandHead& head, MciRequest& request)
{
    request = MciRequest{};
    request.verb = head.verb;
    ItemReader in(head.items);
    switch (head.verb) {
    case MciVerb::Play:
    case MciVerb::Record: return ParseTransport(in, request);
    case MciVerb::Seek: return ParseSeek(in, request);
    case MciVerb::Set: return ParseSet(in, request);
    case MciVerb::Status: return ParseStatus(in, request);
    case MciVerb::Capability: return ParseCapability(in, request);
    case MciVerb::Info: return ParseInfo(in, request);
    case MciVerb::Save: return ParseSave(in, request);
    case MciVerb::Close:
    case MciVerb::Stop:
    case MciVerb::Pause:
    case MciVerb::Resume: return ParseNoItems(in);
    }
    return mcierr::kUnrecognizedCommand;
}

} // namespace vorlo::platform
