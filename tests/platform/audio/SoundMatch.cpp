#include "SoundMatch.h"

#include <algorithm>
#include <cstring>
#include <fstream>

namespace vorlo::test {

namespace {

constexpr std::int64_t kProbeOffset = 22050;
constexpr std::int64_t kProbeFrames = 256;

std::int64_t FrameCount(const Samples& samples) { return static_cast<std::int64_t>(samples.size()) / kFrameBytes; }

bool Silent(const Samples& recording, std::int64_t frame)
{
    const std::byte* bytes = &recording[static_cast<std::size_t>(frame * kFrameBytes)];
    return std::all_of(bytes, bytes + kFrameBytes, [](std::byte b) { return b == std::byte{0}; });
}

} // namespace

Samples ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    Samples samples(in ? static_cast<std::size_t>(in.tellg()) : 0);
    in.seekg(0).read(reinterpret_cast<char*>(samples.data()), static_cast<std::streamsize>(samples.size()));
    return samples;
}

std::optional<std::int64_t> Locate(const Samples& recording, const Samples& image, std::int64_t imageFrame,
                                   std::int64_t from)
{
    const std::int64_t probe = imageFrame + kProbeOffset;
    if (probe + kProbeFrames > FrameCount(image) || from >= FrameCount(recording))
        return std::nullopt;
    const auto needle = image.begin() + probe * kFrameBytes;
    for (auto at = recording.begin() + std::max<std::int64_t>(from, 0) * kFrameBytes;; ++at) {
        at = std::search(at, recording.end(), needle, needle + kProbeFrames * kFrameBytes);
        if (at == recording.end())
            return std::nullopt;
        const std::int64_t byte = at - recording.begin();
        if (byte % kFrameBytes == 0 && byte / kFrameBytes >= kProbeOffset)
            return byte / kFrameBytes - kProbeOffset;
    }
}

std::int64_t MatchingFrames(const Samples& recording, std::int64_t at, const Samples& image, std::int64_t imageFrame)
{
    std::int64_t frames = 0;
    while (at + frames < FrameCount(recording) && imageFrame + frames < FrameCount(image) &&
           std::memcmp(&recording[(at + frames) * kFrameBytes], &image[(imageFrame + frames) * kFrameBytes], kFrameBytes) == 0)
        ++frames;
    return frames;
}

Match Follow(const Samples& recording, std::int64_t at, const Samples& image, std::int64_t imageFrame)
{
    Match match;
    match.end = at;
    while (true) {
        const std::int64_t run = MatchingFrames(recording, match.end, image, imageFrame + match.frames);
        match.frames += run;
        match.end += run;
        std::int64_t resume = match.end;
        while (resume < FrameCount(recording) && Silent(recording, resume))
            ++resume;
        if (resume == match.end || MatchingFrames(recording, resume, image, imageFrame + match.frames) == 0)
            return match;
        ++match.gaps;
        match.end = resume;
    }
}

std::int64_t FirstSound(const Samples& recording)
{
    for (std::int64_t frame = 0; frame < FrameCount(recording); ++frame)
        if (!Silent(recording, frame))
            return frame;
    return -1;
}

std::int64_t LastSound(const Samples& recording, std::int64_t from)
{
    for (std::int64_t frame = FrameCount(recording) - 1; frame >= from; --frame)
        if (!Silent(recording, frame))
            return frame;
    return -1;
}

} // namespace vorlo::test
