#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vorlo::test {

// Raw sample bytes: 16-bit little-endian stereo, four bytes a frame, as on a disc.
using Samples = std::vector<std::byte>;

inline constexpr std::int64_t kFrameBytes = 4;
inline constexpr std::int64_t kFramesPerSector = 588;

// The whole of a file, or empty when it cannot be read.
Samples ReadFile(const std::string& path);

// Where, in `recording` at or after frame `from`, the image's frames from `imageFrame`
// are found: the recording frame that holds image frame `imageFrame`. It is located by a
// run of `probe` frames from `offset` frames into the span (spans begin with a fade
// from silence, which matches anywhere), so the span must reach that far.
std::optional<std::int64_t> Locate(const Samples& recording, const Samples& image, std::int64_t imageFrame,
                                   std::int64_t from = 0, std::int64_t offset = 2205, std::int64_t probe = 256);

// How many frames, from recording frame `at` and image frame `imageFrame` on, are equal.
std::int64_t MatchingFrames(const Samples& recording, std::int64_t at, const Samples& image, std::int64_t imageFrame);

// The index of the last frame at or after `from` that is not digital silence; -1 if none.
std::int64_t LastSound(const Samples& recording, std::int64_t from = 0);
// The index of the first such frame; -1 if none.
std::int64_t FirstSound(const Samples& recording, std::int64_t from = 0);

} // namespace vorlo::test
