#pragma once

#include "transport/DrawingSurface.h"

#include <cstdint>
#include <optional>

// Moving play to the start of the neighbouring track. Both operations need the disc open
// in millisecond time format (PlayDisc leaves it so) and never open it themselves. The
// track number is not checked against the disc: the media layer rejects a track before
// the first or after the last, and an empty reply then ends the operation.
// UI thread only; nothing here throws.
namespace vorlo::transport {

// Plays from the start of the track before the current one, then empties the disc bar
// (fills it with its background colour) so that the next display tick paints it afresh.
void PreviousTrack(DrawingSurface& discBar);

// Plays from the start of the track after the current one. The disc bar is left alone.
void NextTrack();

// The nearest 32-bit integer, halves to even; nothing when the value is NaN or lies
// outside the 32-bit range.
std::optional<std::int32_t> RoundToInt32(double value);

} // namespace vorlo::transport
