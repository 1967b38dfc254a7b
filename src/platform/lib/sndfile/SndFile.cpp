#include "platform/lib/sndfile/SndFile.h"

#include <string>
#include <utility>

namespace vorlo::platform {
namespace {

int PcmSubformat(int bitsPerSample)
{
    switch (bitsPerSample) {
    case 8:
        return SF_FORMAT_PCM_U8;
    case 16:
        return SF_FORMAT_PCM_16;
    default:
        throw SndFileError("unsupported sample size: " + std::to_string(bitsPerSample));
    }
}

} // namespace

SndFile SndFile::OpenForReading(const std::filesystem::path& path)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file)
        throw SndFileError(path.string() + ": " + sf_strerror(nullptr));
    if (info.channels <= 0 || info.samplerate <= 0) {
        sf_close(file);
        throw SndFileError(path.string() + ": no sound in it");
    }
    return SndFile(file, info);
}

SndFile SndFile::CreateWav(int descriptor, const PcmLayout& layout)
{
    SF_INFO info{};
    info.samplerate = layout.samplesPerSecond;
    info.channels = layout.channels;
    info.format = SF_FORMAT_WAV | PcmSubformat(layout.bitsPerSample);
    SNDFILE* file = sf_open_fd(descriptor, SFM_WRITE, &info, SF_FALSE);
    if (!file)
        throw SndFileError(std::string("cannot start a WAV file: ") + sf_strerror(nullptr));
    return SndFile(file, info);
}

SndFile::SndFile(SndFile&& other) noexcept : file_(std::exchange(other.file_, nullptr)), info_(other.info_) {}

SndFile::~SndFile()
{
    if (file_)
        sf_close(file_);
}

std::size_t SndFile::ReadFrames(std::int16_t* out, std::size_t frames)
{
    const sf_count_t read = sf_readf_short(file_, out, static_cast<sf_count_t>(frames));
    if (read < 0 || (read == 0 && sf_error(file_) != SF_ERR_NO_ERROR))
        throw SndFileError(std::string("cannot decode: ") + sf_strerror(file_));
    return static_cast<std::size_t>(read);
}

void SndFile::WriteRaw(std::span<const std::uint8_t> bytes)
{
    const auto wanted = static_cast<sf_count_t>(bytes.size());
    if (wanted > 0 && sf_write_raw(file_, bytes.data(), wanted) != wanted)
        throw SndFileError(std::string("cannot write: ") + sf_strerror(file_));
}

void SndFile::Close()
{
    const int error = sf_close(std::exchange(file_, nullptr));
    if (error != SF_ERR_NO_ERROR)
        throw SndFileError(std::string("cannot complete the file: ") + sf_error_number(error));
}

} // namespace vorlo::platform
