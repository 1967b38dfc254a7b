#pragma once

#include "support/TempFolder.h"

#include <sndfile.h>

#include <filesystem>
#include <vector>

namespace vorlo::test {

inline constexpr int kWav8BitPcm = SF_FORMAT_WAV | SF_FORMAT_PCM_U8;

// What a WAV file on disk holds, as libsndfile reads it; format 0 when it cannot.
struct WavContents {
    SF_INFO info{};
    std::vector<double> samples;
};

inline WavContents ReadWav(const std::filesystem::path& path)
{
    WavContents wav;
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &wav.info);
    if (!file)
        return {};
    wav.samples.resize(static_cast<std::size_t>(wav.info.frames * wav.info.channels));
    sf_readf_double(file, wav.samples.data(), wav.info.frames);
    sf_close(file);
    return wav;
}

} // namespace vorlo::test
