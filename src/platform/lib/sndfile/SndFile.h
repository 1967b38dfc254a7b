#pragma once

#include <sndfile.h>

#include <cstdint>
#include <filesystem>
#include <span>
#include <stdexcept>

namespace vorlo::platform {

class SndFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The PCM layout of a WAV file: 8-bit samples are unsigned, 16-bit signed little-endian.
struct PcmLayout {
    int samplesPerSecond = 0;
    int bitsPerSample = 0;
    int channels = 0;
};

// One open libsndfile handle, closed when the object goes. One thread at a time.
class SndFile {
public:
    // Opens a sound file of any format libsndfile decodes. Throws SndFileError.
    static SndFile OpenForReading(const std::filesystem::path& path);
    // Starts a RIFF/WAVE file of `layout` on an open, empty, writable descriptor, which
    // stays the caller's to close. Throws SndFileError.
    static SndFile CreateWav(int descriptor, const PcmLayout& layout);

    SndFile(SndFile&& other) noexcept;
    SndFile& operator=(SndFile&&) = delete;
    SndFile(const SndFile&) = delete;
    ~SndFile();

    int Channels() const { return info_.channels; }
    int SampleRate() const { return info_.samplerate; }

    // Decodes up to `frames` frames into `out` as interleaved 16-bit samples, which must
    // hold frames * Channels() of them. Returns the frames read, 0 at the end.
    // Throws SndFileError when decoding fails.
    std::size_t ReadFrames(std::int16_t* out, std::size_t frames);

    // Writes samples given as the file stores them. Throws SndFileError unless all are written.
    void WriteRaw(std::span<const std::uint8_t> bytes);

    // Completes the file (its header gives the final size) and closes it.
    // Throws SndFileError when that fails.
    void Close();

private:
    SndFile(SNDFILE* file, const SF_INFO& info) : file_(file), info_(info) {}

    SNDFILE* file_;
    SF_INFO info_;
};

} // namespace vorlo::platform
