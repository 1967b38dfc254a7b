#include "SoundMatch.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

namespace vorlo::test {

Samples ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Samples samples(bytes.size());
    std::memcpy(samples.data(), bytes.data(), bytes.size());
    return samples;
}

std::optional<std::int64_t> Locate(const Samples& recording, const Samples& image, std::int64_t imageFrame,
                                   std::int64_t from, std::int64_t offset, std::int64_t probe)
{
    const std::int64_t needleAt = (imageFrame + offset) * kFrameBytes;
    if (needleAt + probe * kFrameBytes > static_cast<std::int64_t>(image.size()) ||
        from * kFrameBytes >= static_cast<std::int64_t>(recording.size()))
        return std::nullopt;
    const auto needle = image.begin() + needleAt;
    auto at = recording.begin() + from * kFrameBytes;
    while (true) {
        at = std::search(at, recording.end(), needle, needle + probe * kFrameBytes);
        if (at == recording.end())
            return std::nullopt;
        const std::int64_t byte = at - recording.begin();
        if (byte % kFrameBytes == 0 && byte / kFrameBytes >= offset)
            return byte / kFrameBytes - offset;
        ++at;
    }
}

std::int64_t MatchingFrames(const Samples& recording, std::int64_t at, const Samples& image, std::int64_t imageFrame)
{
    std::int64_t frames = 0;
    const auto recordingFrames = static_cast<std::int64_t>(recording.size()) / kFrameBytes;
    const auto imageFrames = static_cast<std::int64_t>(image.size()) / kFrameBytes;
    while (at + frames < recordingFrames && imageFrame + frames < imageFrames &&
           std::memcmp(&recording[(at + frames) * kFrameBytes], &image[(imageFrame + frames) * kFrameBytes], kFrameBytes) == 0)
        ++frames;
    return frames;
}

namespace {
bool Silent(const Samples& recording, std::int64_t frame)
{
    for (std::int64_t i = 0; i < kFrameBytes; ++i) {
        if (recording[frame * kFrameBytes + i] != std::byte{0})
            return false;
    }
    return true;
}
} // namespace

std::int64_t LastSound(const Samples& recording, std::int64_t from)
{
    for (std::int64_t frame = static_cast<std::int64_t>(recording.size()) / kFrameBytes - 1; frame >= from; --frame) {
        if (!Silent(recording, frame))
            return frame;
    }
    return -1;
}

std::int64_t FirstSound(const Samples& recording, std::int64_t from)
{
    const auto frames = static_cast<std::int64_t>(recording.size()) / kFrameBytes;
    for (std::int64_t frame = std::max<std::int64_t>(from, 0); frame < frames; ++frame) {
        if (!Silent(recording, frame))
            return frame;
    }
    return -1;
}

} // namespace vorlo::test
