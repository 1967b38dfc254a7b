#pragma once

#include "platform/audio/SectorSource.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vorlo::test {

// Raw sample bytes: 16-bit little-endian stereo, four bytes a frame, as on a disc.
using Samples = std::vector<std::byte>;
inline constexpr std::int64_t kFrameBytes = 4;
inline constexpr auto kFramesPerSector = static_cast<std::int64_t>(platform::kFramesPerSector);

// The whole of a file; empty when it cannot be read.
Samples ReadFile(const std::string& path);

// The recording frame, at or after `from`, that holds image frame `imageFrame`. It is
// found by a run of frames half a second into the image from there (spans begin with a
// fade from silence, which would match anywhere).
std::optional<std::int64_t> Locate(const Samples& recording, const Samples& image, std::int64_t imageFrame,
                                   std::int64_t from = 0);

// How many frames from recording frame `at` and image frame `imageFrame` on are equal.
std::int64_t MatchingFrames(const Samples& recording, std::int64_t at, const Samples& image, std::int64_t imageFrame);

// How the recording follows the image from recording frame `at` and image frame
// `imageFrame` on: `frames` image frames in order and bit for bit, with `gaps` runs of
// digital silence between some of them (the sink ran dry for a moment: an underrun, not
// a changed sample). The recording first differs from the image at frame `end`.
struct Match {
    std::int64_t frames = 0;
    int gaps = 0;
    std::int64_t end = 0;
};
Match Follow(const Samples& recording, std::int64_t at, const Samples& image, std::int64_t imageFrame);

// The first frame that is not digital silence, and the last at or after `from`; -1 if none.
std::int64_t FirstSound(const Samples& recording);
std::int64_t LastSound(const Samples& recording, std::int64_t from = 0);

} // namespace vorlo::test
