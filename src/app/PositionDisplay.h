#pragma once

#include "transport/DrawingSurface.h"

#include <optional>

// The position display: on every tick of the window's timer, one bar per media alias
// shows how far that alias has played.
namespace vorlo::app {

// The colour of the played part of a bar: dark red.
inline constexpr transport::BgrColour kPlayedColour = 0x00000080;

// The four bars, one for each alias the display asks about.
struct PositionBars {
    transport::DrawingSurface& sound;
    transport::DrawingSurface& movie;
    transport::DrawingSurface& midi;
    transport::DrawingSurface& cdaudio;
};

// One tick. For sound, movie, midi and the disc, in that order and through one reply
// buffer, asks for the length and, when there is one, the position; then paints the
// played fraction of the bar's width in dark red over whatever the bar shows, never
// clearing it first, so the red extent never shrinks until a background fill. A row
// without a length, and a row whose numbers fault in single precision (a length that
// rounds to 0, a ratio or width beyond single range, NaN or infinity), is filled with
// the bar's background colour instead. Nothing is kept between ticks: sizes and colours
// are read at every fill. Returns how far the disc has played as this tick read it, the
// single-precision ratio of position to length (above 1 when the position lies beyond the
// length), or nothing when its bar got the background fill. UI thread only; throws nothing.
std::optional<float> RefreshPositionBars(const PositionBars& bars);

} // namespace vorlo::app
