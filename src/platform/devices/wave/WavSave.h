#pragma once

#include "platform/devices/wave/WaveFormat.h"

#include <cstdint>
#include <filesystem>
#include <span>

namespace vorlo::platform {

// Saves `samples` (as a WAV file stores them, whole frames of `format`) as a RIFF/WAVE file
// at `target`, replacing whatever file was there. The file is written under a temporary
// name in the same folder, flushed to disk and renamed into place, so that a reader sees
// either the previous file or the complete new one. On failure the temporary file is
// removed and any previous file is left as it was.
// Throws SndFileError (encoding) or std::system_error (the file system). Any thread.
void SaveWavAtomically(const std::filesystem::path& target, const WaveFormat& format,
                       std::span<const std::uint8_t> samples);

} // namespace vorlo::platform
