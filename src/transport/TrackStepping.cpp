#include "transport/TrackStepping.h"

#include "media/MediaChannel.h"
#include "media/MediaCommands.h"

#include <cmath>
#include <limits>

namespace vorlo::transport {

using namespace media;

namespace {

constexpr int kBackward = -1;
constexpr int kForward = +1;

// Asks for the current track and plays from the start of the track `step` away. Returns
// whether play was moved. No reply, a zero position or a value beyond 32 bits ends the
// step quietly.
bool StepTrack(int step)
{
    ReplyBuffer buffer;
    SendMediaCommand(commands::kStatusCdaudioCurrentTrack, buffer);
    const double current = ReplyValue(buffer);
    if (current == 0.0)
        return false;

    const auto track = RoundToInt32(current + step);
    if (!track)
        return false;
    SendMediaCommand(commands::StatusCdaudioPositionTrack(*track), buffer);

    const auto position = RoundToInt32(ReplyValue(buffer));
    if (!position || *position == 0)
        return false;
    SendMediaCommand(commands::PlayCdaudioFrom(*position), buffer);
    return true;
}

} // namespace

std::optional<std::int32_t> RoundToInt32(double value)
{
    // nearbyint rounds in the current mode, which the program never changes from the
    // default round-half-to-even.
    const double rounded = std::nearbyint(value);
    constexpr double kMin = std::numeric_limits<std::int32_t>::min();
    constexpr double kMax = std::numeric_limits<std::int32_t>::max();
    if (!(rounded >= kMin && rounded <= kMax))
        return std::nullopt;
    return static_cast<std::int32_t>(rounded);
}

void PreviousTrack(DrawingSurface& discBar)
{
    if (StepTrack(kBackward))
        FillWithBackground(discBar);
}

void NextTrack() { StepTrack(kForward); }

} // namespace vorlo::transport
