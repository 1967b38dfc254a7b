#include "app/DiscState.h"

#include "media/MediaChannel.h"
#include "media/MediaCommands.h"
#include "media/MediaPlatform.h"
#include "transport/TrackStepping.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace vorlo::app {
namespace {

using namespace media;

// The device's modes, as "status cdaudio mode" answers them.
constexpr std::string_view kModePlaying = "playing";
constexpr std::string_view kModePaused = "paused";
constexpr std::string_view kModeStopped = "stopped";
constexpr std::string_view kModeNotReady = "not ready";
constexpr std::string_view kModeDoorOpen = "open";

// CD-Text fields run to 160 characters, twice that in UTF-8 and more: beyond what the
// window's 128-character reply area holds, so text is asked for with an area of its own.
constexpr std::uint32_t kTextReplyCapacity = 1024;
constexpr std::uint32_t kFullVolume = 0xFFFF;
constexpr std::uint32_t kChannelMask = 0xFFFF;
constexpr int kRightChannelShift = 16;

double Ask(std::string_view query)
{
    ReplyBuffer buffer;
    SendMediaCommand(query, buffer);
    return ReplyValue(buffer);
}

std::int64_t AskWhole(std::string_view query) { return transport::RoundToInt32(Ask(query)).value_or(0); }

bool Holds(const std::string& query)
{
    ReplyBuffer buffer;
    SendMediaCommand(query, buffer);
    return buffer.Reply().find_first_not_of(' ') != std::string_view::npos;
}

QString AskText(std::string_view query)
{
    std::array<char, kTextReplyCapacity> reply{};
    if (CurrentMediaPlatform().SendString(query, reply.data(), reply.size()) != 0)
        return {};
    return QString::fromUtf8(reply.data());
}

double ReadVolume()
{
    std::uint32_t word = 0;
    if (CurrentMediaPlatform().GetWaveVolume(kWaveMapper, &word) != 0)
        return 1.0;
    const std::uint32_t loudest = std::max(word & kChannelMask, word >> kRightChannelShift & kChannelMask);
    return static_cast<double>(loudest) / kFullVolume;
}

} // namespace

DiscState DiscStateReader::Read()
{
    DiscState state;
    state.volume = ReadVolume();
    ReplyBuffer buffer;
    SendMediaCommand(commands::kStatusCdaudioMode, buffer);
    const std::string_view mode = buffer.Reply();
    state.status = mode == kModePlaying  ? PlaybackStatus::Playing
                   : mode == kModePaused ? PlaybackStatus::Paused
                                         : PlaybackStatus::Stopped;
    state.mayPlay = mode != kModeNotReady && mode != kModeDoorOpen;
    state.open = mode == kModePlaying || mode == kModePaused || mode == kModeStopped;
    const int number = state.open ? static_cast<int>(AskWhole(commands::kStatusCdaudioCurrentTrack)) : 0;
    state.open = number != 0;
    if (!state.open) {
        last_ = {};
        return state;
    }
    if (number != last_.number)
        last_ = ReadTrack(number);
    state.track = last_;
    return state;
}

TrackState DiscStateReader::ReadTrack(int number) const
{
    TrackState track;
    track.number = number;
    track.startMs = AskWhole(commands::StatusCdaudioPositionTrack(number));
    track.lengthMs = AskWhole(commands::StatusCdaudioLengthTrack(number));
    // A neighbour the disc does not hold has no type. (Not the stepping routines' own
    // position query, so that a trace shows where they ran.)
    track.hasPrevious = Holds(commands::StatusCdaudioTypeTrack(number - 1));
    track.hasNext = Holds(commands::StatusCdaudioTypeTrack(number + 1));
    track.title = AskText(commands::InfoCdaudioTitleTrack(number));
    track.performer = AskText(commands::InfoCdaudioPerformerTrack(number));
    track.album = AskText(commands::kInfoCdaudioTitle);
    track.albumPerformer = AskText(commands::kInfoCdaudioPerformer);
    return track;
}

std::int64_t DiscStateReader::PositionInTrackMs(const DiscState& state) const
{
    if (!state.open)
        return 0;
    return std::clamp<std::int64_t>(AskWhole(commands::kStatusCdaudioPosition) - state.track.startMs, 0,
                                    state.track.lengthMs);
}

} // namespace vorlo::app
