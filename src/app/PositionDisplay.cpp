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

// The right edge of the played part in twips, or nothing where the arithmetic faults.
// The length and the ratio are held in single precision, and the edge is the product of
// the single-precision width and ratio.
std::optional<float> PlayedEdge(double lengthReply, ReplyBuffer& buffer, const Row& row)
{
    const auto length = ToSingle(lengthReply);
    if (!length || *length == 0.0f)
        return std::nullopt;

    SendMediaCommand(row.positionQuery, buffer);
    const auto ratio = ToSingle(ReplyValue(buffer) / static_cast<double>(*length));
    if (!ratio)
        return std::nullopt;

    const float width = row.bar.Width();
    return ToSingle(static_cast<double>(width) * static_cast<double>(*ratio));
}

void RefreshRow(const Row& row, ReplyBuffer& buffer)
{
    SendMediaCommand(row.lengthQuery, buffer);
    const double length = ReplyValue(buffer);
    if (length == 0.0) {
        transport::FillWithBackground(row.bar);
        return;
    }
    const auto edge = PlayedEdge(length, buffer, row);
    if (!edge) {
        transport::FillWithBackground(row.bar);
        return;
    }
    const float height = row.bar.Height();
    row.bar.FillRectangle(0.0f, 0.0f, *edge, height, kPlayedColour);
}

} // namespace

void RefreshPositionBars(const PositionBars& bars)
{
    const Row rows[] = {
        {commands::kStatusSoundLength, commands::kStatusSoundPosition, bars.sound},
        {commands::kStatusMovieLength, commands::kStatusMoviePosition, bars.movie},
        {commands::kStatusMidiLength, commands::kStatusMidiPosition, bars.midi},
        {commands::kStatusCdaudioLength, commands::kStatusCdaudioPosition, bars.cdaudio},
    };
    ReplyBuffer buffer;
    for (const Row& row : rows)
        RefreshRow(row, buffer);
}

} // namespace vorlo::app
