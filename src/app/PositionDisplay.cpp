#include "app/PositionDisplay.h"

#include "media/MediaChannel.h"
#include "media/MediaCommands.h"

#include <cmath>
#include <limits>
#include <optional>
#include <string_view>

namespace vorlo::app {

using namespace media;
using transport::DrawingSurface;

namespace {

struct Row {
    std::string_view lengthQuery;
    std::string_view positionQuery;
    DrawingSurface& bar;
};

// The value in single precision, or nothing where the conversion faults: NaN, an
// infinity, or a magnitude beyond the single range.
std::optional<float> ToSingle(double value)
{
    if (!std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max())
        return std::nullopt;
    return static_cast<float>(value);
}

// How far a row has played: the ratio of position to length, and the right edge of the
// played part in twips.
struct Played {
    float ratio;
    float edge;
};

// The played part, or nothing where the arithmetic faults. The length and the ratio are
// held in single precision, and the edge is the product of the single-precision width and
// ratio.
std::optional<Played> PlayedPart(double lengthReply, ReplyBuffer& buffer, const Row& row)
{
    const auto length = ToSingle(lengthReply);
    if (!length || *length == 0.0f)
        return std::nullopt;

    SendMediaCommand(row.positionQuery, buffer);
    const auto ratio = ToSingle(ReplyValue(buffer) / static_cast<double>(*length));
    if (!ratio)
        return std::nullopt;

    const float width = row.bar.Width();
    const auto edge = ToSingle(static_cast<double>(width) * static_cast<double>(*ratio));
    if (!edge)
        return std::nullopt;
    return Played{*ratio, *edge};
}

// Paints one row's bar and returns the ratio it painted, if any.
std::optional<float> RefreshRow(const Row& row, ReplyBuffer& buffer)
{
    SendMediaCommand(row.lengthQuery, buffer);
    const double length = ReplyValue(buffer);
    if (length == 0.0) {
        transport::FillWithBackground(row.bar);
        return std::nullopt;
    }
    const auto played = PlayedPart(length, buffer, row);
    if (!played) {
        transport::FillWithBackground(row.bar);
        return std::nullopt;
    }
    const float height = row.bar.Height();
    row.bar.FillRectangle(0.0f, 0.0f, played->edge, height, kPlayedColour);
    return played->ratio;
}

} // namespace

std::optional<float> RefreshPositionBars(const PositionBars& bars)
{
    const Row aliases[] = {
        {commands::kStatusSoundLength, commands::kStatusSoundPosition, bars.sound},
        {commands::kStatusMovieLength, commands::kStatusMoviePosition, bars.movie},
        {commands::kStatusMidiLength, commands::kStatusMidiPosition, bars.midi},
    };
    ReplyBuffer buffer;
    for (const Row& row : aliases)
        RefreshRow(row, buffer);
    return RefreshRow({commands::kStatusCdaudioLength, commands::kStatusCdaudioPosition, bars.cdaudio}, buffer);
}

} // namespace vorlo::app
